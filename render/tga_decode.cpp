#include "render/tga_decode.h"

#include <cstdlib>
#include <cstring>

#include "render/texture_set.h"

namespace {

constexpr unsigned char ExpectedLead[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

}  // namespace

TgaDecodeResult DecodeTga(const unsigned char* data, std::size_t size, TgaTexture& texture) {
    if (data == nullptr || size < TgaHeaderSize) return TgaDecodeResult::ShortData;
    if (std::memcmp(data, ExpectedLead, sizeof ExpectedLead) != 0) return TgaDecodeResult::BadHeader;

    texture.Width = static_cast<std::uint32_t>(data[12] | (data[13] << 8));
    texture.Height = static_cast<std::uint32_t>(data[14] | (data[15] << 8));
    if (texture.Width == 0 || texture.Height == 0) return TgaDecodeResult::ZeroSize;

    const std::uint32_t depth = data[16];
    if (depth != 24 && depth != 32) return TgaDecodeResult::BadDepth;
    texture.BitsPerPixel = depth;

    // At most 65535 * 65535 * 4 bytes: fits in 64 bits, checked against the
    // bytes actually present so that a truncated image is never read past.
    const std::uint64_t stride = depth / 8;
    const std::uint64_t pixelBytes = std::uint64_t{texture.Width} * texture.Height * stride;
    if (pixelBytes > size - TgaHeaderSize) return TgaDecodeResult::ShortData;

    unsigned char* pixels = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(pixelBytes)));
    if (pixels == nullptr) return TgaDecodeResult::NoMemory;
    std::memcpy(pixels, data + TgaHeaderSize, static_cast<std::size_t>(pixelBytes));
    for (std::uint64_t i = 0; i < pixelBytes; i += stride) {
        const unsigned char blue = pixels[i];
        pixels[i] = pixels[i + 2];
        pixels[i + 2] = blue;
    }
    texture.Pixels = pixels;
    return TgaDecodeResult::Ok;
}
