// Writing the program's images: uncompressed 24-bit TGA, bottom-left origin,
// with a TGA 2.0 extension area and footer after the pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb holds width * height pixels as R, G, B bytes, bottom row first.
std::vector<std::uint8_t> EncodeTga24(int width, int height, const std::vector<std::uint8_t>& rgb);

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
