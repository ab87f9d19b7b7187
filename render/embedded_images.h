// The program's images, compiled in where there are no resources.
#pragma once

#include <cstddef>

struct EmbeddedImage {
    int Id;
    const unsigned char* Bytes;
    std::size_t Size;
};

extern const EmbeddedImage EmbeddedImages[];
extern const std::size_t EmbeddedImageCount;

// The image with that id, or null.
const EmbeddedImage* FindEmbeddedImage(int id);
