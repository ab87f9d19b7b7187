// The shader back end: the batched back end's quads, placed on the CPU in
// the same way, drawn from a vertex buffer by a GLSL program (ES 3.00 under
// WebGL 2, 3.30 core on desktop OpenGL), one draw per run of quads sharing a
// texture, added onto the frame as the fixed-function frame adds them. It
// needs no fixed-function state, so WebGL can draw with it.
#pragma once

struct SaverSettings;

// Compiles the program and makes the buffers in the current context; again
// for each new context. False, with the reason in ShaderDrawingProblem(),
// when the context cannot take the program.
bool StartShaderDrawing();
const char* ShaderDrawingProblem();

// Draws the current state of the star field over the whole viewport: the
// 640 x 480 drawing space, additive blending, no depth test. It leaves
// blending on and the depth test off; the program, vertex array and buffers
// it binds are unbound again, so fixed-function drawing may follow.
void DrawQuadsShader(const SaverSettings& s);
