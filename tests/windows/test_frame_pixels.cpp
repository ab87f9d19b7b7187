// Frames drawn by the real GL (Mesa llvmpipe under Wine) and read back from
// the back buffer before the swap. The window's client area is 640 x 480, so
// one unit of the drawing space is one pixel, unless a test says otherwise.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gl_test_support.h"
#include "render/frame_drawing.h"
#include "sim/corona.h"
#include "sim/origins.h"
#include "sim/star_field.h"
#include "sim/star_seeding.h"
#include "tests/frame_agreement.h"
#include "windows/gl_window.h"

namespace {

struct Rgb {
    int R, G, B;
};

class FramePixels : public ::testing::Test {
protected:
    PublishedSettings published{RunModePreview};
    SaverSettings& s = published.Record;
    int width = 640;
    int height = 480;
    std::vector<unsigned char> pixels;

    void Open(int w, int h) {
        width = w;
        height = h;
        ASSERT_EQ(OpenGlWindow(nullptr, "Test", w, h, 16, false), 1);
    }
    void TearDown() override {
        CloseGlWindow();
        DrainQueue();
    }
    void ReadBack() {
        pixels.assign(static_cast<size_t>(width) * height * 4, 0);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }
    // (x, y) in pixels from the bottom-left corner, as GL counts them.
    Rgb At(int x, int y) const {
        const unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
        return Rgb{p[0], p[1], p[2]};
    }
    int Brightest(int x, int y, int radius) const {
        int best = 0;
        for (int j = y - radius; j <= y + radius; ++j)
            for (int i = x - radius; i <= x + radius; ++i)
                if (i >= 0 && j >= 0 && i < width && j < height) best = std::max(best, At(i, j).R);
        return best;
    }
    int LitCount() const {
        int n = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            if (pixels[i] | pixels[i + 1] | pixels[i + 2]) ++n;
        return n;
    }
    void SeedAt(float x, float y) {
        ResetOrigins(640, 480);
        SeedStars(s);
        for (int i = 0; i < MaxOrigins; ++i) {
            StarField.OriginX[i] = x;
            StarField.OriginY[i] = y;
        }
    }
    void Draw() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawScene();
        ReadBack();
    }
};

TEST_F(FramePixels, FirstFrameShowsCoronaAndFlareButNoStar) {
    s.StarSize = 4;
    s.Corona = 100;
    s.LensFlare = 1;
    s.Origins = 1;
    Open(640, 480);
    ResetOrigins(640, 480);
    SeedStars(s);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    RenderFrame();
    ReadBack();
    // Corona at the centre: side 30 x StarSize = 120 units, lit out to about
    // 55/64 of its half-size; nothing beyond the quad itself except flares,
    // which an origin at the centre stacks there too.
    EXPECT_GE(At(320, 240).R, 250);
    EXPECT_EQ(Brightest(320 + 90, 240 + 90, 3), 0);
    EXPECT_EQ(Brightest(30, 30, 5), 0);

    // With corona and flare off, the first frame is black: no star is born yet.
    s.Corona = 0;
    s.LensFlare = 0;
    ResetOrigins(640, 480);
    SeedStars(s);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    RenderFrame();
    ReadBack();
    EXPECT_EQ(LitCount(), 0);
    // Some frames later stars have been born and show.
    for (int i = 0; i < 60; ++i) RenderFrame();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    RenderFrame();
    ReadBack();
    EXPECT_GT(LitCount(), 0);
}

TEST_F(FramePixels, CoronaIsCentredOnItsOriginAndScalesWithStarSize) {
    s.Corona = 100;
    s.LensFlare = 0;
    s.Origins = 1;
    s.StarSize = 2;  // 60 units square
    Open(640, 480);
    SeedAt(200.0f, 150.0f);
    Draw();
    EXPECT_GE(At(200, 150).R, 250);
    EXPECT_EQ(Brightest(200 + 40, 150, 2), 0);
    EXPECT_EQ(Brightest(200, 150 - 40, 2), 0);

    s.StarSize = 10;  // 300 units: the outer rays now reach 40 units out
    Draw();
    int litNear40 = 0;
    for (int a = 0; a < 360; a += 5) {
        const double r = 40.0, t = a * 3.14159265358979 / 180.0;
        if (At(200 + static_cast<int>(r * std::cos(t)), 150 + static_cast<int>(r * std::sin(t))).R > 0) ++litNear40;
    }
    EXPECT_GT(litNear40, 0);

    // Both layers add up at the centre: a quarter grey each makes half.
    s.Corona = 25;
    Draw();
    EXPECT_NEAR(At(200, 150).R, 128, 10);  // a 16-bit buffer rounds to its steps

    s.Corona = 0;
    Draw();
    EXPECT_EQ(LitCount(), 0);
}

TEST_F(FramePixels, LensFlareElementsLieOnTheLineThroughTheCentre) {
    s.Corona = 0;
    s.LensFlare = 2;  // any non-zero value switches it on
    s.Origins = 1;
    s.StarSize = 0;   // stars and corona vanish; the flare keeps its size
    Open(640, 480);
    SeedAt(590.0f, 450.0f);
    Draw();
    // Element 6, a halo of half-size 25 at about (77, 51): dark at its centre,
    // bright (grey 0.3) on its rim about 18 units out, nothing at 30.
    EXPECT_LE(At(77, 51).R, 10);
    EXPECT_GE(Brightest(77 + 18, 51, 1), 60);
    EXPECT_GE(Brightest(77, 51 - 18, 1), 60);
    EXPECT_EQ(Brightest(77 + 30, 51, 1), 0);
    // Element 3, the pale-yellow glow (grey 0.1) at (401, 303).
    const Rgb glow = At(401, 303);
    EXPECT_NEAR(glow.R, 26, 3);
    EXPECT_EQ(glow.R, glow.G);
    EXPECT_LT(glow.B, glow.R);
    // Element 2, the ring (grey 0.3, half-size 50) at (482, 366): black inside.
    EXPECT_EQ(At(482, 366).R, 0);
    EXPECT_GE(Brightest(482 + 37, 366, 2), 60);
    // Element 1 at (698, 534) lies wholly outside the view, and nothing else
    // is drawn near the top-right corner.
    EXPECT_EQ(Brightest(630, 470, 8), 0);

    s.LensFlare = 0;
    Draw();
    EXPECT_EQ(LitCount(), 0);
}

