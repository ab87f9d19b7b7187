#include "render/tga_upload.h"

#include "render/gl_api.h"
#include "render/texture_set.h"

void UploadTgaTexture(TgaTexture& texture) {
    GLuint name = 0;
    glGenTextures(1, &name);
    texture.TextureName = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(GL_LINEAR));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
    const GLenum format = texture.BitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(texture.Width),
                 static_cast<GLsizei>(texture.Height), 0, format, GL_UNSIGNED_BYTE, texture.Pixels);
}
