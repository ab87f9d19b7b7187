// Making a GL texture from a decoded image.
#pragma once

struct TgaTexture;

// Generates one texture name into texture.TextureName, binds it and uploads
// texture.Pixels with linear filters and no mipmaps. Needs a current context
// (desktop OpenGL or OpenGL ES 3).
void UploadTgaTexture(TgaTexture& texture);
