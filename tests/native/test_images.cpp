#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render/texture_set.h"
#include "render/tga_decode.h"

namespace {

std::vector<unsigned char> ReadImageFile(int id) {
    const std::string path = std::string(MIRROWEN_IMAGE_DIR) + "/" + std::to_string(id) + ".tga";
    std::vector<unsigned char> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
    std::fclose(file);
    return bytes;
}

// One committed image, decoded as the loader does: R, G, B, rows as stored.
struct Image {
    std::vector<unsigned char> File;
    TgaTexture Texture{};
    bool Ok = false;
    explicit Image(int id) : File(ReadImageFile(id)) {
        Ok = DecodeTga(File.data(), File.size(), Texture) == TgaDecodeResult::Ok;
    }
    ~Image() { std::free(Texture.Pixels); }
    int W() const { return static_cast<int>(Texture.Width); }
    int H() const { return static_cast<int>(Texture.Height); }
    // Channel ch of the pixel at column x, stored row y (0 = bottom).
    int At(int x, int y, int ch = 0) const { return Texture.Pixels[3 * (static_cast<std::size_t>(y) * W() + x) + ch]; }
    // Mean of channel ch over pixels whose centres are within half a pixel
    // of r from the centre (r = 0: within one pixel).
    double Annulus(double r, int ch = 0) const {
        double sum = 0;
        int count = 0;
        for (int y = 0; y < H(); ++y) {
            for (int x = 0; x < W(); ++x) {
                const double d = std::hypot(x + 0.5 - W() / 2.0, y + 0.5 - H() / 2.0);
                if (r == 0 ? d < 1.0 : (d >= r - 0.5 && d < r + 0.5)) {
                    sum += At(x, y, ch);
                    ++count;
                }
            }
        }
        return count ? sum / count : -1.0;
    }
    int LitInRow(int y) const {
        int n = 0;
        for (int x = 0; x < W(); ++x) n += At(x, y) > 0;
        return n;
    }
    int LitInColumn(int x) const {
        int n = 0;
        for (int y = 0; y < H(); ++y) n += At(x, y) > 0;
        return n;
    }
};

unsigned Read16(const std::vector<unsigned char>& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
unsigned Read32(const std::vector<unsigned char>& b, std::size_t at) { return Read16(b, at) | (Read16(b, at + 2) << 16); }

int SideOf(int id) { return id == 110 ? 32 : id == 111 ? 128 : 64; }

TEST(Images, AreUncompressedTwentyFourBitBottomLeftWithExtensionAreaAndFooter) {
    for (int id = 110; id <= 123; ++id) {
        Image image(id);
        ASSERT_TRUE(image.Ok) << id;
        const int side = SideOf(id);
        EXPECT_EQ(image.W(), side) << id;
        EXPECT_EQ(image.H(), side) << id;
        const std::size_t pixelEnd = 18 + static_cast<std::size_t>(side) * side * 3;
        ASSERT_EQ(image.File.size(), pixelEnd + 521) << id;
        EXPECT_EQ(image.File[16], 24) << id;
        EXPECT_EQ(image.File[17], 0) << id;  // bottom-left origin, no alpha bits
        EXPECT_EQ(Read16(image.File, pixelEnd), 495u) << id;  // extension area size
        const std::size_t footer = image.File.size() - 26;
        EXPECT_EQ(Read32(image.File, footer), pixelEnd) << id;
        EXPECT_EQ(std::memcmp(&image.File[footer + 8], "TRUEVISION-XFILE.", 18), 0) << id;
        EXPECT_EQ((side * 3) % 4, 0) << id;
    }
}

TEST(Images, AreGreyExceptTheGlowAndLightOnBlack) {
    for (int id = 110; id <= 123; ++id) {
        Image image(id);
        ASSERT_TRUE(image.Ok) << id;
        bool grey = true;
        for (int y = 0; y < image.H(); ++y) {
            for (int x = 0; x < image.W(); ++x) grey = grey && image.At(x, y, 0) == image.At(x, y, 1) && image.At(x, y, 1) == image.At(x, y, 2);
        }
        EXPECT_EQ(grey, id != 123) << id;
        // The corners are the background: pure black, in all three channels.
        const int m = image.W() - 1;
        for (int ch = 0; ch < 3; ++ch) {
            EXPECT_EQ(image.At(0, 0, ch) + image.At(m, 0, ch) + image.At(0, m, ch) + image.At(m, m, ch), 0) << id;
        }
    }
}

struct ProfileCase {
    int Id;
    int Channel;
    std::vector<std::pair<int, int>> Points;  // radius, mean level
    int DarkFrom;                             // every pixel this far out is 0
};

TEST(Images, CircularImagesFollowTheirProfiles) {
    const ProfileCase cases[] = {
        {111, 0, {{0, 255}, {1, 255}, {2, 255}, {3, 255}, {4, 255}, {8, 245}, {12, 196}, {16, 149}, {20, 117},
                  {24, 91}, {32, 49}, {40, 25}, {48, 12}, {56, 4}, {60, 0}, {61, 0}, {63, 0}}, 60},
        {112, 0, {{0, 255}, {9, 232}, {15, 191}, {20, 141}, {24, 90}, {28, 32}, {30, 4}, {31, 0}, {32, 0}}, 31},
        {113, 0, {{0, 0}, {5, 0}, {10, 0}, {11, 0}, {12, 16}, {13, 80}, {15, 149}, {17, 193}, {19, 221}, {21, 185},
                  {23, 123}, {24, 69}, {25, 7}, {26, 0}, {30, 0}}, 26},
        {114, 0, {{0, 104}, {17, 248}, {18, 248}, {19, 234}, {21, 195}, {23, 156}, {25, 116}, {27, 70}, {29, 19},
                  {31, 0}}, 31},
        {121, 0, {{0, 0}, {10, 0}, {17, 0}, {18, 15}, {19, 86}, {20, 157}, {21, 203}, {22, 240}, {23, 254},
                  {24, 255}, {25, 248}, {26, 215}, {27, 161}, {28, 97}, {29, 33}, {30, 3}, {31, 0}}, 31},
        {122, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 7}, {6, 46}, {8, 75}, {10, 103}, {12, 132}, {14, 155}, {16, 180},
                  {18, 204}, {20, 227}, {22, 249}, {23, 255}, {24, 255}, {25, 248}, {26, 215}, {27, 161}, {28, 98},
                  {29, 35}, {30, 5}, {31, 0}}, 31},
        {123, 0, {{0, 255}, {7, 255}, {14, 255}, {16, 247}, {18, 214}, {20, 181}, {22, 140}, {24, 107}, {26, 74},
                  {28, 41}, {30, 8}, {31, 0}}, 31},
        {123, 2, {{0, 189}, {7, 189}, {14, 189}, {16, 181}, {18, 165}, {20, 132}, {22, 107}, {24, 82}, {26, 57},
                  {28, 33}, {30, 8}, {31, 0}}, 31},
    };
    for (const ProfileCase& c : cases) {
        Image image(c.Id);
        ASSERT_TRUE(image.Ok) << c.Id;
        for (const auto& point : c.Points) {
            EXPECT_NEAR(image.Annulus(point.first, c.Channel), point.second, 8.0)
                << "image " << c.Id << " channel " << c.Channel << " r " << point.first;
        }
        for (int y = 0; y < image.H(); ++y) {
            for (int x = 0; x < image.W(); ++x) {
                if (std::hypot(x + 0.5 - image.W() / 2.0, y + 0.5 - image.H() / 2.0) >= c.DarkFrom) {
                    ASSERT_EQ(image.At(x, y, c.Channel), 0) << c.Id << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(Images, GlowCentreIsPaleYellow) {
    Image image(123);
    ASSERT_TRUE(image.Ok);
    EXPECT_EQ(image.At(32, 32, 0), 255);
    EXPECT_EQ(image.At(32, 32, 1), 255);
    EXPECT_EQ(image.At(32, 32, 2), 189);
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(image.At(31, 31, ch), image.At(32, 32, ch));
}

TEST(Images, ClassicStarUsesFourLevelsOnHundredPixels) {
    Image image(110);
    ASSERT_TRUE(image.Ok);
    int lit = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int v = image.At(x, y);
            EXPECT_TRUE(v == 0 || v == 128 || v == 192 || v == 255) << x << "," << y << " = " << v;
            lit += v != 0;
        }
    }
    EXPECT_EQ(lit, 100);
    // One-pixel rays, almost edge to edge, crossing in a white core.
    EXPECT_EQ(image.At(15, 15), 255);
    EXPECT_GT(image.At(1, 15), 0);
    EXPECT_GT(image.At(30, 15), 0);
    EXPECT_GT(image.At(15, 1), 0);
    EXPECT_GT(image.At(15, 30), 0);
    EXPECT_EQ(image.At(10, 14) + image.At(10, 16) + image.At(14, 10) + image.At(16, 10), 0);
}

TEST(Images, ShiningStarStaysInsideItsLitArea) {
    Image image(111);
    ASSERT_TRUE(image.Ok);
    int left = 128, right = -1, top = 128, bottom = -1;  // rows counted from the top
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            if (image.At(x, y) == 0) continue;
            const int fromTop = 127 - y;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, fromTop);
            bottom = std::max(bottom, fromTop);
        }
    }
    EXPECT_GE(left, 13);
    EXPECT_LE(right, 118);
    EXPECT_GE(top, 13);
    EXPECT_LE(bottom, 116);
    // Thin rays, not a disc: at r = 40 most of the ring is dark.
    int dark = 0, ring = 0;
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const double d = std::hypot(x + 0.5 - 64, y + 0.5 - 64);
            if (d >= 39.5 && d < 40.5) {
                ++ring;
                dark += image.At(x, y) < 20;
            }
        }
    }
    EXPECT_GT(dark * 10, ring * 7);
}