TEST_F(FramePixels, DrawingSpaceStretchesOverAClientOfAnotherAspect) {
    s.Corona = 0;
    s.LensFlare = 1;
    s.Origins = 1;
    s.StarSize = 0;
    Open(320, 400);  // half as wide, 5/6 as high
    SeedAt(590.0f, 450.0f);
    Draw();
    // Element 6 at (77, 51) units: (38.5, 42.5) pixels; its rim, 18 units
    // out, is 9 pixels away across and 15 pixels away up.
    EXPECT_GE(Brightest(38, 42 + 15, 1), 60);
    EXPECT_GE(Brightest(38 + 9, 42, 1), 60);
    EXPECT_EQ(Brightest(38 + 15, 42, 1), 0);
}

TEST_F(FramePixels, EveryMonitorViewportShowsTheSameFrameAndTheFieldStepsOnce) {
    s.StarSize = 4;
    s.Corona = 100;
    s.Origins = 1;
    // As over a 640 x 480 monitor beside a 320 x 240 one, bottom-aligned.
    Open(960, 480);
    MonitorViewports[0] = {0, 0, 640, 480};
    MonitorViewports[1] = {640, 0, 320, 240};
    MonitorViewportCount = 2;
    ResetOrigins(640, 480);
    SeedStars(s);
    const float angle = CoronaAngle;
    const float originX = StarField.OriginX[0];
    RenderMonitorFrame();
    ReadBack();
    // The corona at the centre of each, none where the two meet.
    EXPECT_GE(At(320, 240).R, 250);
    EXPECT_GE(At(640 + 160, 120).R, 250);
    EXPECT_EQ(Brightest(639, 240, 2), 0);
    EXPECT_EQ(Brightest(640 + 160, 400, 5), 0) << "nothing above the smaller monitor";
    // One step, not one per monitor.
    EXPECT_EQ(CoronaAngle, static_cast<float>(static_cast<double>(angle) - 0.1));
    const float onceMoved = StarField.OriginX[0];
    ResetOrigins(640, 480);
    EXPECT_EQ(StarField.OriginX[0], originX);
    MoveOrigins(s.OriginSpeed);
    EXPECT_EQ(StarField.OriginX[0], onceMoved);
}

// The batched back end, which the saver draws with, against the immediate
// one for the same star-field state.
TEST_F(FramePixels, BatchedAndImmediateDrawTheSamePicture) {
    for (agreement::Setting setting : agreement::Settings) {
        MemoryStore store;
        s.LoadSettings(MemoryStoreInterface(store));
        agreement::Apply(setting, s);
        Open(640, 480);  // loads the shape of the setting
        const agreement::Comparison c = agreement::CompareOverFrames(s, width, height, 6);
        agreement::Print(setting, c);
        EXPECT_TRUE(c.Agrees()) << agreement::Name(setting);
        EXPECT_GT(c.LitPixels, 2000) << agreement::Name(setting);
        CloseGlWindow();
        DrainQueue();
    }
}

TEST_F(FramePixels, FrameLeavesTheFixedStateBehind) {
    s.Corona = 100;
    s.LensFlare = 1;
    Open(640, 480);
    ResetOrigins(640, 480);
    SeedStars(s);
    GLdouble before[16], after[16];
    glGetDoublev(GL_PROJECTION_MATRIX, before);
    RenderFrame();
    glGetDoublev(GL_PROJECTION_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]) << i;
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    // The batched drawing switches its client arrays off again.
    for (GLenum array : {GL_VERTEX_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_COLOR_ARRAY}) EXPECT_FALSE(glIsEnabled(array));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace

namespace {

LRESULT CALLBACK PreviewHostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// The preview draws into a child of the host's size, from origins placed in
// the configured full-screen size (GDI cannot see GL child windows under
// Wine, so the picture is read back here rather than from the screen).
TEST_F(FramePixels, PreviewChildDrawsOriginsPlacedFromTheConfiguredSize) {
    s.StarSize = 4;
    s.Corona = 100;
    s.LensFlare = 0;
    s.Origins = 1;
    s.ScrWidth = 1024;
    s.ScrHeight = 768;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PreviewHostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FramePixelsPreviewHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 30, 30, 152, 112, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(host, nullptr);
    width = 152;
    height = 112;
    ASSERT_EQ(OpenGlWindow(host, "Test", width, height, 16, false), 1);
    ResetOrigins(s.ScrWidth, s.ScrHeight);
    SeedStars(s);
    EXPECT_EQ(StarField.OriginX[0], 512.0f);
    EXPECT_EQ(StarField.OriginY[0], 384.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    RenderFrame();
    ReadBack();
    // (512, 384) of the 640 x 480 space lands at (121.6, 89.6) of 152 x 112,
    // the centre of a corona 120 units (28.5 pixels) wide.
    EXPECT_GE(Brightest(121, 89, 1), 250);
    EXPECT_EQ(Brightest(121 - 20, 89, 1), 0);
    EXPECT_EQ(Brightest(30, 30, 10), 0);
    CloseGlWindow();
    DestroyWindow(host);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

}  // namespace
