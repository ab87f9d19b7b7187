#include "tools/tga_write.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t ExtensionAreaSize = 495;

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A fixed-size text field, zero padded; the last byte always stays 0.
void PutText(std::vector<std::uint8_t>& out, const char* text, std::size_t field) {
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i < field; ++i) {
        out.push_back(i < length && i + 1 < field ? static_cast<std::uint8_t>(text[i]) : 0);
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeTga24(int width, int height, const std::vector<std::uint8_t>& rgb) {
    std::vector<std::uint8_t> out;
    // Header: no image id, no colour map, type 2, origin 0,0, descriptor 0
    // (bottom-left origin, no alpha bits).
    const std::uint8_t lead[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (std::uint8_t byte : lead) out.push_back(byte);
    Put16(out, static_cast<unsigned>(width));
    Put16(out, static_cast<unsigned>(height));
    out.push_back(24);
    out.push_back(0);

    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < pixels; ++i) {
        out.push_back(rgb[3 * i + 2]);
        out.push_back(rgb[3 * i + 1]);
        out.push_back(rgb[3 * i + 0]);
    }

    // Extension area. The date and job fields stay zero so that the bytes
    // never depend on when the images were made.
    const std::uint32_t extensionOffset = static_cast<std::uint32_t>(out.size());
    Put16(out, ExtensionAreaSize);
    PutText(out, "Pelloquin", 41);                       // author name
    PutText(out, "Mirrowen star image", 324);            // author comments (4 lines of 81)
    for (int i = 0; i < 6; ++i) Put16(out, 0);           // date and time: none
    PutText(out, "", 41);                                // job name
    for (int i = 0; i < 3; ++i) Put16(out, 0);           // job time
    PutText(out, "Mirrowen make_images", 41);            // software id
    Put16(out, 100);                                     // software version 1.00
    out.push_back(' ');                                  // version letter
    Put32(out, 0);                                       // key colour: black
    Put16(out, 1);                                       // pixel aspect ratio 1:1
    Put16(out, 1);
    Put16(out, 0);                                       // gamma: not given
    Put16(out, 0);
    Put32(out, 0);                                       // no colour correction table
    Put32(out, 0);                                       // no postage stamp
    Put32(out, 0);                                       // no scan-line table
    out.push_back(0);                                    // attributes: no alpha

    // Footer.
    Put32(out, extensionOffset);
    Put32(out, 0);  // no developer directory
    const char signature[] = "TRUEVISION-XFILE.";
    for (char ch : signature) out.push_back(static_cast<std::uint8_t>(ch));  // with its final 0
    return out;
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