TEST(Images, ArrowPointsToPlusXOnRowsTwelveToFortyNineFromTheTop) {
    Image image(120);
    ASSERT_TRUE(image.Ok);
    for (int y = 0; y < 64; ++y) {
        const int fromTop = 63 - y;
        EXPECT_EQ(image.LitInRow(y) > 0, fromTop >= 12 && fromTop <= 49) << "row " << fromTop << " from the top";
    }
    // Full width; the shaft on the left is thinner than the head, which
    // narrows to a point at the right edge.
    EXPECT_GT(image.LitInColumn(0), 0);
    EXPECT_GT(image.LitInColumn(63), 0);
    EXPECT_LT(image.LitInColumn(10), image.LitInColumn(40));
    EXPECT_LT(image.LitInColumn(60), image.LitInColumn(40));
    EXPECT_EQ(image.At(40, 33), 246);
}

TEST(Images, HeartPointsDownWhenTheFirstRowIsAtTheBottom) {
    Image image(118);
    ASSERT_TRUE(image.Ok);
    EXPECT_LT(image.LitInRow(8), image.LitInRow(32) / 3);
    EXPECT_GT(image.LitInRow(45), 56);
    // The cleft between the lobes is at the top middle. Half-lit counts as
    // the edge: the soft outline leaves faint levels around it.
    auto top = [&](int x) {
        int y = 63;
        while (y > 0 && image.At(x, y) < 128) --y;
        return y;
    };
    EXPECT_LT(top(32) + 4, top(20));
    EXPECT_LT(top(32) + 4, top(44));
    EXPECT_EQ(image.At(32, 32), 246);
}

TEST(Images, ShapesFillTheSquareInWhite) {
    struct Case {
        int Id;
        int White;
    };
    for (const Case c : {Case{115, 246}, Case{116, 246}, Case{117, 255}, Case{118, 246}, Case{119, 246},
                         Case{120, 246}}) {
        Image image(c.Id);
        ASSERT_TRUE(image.Ok) << c.Id;
        int maxLevel = 0, minX = 64, maxX = -1, minY = 64, maxY = -1;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                const int v = image.At(x, y);
                maxLevel = std::max(maxLevel, v);
                if (v > 0) {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                    minY = std::min(minY, y);
                    maxY = std::max(maxY, y);
                }
            }
        }
        EXPECT_EQ(maxLevel, c.White) << c.Id;
        EXPECT_LE(minX, 1) << c.Id;
        EXPECT_GE(maxX, 62) << c.Id;
        if (c.Id != 120) {
            EXPECT_GE(maxY - minY, 54) << c.Id;
        }
    }
    // The flower's black centre and the star's upward point.
    Image flower(117);
    EXPECT_EQ(flower.At(32, 29), 0);
    Image star(115);
    EXPECT_GT(star.LitInRow(60), 0);
    EXPECT_LT(star.LitInRow(60), 6);
}

}  // namespace
