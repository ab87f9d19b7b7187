// The five textures of the current settings and the fixed GL state, the same
// for every front end; LoadTgaTexture is the front end's own (resources on
// Windows, compiled-in bytes elsewhere).
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
    return 1;
}
