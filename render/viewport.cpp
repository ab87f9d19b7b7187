#include "render/viewport.h"

#include <GL/gl.h>
#include <GL/glu.h>

void ResizeViewport(int width, int height) { ResizeViewportAt(0, 0, width, height); }

void ResizeViewportAt(int x, int y, int width, int height) {
    if (height == 0) height = 1;
    glViewport(x, y, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), static_cast<double>(0.1f), 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
