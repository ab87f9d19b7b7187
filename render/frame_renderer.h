// The ways DrawScene can issue a frame's quads: batched (each quad's
// corners transformed on the CPU, one vertex-array draw per run of quads
// sharing a texture), immediate (the matrix stack and one glBegin/glEnd per
// quad) or shader (the batched quads from a vertex buffer through a GLSL
// program, as core and ES contexts need). All draw the same picture;
// batched is the default, immediate the reference the others are held to.
#pragma once

enum class FrameRenderer {
    Batched,
    Immediate,
    Shader,
};

void SelectFrameRenderer(FrameRenderer renderer);
FrameRenderer SelectedFrameRenderer();

// Prepares what the selected back end keeps from frame to frame (the
// batched arrays' fixed texture coordinates; the shader back end's program
// and buffers). Once the context is current, before the first frame;
// InitGlState does it for the renderer selected by then, and doing it again
// is harmless. False when the context cannot take the selected renderer,
// with the reason in FrameRendererProblem().
bool StartFrameRenderer();
const char* FrameRendererProblem();
