// The five textures of the current settings, the fixed GL state and the
// frame renderer's start, the same for every front end; LoadTgaTexture is
// the front end's own (resources on Windows, compiled-in bytes elsewhere).
#include "render/frame_renderer.h"
#include "render/texture_set.h"
#include "render/tga_upload.h"
#include "settings/saver_settings.h"

int InitGlState() {
    const int ids[5] = {ShapeResourceId(Settings->Shape), CoronaImageId, FlareRingImageId, FlareHaloImageId,
                        FlareGlowImageId};
    for (int i = 0; i < 5; ++i) {
        if (!LoadTgaTexture(TextureSet[i], ids[i])) return 0;
    }
    SetFixedGlState();
    StartFrameRenderer();
    return 1;
}
