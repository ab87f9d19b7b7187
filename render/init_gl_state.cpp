// The five textures of the current settings, the fixed GL state and the
// frame renderer's start, the same for every desktop front end.
#include "render/fixed_gl_state.h"
#include "render/frame_renderer.h"
#include "render/texture_set.h"

int InitGlState() {
    if (!LoadTextureSet()) return 0;
    SetFixedGlState();
    return StartFrameRenderer() ? 1 : 0;
}
