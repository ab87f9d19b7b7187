#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "render/texture_set.h"
#include "render/tga_decode.h"

namespace {

// A TGA image of width x height with the given depth; pixel i has bytes
// i*10 + k for k = 0..depth/8-1, so every byte tells where it came from.
std::vector<unsigned char> MakeImage(unsigned width, unsigned height, unsigned depth, unsigned char descriptor = 0) {
    std::vector<unsigned char> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    bytes.push_back(static_cast<unsigned char>(width & 0xFF));
    bytes.push_back(static_cast<unsigned char>(width >> 8));
    bytes.push_back(static_cast<unsigned char>(height & 0xFF));
    bytes.push_back(static_cast<unsigned char>(height >> 8));
    bytes.push_back(static_cast<unsigned char>(depth));
    bytes.push_back(descriptor);
    const unsigned stride = depth / 8;
    for (unsigned i = 0; i < width * height; ++i) {
        for (unsigned k = 0; k < stride; ++k) bytes.push_back(static_cast<unsigned char>(i * 10 + k));
    }
    return bytes;
}

struct Decoded {
    TgaDecodeResult Result;
    TgaTexture Texture{};
    explicit Decoded(const std::vector<unsigned char>& bytes) {
        // An exact-size copy, so that the sanitizer sees any read past the end.
        unsigned char* block = static_cast<unsigned char*>(std::malloc(bytes.size() ? bytes.size() : 1));
        for (std::size_t i = 0; i < bytes.size(); ++i) block[i] = bytes[i];
        Result = DecodeTga(block, bytes.size(), Texture);
        std::free(block);
    }
    ~Decoded() { std::free(Texture.Pixels); }
};

TEST(TgaDecode, SwapsBlueAndRedOfTwentyFourBitPixelsAndKeepsRowOrder) {
    const auto bytes = MakeImage(3, 2, 24);
    Decoded d(bytes);
    ASSERT_EQ(d.Result, TgaDecodeResult::Ok);
    EXPECT_EQ(d.Texture.Width, 3u);
    EXPECT_EQ(d.Texture.Height, 2u);
    EXPECT_EQ(d.Texture.BitsPerPixel, 24u);
    ASSERT_NE(d.Texture.Pixels, nullptr);
    for (unsigned i = 0; i < 6; ++i) {
        // Pixel i stays at index i: the first stored row is row 0.
        EXPECT_EQ(d.Texture.Pixels[3 * i + 0], i * 10 + 2) << i;
        EXPECT_EQ(d.Texture.Pixels[3 * i + 1], i * 10 + 1) << i;
        EXPECT_EQ(d.Texture.Pixels[3 * i + 2], i * 10 + 0) << i;
    }
}

TEST(TgaDecode, ThirtyTwoBitPixelsKeepTheirAlphaAsStored) {
    Decoded d(MakeImage(2, 2, 32));
    ASSERT_EQ(d.Result, TgaDecodeResult::Ok);
    EXPECT_EQ(d.Texture.BitsPerPixel, 32u);
    for (unsigned i = 0; i < 4; ++i) {
        EXPECT_EQ(d.Texture.Pixels[4 * i + 0], i * 10 + 2);
        EXPECT_EQ(d.Texture.Pixels[4 * i + 1], i * 10 + 1);
        EXPECT_EQ(d.Texture.Pixels[4 * i + 2], i * 10 + 0);
        EXPECT_EQ(d.Texture.Pixels[4 * i + 3], i * 10 + 3);
    }
}

TEST(TgaDecode, DescriptorIsNotRead) {
    // Top-left origin and a claim of 8 alpha bits change nothing: rows stay
    // in stored order, 24-bit stays RGB.
    for (unsigned char descriptor : {0x20, 0x08, 0x28, 0xFF}) {
        Decoded d(MakeImage(2, 2, 24, descriptor));
        ASSERT_EQ(d.Result, TgaDecodeResult::Ok) << int(descriptor);
        EXPECT_EQ(d.Texture.BitsPerPixel, 24u);
        EXPECT_EQ(d.Texture.Pixels[0], 2);
        EXPECT_EQ(d.Texture.Pixels[9], 32);
    }
}

TEST(TgaDecode, BytesAfterThePixelsAreIgnored) {
    auto bytes = MakeImage(2, 1, 24);
    const std::size_t pixelEnd = bytes.size();
    bytes.insert(bytes.end(), 521, 0xAB);
    Decoded d(bytes);
    ASSERT_EQ(d.Result, TgaDecodeResult::Ok);
    EXPECT_EQ(pixelEnd, 18u + 6u);
    EXPECT_EQ(d.Texture.Pixels[3], 12);  // second pixel, red from its third byte
    EXPECT_EQ(d.Texture.Pixels[5], 10);
}

TEST(TgaDecode, RefusesEveryHeaderOutsideTheSubset) {
    const auto good = MakeImage(2, 2, 24);
    struct Case {
        const char* What;
        std::size_t Offset;
        unsigned char Value;
        TgaDecodeResult Expected;
    };
    const Case cases[] = {
        {"image-id length", 0, 1, TgaDecodeResult::BadHeader},
        {"colour-map type", 1, 1, TgaDecodeResult::BadHeader},
        {"run-length type 10", 2, 10, TgaDecodeResult::BadHeader},
        {"colour-mapped type 1", 2, 1, TgaDecodeResult::BadHeader},
        {"colour-map field", 3, 1, TgaDecodeResult::BadHeader},
        {"colour-map field end", 7, 24, TgaDecodeResult::BadHeader},
        {"x origin", 8, 1, TgaDecodeResult::BadHeader},
        {"x origin high", 9, 1, TgaDecodeResult::BadHeader},
        {"y origin", 10, 1, TgaDecodeResult::BadHeader},
        {"y origin high", 11, 1, TgaDecodeResult::BadHeader},
        {"8-bit", 16, 8, TgaDecodeResult::BadDepth},
        {"16-bit", 16, 16, TgaDecodeResult::BadDepth},
        {"15-bit", 16, 15, TgaDecodeResult::BadDepth},
        {"0-bit", 16, 0, TgaDecodeResult::BadDepth},
    };
    for (const Case& c : cases) {
        auto bytes = good;
        bytes[c.Offset] = c.Value;
        Decoded d(bytes);
        EXPECT_EQ(d.Result, c.Expected) << c.What;
        EXPECT_EQ(d.Texture.Pixels, nullptr) << c.What;
    }
}

TEST(TgaDecode, RefusesZeroWidthOrHeight) {
    for (auto dims : {std::pair<unsigned, unsigned>{0, 2}, {2, 0}, {0, 0}}) {
        auto bytes = MakeImage(2, 2, 24);
        bytes[12] = static_cast<unsigned char>(dims.first);
        bytes[14] = static_cast<unsigned char>(dims.second);
        Decoded d(bytes);
        EXPECT_EQ(d.Result, TgaDecodeResult::ZeroSize) << dims.first << "x" << dims.second;
    }
}

TEST(TgaDecode, RefusesDataShorterThanTheHeaderClaims) {
    const auto full = MakeImage(3, 3, 32);
    for (std::size_t cut = 1; cut <= 5; ++cut) {
        Decoded d(std::vector<unsigned char>(full.begin(), full.end() - static_cast<std::ptrdiff_t>(cut)));
        EXPECT_EQ(d.Result, TgaDecodeResult::ShortData) << cut;
    }
    for (std::size_t size : {0, 1, 11, 17}) {
        Decoded d(std::vector<unsigned char>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size)));
        EXPECT_EQ(d.Result, TgaDecodeResult::ShortData) << size;
    }
    // The largest header the format allows, on 18 bytes alone.
    auto huge = MakeImage(1, 1, 32);
    huge.resize(18);
    huge[12] = huge[13] = huge[14] = huge[15] = 0xFF;
    Decoded d(huge);
    EXPECT_EQ(d.Result, TgaDecodeResult::ShortData);
    EXPECT_EQ(DecodeTga(nullptr, 100, d.Texture), TgaDecodeResult::ShortData);
}

TEST(ShapeResourceId, FollowsTheShapeListAndFallsBackToTheCircle) {
    const int expected[11] = {115, 120, 112, 110, 117, 118, 119, 111, 116, 114, 113};
    for (int shape = 0; shape <= 10; ++shape) EXPECT_EQ(ShapeResourceId(shape), expected[shape]) << shape;
    for (int shape : {11, 255, -1, -2147483647 - 1, 2147483647}) EXPECT_EQ(ShapeResourceId(shape), 112) << shape;
}

}  // namespace
