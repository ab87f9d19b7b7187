// The two ways DrawScene can issue a frame's quads: batched (each quad's
// corners transformed on the CPU, one vertex-array draw per run of quads
// sharing a texture) or immediate (the matrix stack and one glBegin/glEnd
// per quad). Both draw the same picture; batched is the default, immediate
// the reference it is compared against.
#pragma once

enum class FrameRenderer {
    Batched,
    Immediate,
};

void SelectFrameRenderer(FrameRenderer renderer);
FrameRenderer SelectedFrameRenderer();

// Prepares what the batched back end keeps from frame to frame (its arrays'
// fixed texture coordinates). Once the context is current, before the first
// frame; InitGlState does it, and doing it again is harmless.
void StartFrameRenderer();
