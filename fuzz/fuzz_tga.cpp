// Fuzz entry for the TGA decoder: any input must either be refused or give
// exactly the stored pixels with red and blue exchanged, never read or
// write outside the buffers.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "render/texture_set.h"
#include "render/tga_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TgaTexture texture{};
    if (DecodeTga(data, size, texture) != TgaDecodeResult::Ok) return 0;
    const std::size_t stride = texture.BitsPerPixel / 8;
    const std::size_t bytes = std::size_t{texture.Width} * texture.Height * stride;
    if (texture.Pixels == nullptr || (stride != 3 && stride != 4) || bytes > size - TgaHeaderSize) std::abort();
    const std::uint8_t* stored = data + TgaHeaderSize;
    for (std::size_t i = 0; i < bytes; i += stride) {
        if (texture.Pixels[i] != stored[i + 2] || texture.Pixels[i + 1] != stored[i + 1] ||
            texture.Pixels[i + 2] != stored[i] || (stride == 4 && texture.Pixels[i + 3] != stored[i + 3])) {
            std::abort();
        }
    }
    std::free(texture.Pixels);
    return 0;
}
