// The GL calls beyond OpenGL 1.1 that the shader back end and the texture
// upload use: OpenGL ES 3.0 under WebGL 2 (the page), desktop OpenGL with
// its 3.3 entry points elsewhere. MIRROWEN_GLSL_HEADER opens a shader in the
// language of the one or the other.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
#define MIRROWEN_GLSL_HEADER "#version 300 es\nprecision highp float;\n"
#else
#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/gl.h>
#include <GL/glext.h>
#define MIRROWEN_GLSL_HEADER "#version 330 core\n"
#endif
