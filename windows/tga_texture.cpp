// The images live in the executable as resources of type "TGA".
#include <windows.h>

#include "render/texture_set.h"
#include "render/tga_decode.h"
#include "render/tga_upload.h"

bool LoadTgaTexture(TgaTexture& texture, int resourceId) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(resourceId & 0xFFFF), "tga");
    if (found == nullptr) return false;
    HGLOBAL loaded = LoadResource(nullptr, found);
    if (loaded == nullptr) return false;
    const void* bytes = LockResource(loaded);
    const DWORD size = SizeofResource(nullptr, found);
    if (bytes == nullptr) return false;
    if (DecodeTga(static_cast<const unsigned char*>(bytes), size, texture) != TgaDecodeResult::Ok) return false;
    UploadTgaTexture(texture);
    return true;
}
