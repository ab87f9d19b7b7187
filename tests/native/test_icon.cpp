// The committed program icon: two 16-colour images, 16 x 16 and 32 x 32, of
// a monitor with a black screen, a white sparkle in its middle, and (on the
// large one) a green power light.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<std::uint8_t> ReadIcon() {
    std::ifstream in(MIRROWEN_IMAGE_DIR "/../mirrowen.ico", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned U16(const std::vector<std::uint8_t>& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
unsigned U32(const std::vector<std::uint8_t>& b, std::size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

struct Decoded {
    int Size = 0;
    std::vector<int> Rgb;  // 0xRRGGBB per pixel, rows from the top; -1 where transparent
    int At(int x, int y) const { return Rgb.at(static_cast<std::size_t>(y * Size + x)); }
};

Decoded Decode(const std::vector<std::uint8_t>& file, int entry) {
    const std::size_t e = 6 + 16 * static_cast<std::size_t>(entry);
    Decoded d;
    d.Size = file.at(e);
    const std::size_t bmp = U32(file, e + 12);
    EXPECT_EQ(U32(file, bmp), 40u);
    EXPECT_EQ(U32(file, bmp + 8), 2u * d.Size) << "colour rows and mask rows";
    EXPECT_EQ(U16(file, bmp + 14), 4u) << "16 colours";
    const std::size_t palette = bmp + 40;
    const std::size_t colours = palette + 64;
    const int colourRow = ((d.Size * 4 + 31) / 32) * 4;
    const int maskRow = ((d.Size + 31) / 32) * 4;
    const std::size_t mask = colours + static_cast<std::size_t>(colourRow) * d.Size;
    EXPECT_EQ(U32(file, e + 8), 40u + 64u + static_cast<unsigned>((colourRow + maskRow) * d.Size));
    for (int y = 0; y < d.Size; ++y) {
        const int row = d.Size - 1 - y;
        for (int x = 0; x < d.Size; ++x) {
            const bool clear = file.at(mask + row * maskRow + x / 8) & (0x80 >> (x % 8));
            const std::uint8_t pair = file.at(colours + row * colourRow + x / 2);
            const int index = x % 2 == 0 ? pair >> 4 : pair & 15;
            const std::size_t p = palette + 4 * static_cast<std::size_t>(index);
            d.Rgb.push_back(clear ? -1 : (file.at(p + 2) << 16) | (file.at(p + 1) << 8) | file.at(p));
        }
    }
    return d;
}

TEST(ProgramIcon, HoldsA16And32PixelImageOfAMonitorWithASparkle) {
    const std::vector<std::uint8_t> file = ReadIcon();
    ASSERT_GE(file.size(), 6u + 32u);
    EXPECT_EQ(U16(file, 2), 1u) << "an icon, not a cursor";
    ASSERT_EQ(U16(file, 4), 2u);
    const int sizes[2] = {16, 32};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(sizes[i]);
        EXPECT_EQ(file.at(6 + 16 * i), sizes[i]);
        EXPECT_EQ(file.at(6 + 16 * i + 2), 16) << "16 colours";
        const Decoded d = Decode(file, i);
        ASSERT_EQ(d.Rgb.size(), static_cast<std::size_t>(sizes[i] * sizes[i]));
        const int n = d.Size;
        // The sparkle sits in the screen's middle, black around it.
        const int cx = n == 32 ? 15 : 7, cy = n == 32 ? 12 : 6;
        EXPECT_EQ(d.At(cx, cy), 0xFFFFFF);
        EXPECT_EQ(d.At(cx + 2, cy), 0xFFFFFF) << "an arm of the sparkle";
        EXPECT_EQ(d.At(cx + 2, cy + 2), 0x000000) << "between the arms the screen is black";
        // A grey case around the screen, and the corners see through.
        EXPECT_EQ(d.At(n / 2, n == 32 ? 22 : 10), 0x808080);
        EXPECT_EQ(d.At(0, n - 1), -1);
        EXPECT_EQ(d.At(n - 1, n - 1), -1);
        int green = 0;
        for (int rgb : d.Rgb) green += rgb == 0x00FF00;
        EXPECT_EQ(green > 0, n == 32) << "the power light is on the large image";
    }
}

}  // namespace
