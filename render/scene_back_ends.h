// The two back ends DrawScene chooses between. Each draws, in the scene's
// order, every active origin's corona pair and flare chain and then every
// star slot, under the projection, texturing and additive blending that
// DrawScene has set up and takes down again.
#pragma once

struct SaverSettings;

void DrawQuadsImmediate(const SaverSettings& s);
void DrawQuadsBatched(const SaverSettings& s);

// Fills the batched arrays' fixed parts.
void StartBatchedDrawing();
