// Decoding of the narrow TGA subset the program's images use: uncompressed
// true colour, 24 or 32 bits, no image-ID field, no colour map, origin 0,0.
#pragma once

#include <cstddef>
#include <cstdint>

struct TgaTexture;

enum class TgaDecodeResult {
    Ok,
    BadHeader,      // first twelve bytes differ from 0,0,2,0,...,0
    ZeroSize,       // width or height 0
    BadDepth,       // depth other than 24 or 32
    ShortData,      // fewer bytes than the header and pixel data need
    NoMemory,
};

constexpr std::size_t TgaHeaderSize = 18;

// Decodes size bytes at data into texture: Width, Height, BitsPerPixel and a
// malloc'd Pixels buffer in R,G,B(,A) order, rows as stored. The image
// descriptor is not read; bytes after the pixels are ignored. On failure the
// record may be partly written but Pixels is only set on success.
TgaDecodeResult DecodeTga(const unsigned char* data, std::size_t size, TgaTexture& texture);
