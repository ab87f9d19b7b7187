#include "render/frame_drawing.h"

#include <GL/gl.h>

#include "render/texture_set.h"
#include "settings/saver_settings.h"
#include "sim/corona.h"
#include "sim/origins.h"
#include "sim/star_field.h"
#include "sim/star_update.h"

namespace {

// One element of the lens-flare chain, placed at centre + K * (origin - centre).
struct FlareElement {
    float K;
    int Texture;  // index into TextureSet
    float Grey;
    float HalfSize;
};

const FlareElement FlareChain[6] = {
    {1.4f, FlareHaloIndex, 0.2f, 30.0f},  {0.6f, FlareRingIndex, 0.3f, 50.0f},
    {0.3f, FlareGlowIndex, 0.1f, 30.0f},  {-0.4f, FlareHaloIndex, 0.25f, 80.0f},
    {-0.5f, FlareHaloIndex, 0.4f, 15.0f}, {-0.9f, FlareHaloIndex, 0.3f, 25.0f},
};

constexpr float QuadHalf = 15.0f;

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
    const float v = static_cast<float>(s.Corona * static_cast<double>(0.01f));
    glColor3f(v, v, v);
    glRotatef(CoronaAngle, 0.0f, 0.0f, 1.0f);
    glBindTexture(GL_TEXTURE_2D, TextureSet[CoronaIndex].TextureName);
    UprightQuad();
    // On top of the first turn, so the second layer turns the other way.
    glRotatef(static_cast<float>(CoronaAngle * -2.0), 0.0f, 0.0f, 1.0f);
    TurnedQuad();
}

void DrawFlare(float x, float y) {
    for (const FlareElement& e : FlareChain) {
        glLoadIdentity();
        const double k = e.K;
        glTranslatef(static_cast<float>(320.0 + k * (static_cast<double>(x) - 320.0)),
                     static_cast<float>(240.0 + k * (static_cast<double>(y) - 240.0)), 0.0f);
        glBindTexture(GL_TEXTURE_2D, TextureSet[e.Texture].TextureName);
        glColor3f(e.Grey, e.Grey, e.Grey);
        FlareQuad(e.HalfSize);
    }
}

void DrawStar(const SaverSettings& s, const Star& star) {
    glLoadIdentity();
    glTranslated(star.X, star.Y, 0.0);
    glRotatef(star.Angle, 0.0f, 0.0f, 1.0f);
    const float f =
        static_cast<float>(static_cast<double>(s.StarSize) * static_cast<double>(star.Size) * static_cast<double>(0.2f));
    glScalef(f, f, 0.0f);
    glColor3f(star.Pulse * star.Red, star.Pulse * star.Green, star.Pulse * star.Blue);
    UprightQuad();
}

}  // namespace

void DrawScene() {
    const SaverSettings& s = *Settings;
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 640.0, 0.0, 480.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);

    for (int i = 0; i < s.Origins && i < MaxOrigins; ++i) {
        const float x = StarField.OriginX[i];
        const float y = StarField.OriginY[i];
        if (s.Corona > 0) DrawCorona(s, x, y);
        if (s.LensFlare != 0) DrawFlare(x, y);
    }

    glBindTexture(GL_TEXTURE_2D, TextureSet[ShapeIndex].TextureName);
    for (int j = 0; j < s.StarCount && j < MaxStars; ++j) DrawStar(s, StarField.Stars[j]);

    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
}

void StepSimulation() {
    MoveOrigins(Settings->OriginSpeed);
    UpdateStars(*Settings);
    StepCoronaAngle();
}

int RenderFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawScene();
    StepSimulation();
    return 1;
}
