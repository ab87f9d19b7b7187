// The images are compiled into the program (embedded_images_data.cpp).
#include "render/embedded_images.h"
#include "render/texture_set.h"
#include "render/tga_decode.h"
#include "render/tga_upload.h"

const EmbeddedImage* FindEmbeddedImage(int id) {
    for (std::size_t i = 0; i < EmbeddedImageCount; ++i)
        if (EmbeddedImages[i].Id == id) return &EmbeddedImages[i];
    return nullptr;
}

bool LoadTgaTexture(TgaTexture& texture, int resourceId) {
    const EmbeddedImage* image = FindEmbeddedImage(resourceId);
    if (image == nullptr) return false;
    if (DecodeTga(image->Bytes, image->Size, texture) != TgaDecodeResult::Ok) return false;
    UploadTgaTexture(texture);
    return true;
}
