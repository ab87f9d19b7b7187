// The five textures in use and the star-shape image table.
#pragma once

#include <cstdint>

// One loaded image and its GL texture.
struct TgaTexture {
    unsigned char* Pixels;  // R,G,B(,A) after loading, rows as stored; never freed
    std::uint32_t BitsPerPixel;
    std::uint32_t Width;
    std::uint32_t Height;
    std::uint32_t TextureName;
};

enum TextureSetIndex {
    ShapeIndex = 0,
    CoronaIndex = 1,
    FlareRingIndex = 2,
    FlareHaloIndex = 3,
    FlareGlowIndex = 4,
};

extern TgaTexture TextureSet[5];

// Image ids of the non-shape members of the set.
constexpr int CoronaImageId = 111;
constexpr int FlareRingImageId = 121;
constexpr int FlareHaloImageId = 122;
constexpr int FlareGlowImageId = 123;

// The image id of a star shape; any unknown shape draws as the circle.
int ShapeResourceId(std::int32_t shape);

// Loads the set in order (shape, corona, ring, halo, glow) and sets the fixed
// GL state, then starts the selected frame renderer. Needs a current
// rendering context. 1 on success, 0 on failure (FrameRendererProblem() says
// why when the images loaded).
int InitGlState();

// Loads the set in order (shape for the process's settings, corona, ring,
// halo, glow), stopping at the first failure. Needs a current context.
bool LoadTextureSet();

// Finds image resourceId among the program's images, decodes it into
// texture and makes its GL texture. Needs a current rendering context.
bool LoadTgaTexture(TgaTexture& texture, int resourceId);
