// Making a GL texture from a decoded image, and the fixed GL state.
#pragma once

struct TgaTexture;

// Generates one texture name into texture.TextureName, binds it and uploads
// texture.Pixels with linear filters and no mipmaps. Needs a current context.
void UploadTgaTexture(TgaTexture& texture);

// The state every frame starts from: smooth shading, black clear colour,
// depth 1, depth test LEQUAL, 2-D texturing, nicest perspective correction.
void SetFixedGlState();
