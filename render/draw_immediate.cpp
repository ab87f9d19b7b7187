// The immediate back end: for every quad the matrix stack places it and one
// glBegin/glEnd pair draws it, as the fixed-function pipeline was made for.
// The reference the batched back end is held to.
#include <GL/gl.h>

#include "render/scene_back_ends.h"
#include "render/scene_elements.h"
#include "sim/corona.h"

namespace {

// Upright mapping: texel row 0 at the bottom, so images show as drawn.
void UprightQuad() {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-QuadHalf, -QuadHalf, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(QuadHalf, -QuadHalf, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(QuadHalf, QuadHalf, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-QuadHalf, QuadHalf, 0.0f);
    glEnd();
}

// The same corners with the image turned by 180 degrees: the second corona
// layer must not line up with the first.
void TurnedQuad() {
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(-QuadHalf, -QuadHalf, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(QuadHalf, -QuadHalf, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(QuadHalf, QuadHalf, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(-QuadHalf, QuadHalf, 0.0f);
    glEnd();
}

// Flare elements start at the top-left corner and go clockwise.
void FlareQuad(float h) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-h, h, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(h, h, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(h, -h, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-h, -h, 0.0f);
    glEnd();
}

void DrawCorona(const SaverSettings& s, float x, float y) {
    glLoadIdentity();
    glTranslated(x, y, 0.0);
    const float size = static_cast<float>(s.StarSize);
    glScalef(size, size, 0.0f);
    const float v = CoronaGrey(s);
    glColor3f(v, v, v);
    glRotatef(CoronaAngle, 0.0f, 0.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, TextureSet[CoronaIndex].TextureName);
    UprightQuad();
    glRotatef(SecondCoronaTurn(CoronaAngle), 0.0f, 0.0f, 1.0f);
    TurnedQuad();
}

void DrawFlare(float x, float y) {
    for (const FlareElement& e : FlareChain) {
        glLoadIdentity();
        glTranslatef(FlarePlace(e.K, x, 320.0), FlarePlace(e.K, y, 240.0), 0.0f);
        glBindTexture(GL_TEXTURE_2D, TextureSet[e.Texture].TextureName);
        glColor3f(e.Grey, e.Grey, e.Grey);
        FlareQuad(e.HalfSize);
    }
}

void DrawStar(const SaverSettings& s, const Star& star) {
    glLoadIdentity();
    glTranslated(star.X, star.Y, 0.0);
    glRotatef(star.Angle, 0.0f, 0.0f, 1.0f);
    const float f = StarScale(s, star);
    glScalef(f, f, 0.0f);
    glColor3f(star.Pulse * star.Red, star.Pulse * star.Green, star.Pulse * star.Blue);
    UprightQuad();
}

}  // namespace

void DrawQuadsImmediate(const SaverSettings& s) {
    for (int i = 0; i < s.Origins && i < MaxOrigins; ++i) {
        const float x = StarField.OriginX[i];
        const float y = StarField.OriginY[i];
        if (s.Corona > 0) DrawCorona(s, x, y);
        if (s.LensFlare != 0) DrawFlare(x, y);
    }
    glBindTexture(GL_TEXTURE_2D, TextureSet[ShapeIndex].TextureName);
    for (int j = 0; j < s.StarCount && j < MaxStars; ++j) DrawStar(s, StarField.Stars[j]);
}
