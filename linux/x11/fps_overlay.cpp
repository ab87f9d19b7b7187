#include "linux/x11/fps_overlay.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr int FirstChar = 32;
constexpr int CharCount = 95;

double Now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

void OpenFpsOverlay(FpsOverlay& overlay, Display* dpy) {
    overlay.SecondStart = Now();
    XFontStruct* font = XLoadQueryFont(dpy, "fixed");
    if (font == nullptr) return;
    overlay.ListBase = glGenLists(CharCount);
    if (overlay.ListBase != 0) glXUseXFont(font->fid, FirstChar, CharCount, static_cast<int>(overlay.ListBase));
    overlay.SpaceWidth = font->max_bounds.width;
    XFreeFont(dpy, font);
}

void DrawFpsOverlay(FpsOverlay& overlay, int width, int height, std::int64_t waited) {
    ++overlay.FramesThisSecond;
    overlay.WaitedThisSecond += waited;
    const double now = Now();
    if (now - overlay.SecondStart >= 1.0) {
        const double elapsed = now - overlay.SecondStart;
        double load = 1.0 - static_cast<double>(overlay.WaitedThisSecond) * 1e-6 / elapsed;
        load = load < 0.0 ? 0.0 : load;
        std::snprintf(overlay.Text, sizeof overlay.Text, "%.1f fps, load %.1f%%", overlay.FramesThisSecond / elapsed,
                      load * 100.0);
        overlay.SecondStart = now;
        overlay.FramesThisSecond = 0;
        overlay.WaitedThisSecond = 0;
        if (overlay.ListBase == 0) std::fprintf(stderr, "mirrowen: %s\n", overlay.Text);
    }
    if (overlay.ListBase == 0 || overlay.Text[0] == '\0') return;

    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 0.0f);
    glRasterPos2i(8, 8);
    // The list made for a space (no pixels) does not move on: a space moves
    // by hand, by the width of a character cell.
    for (const char* c = overlay.Text; *c != '\0'; ++c) {
        if (*c == ' ')
            glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(overlay.SpaceWidth), 0.0f, nullptr);
        else if (*c > FirstChar && *c < FirstChar + CharCount)
            glCallList(overlay.ListBase + static_cast<unsigned>(*c - FirstChar));
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
