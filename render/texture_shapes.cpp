#include "render/texture_set.h"

namespace {

// Shape number -> image id, in the order of the settings dialog's list.
constexpr int ShapeImageIds[11] = {115, 120, 112, 110, 117, 118, 119, 111, 116, 114, 113};
constexpr int CircleImageId = 112;

}  // namespace

TgaTexture TextureSet[5];

int ShapeResourceId(std::int32_t shape) {
    if (shape < 0 || shape > 10) return CircleImageId;
    return ShapeImageIds[shape];
}
