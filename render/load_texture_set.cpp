// The five textures of the current settings, through the front end's own
// LoadTgaTexture (resources on Windows, compiled-in bytes elsewhere).
#include "render/texture_set.h"
#include "settings/saver_settings.h"

bool LoadTextureSet() {
    const int ids[5] = {ShapeResourceId(Settings->Shape), CoronaImageId, FlareRingImageId, FlareHaloImageId,
                        FlareGlowImageId};
    for (int i = 0; i < 5; ++i) {
        if (!LoadTgaTexture(TextureSet[i], ids[i])) return false;
    }
    return true;
}
