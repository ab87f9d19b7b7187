// The batched frame back end against the immediate one, and the shader back
// end against the batched one, under the session display's GLX (Mesa
// llvmpipe on Xvfb), in a 640 x 480 window of the test's own: one unit of
// the drawing space is one pixel.
#include <gtest/gtest.h>
// After GoogleTest: X11 defines None as a macro.
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "bench/allocation_count.h"
#include "linux/x11/gl_window.h"
#include "render/texture_set.h"
#include "settings/memory_store.h"
#include "sim/star_field.h"
#include "tests/frame_agreement.h"
#include "x11_test_support.h"

namespace {

constexpr int Width = 640;
constexpr int Height = 480;

class FrameAgreement : public ::testing::Test {
protected:
    SaverSettings s;
    Display* dpy = nullptr;
    X11GlWindow window;

    void SetUp() override {
        UseDefaults();
        Settings = &s;
        // Open for the rest of the process: closing it would unload the GL
        // driver, whose last buffers would then look leaked.
        static Display* const shared = XOpenDisplay(x11test::SessionDisplay().c_str());
        dpy = shared;
        ASSERT_NE(dpy, nullptr);
        std::string error;
        ASSERT_TRUE(OpenOwnGlWindow(window, dpy, Width, Height, 0, 0, true, &error)) << error;
        ASSERT_EQ(InitGlState(), 1);
    }
    void TearDown() override {
        SelectFrameRenderer(FrameRenderer::Batched);
        if (dpy != nullptr) CloseX11GlWindow(window);
        // The loader keeps its buffers for the life of a run; a test is not one.
        for (TgaTexture& t : TextureSet) {
            std::free(t.Pixels);
            t = TgaTexture{};
        }
        Settings = nullptr;
    }
    void UseDefaults() {
        MemoryStore store;
        s.ReadSystemSaverSettings(MemoryStoreInterface(store));
        s.LoadSettings(MemoryStoreInterface(store));
    }
    // The star shape of the current settings, in place of the loaded one.
    void ReloadShape() {
        std::free(TextureSet[ShapeIndex].Pixels);
        ASSERT_TRUE(LoadTgaTexture(TextureSet[ShapeIndex], ShapeResourceId(s.Shape)));
    }
};

TEST_F(FrameAgreement, BothBackEndsDrawTheSamePicture) {
    for (agreement::Setting setting : agreement::Settings) {
        UseDefaults();
        agreement::Apply(setting, s);
        ReloadShape();
        const agreement::Comparison c = agreement::CompareOverFrames(s, Width, Height, 6);
        agreement::Print(setting, c);
        EXPECT_TRUE(c.Agrees()) << agreement::Name(setting);
        EXPECT_GT(c.LitPixels, 2000) << agreement::Name(setting);
    }

    // The comparison itself sees one star moved by three units.
    UseDefaults();
    ReloadShape();
    agreement::CompareOverFrames(s, Width, Height, 1);
    // The brightest and largest star well inside the view.
    int brightest = -1;
    float best = 0.0f;
    for (int j = 0; j < s.StarCount; ++j) {
        const Star& star = StarField.Stars[j];
        if (star.X < 60 || star.X > 580 || star.Y < 60 || star.Y > 420) continue;
        const float weight = star.Pulse * star.Size * std::max(star.Red, std::max(star.Green, star.Blue));
        if (weight > best) {
            best = weight;
            brightest = j;
        }
    }
    ASSERT_GE(brightest, 0);
    std::vector<unsigned char> before, after;
    agreement::DrawWith(FrameRenderer::Batched, Width, Height, before);
    StarField.Stars[brightest].X += 3.0f;
    agreement::DrawWith(FrameRenderer::Batched, Width, Height, after);
    EXPECT_FALSE(agreement::Compare(before, after, Width, Height).Agrees());
}

// The shader back end draws the batched back end's quads: held to it more
// closely than batched is to immediate.
TEST_F(FrameAgreement, ShaderDrawsTheBatchedPicture) {
    SelectFrameRenderer(FrameRenderer::Shader);
    ASSERT_TRUE(StartFrameRenderer()) << FrameRendererProblem();
    for (agreement::Setting setting : agreement::Settings) {
        UseDefaults();
        agreement::Apply(setting, s);
        ReloadShape();
        const agreement::Comparison c =
            agreement::CompareOverFrames(s, Width, Height, 6, FrameRenderer::Batched, FrameRenderer::Shader);
        agreement::Print(setting, c, "shader against batched");
        EXPECT_TRUE(c.Agrees()) << agreement::Name(setting);
        EXPECT_GE(c.ShareWithin, 0.999) << agreement::Name(setting);
        EXPECT_EQ(c.LitInOneOnly, 0) << agreement::Name(setting);
        EXPECT_GT(c.LitPixels, 2000) << agreement::Name(setting);
    }
}

TEST_F(FrameAgreement, BatchedFramesAllocateNothing) {
    agreement::Apply(agreement::Setting::Heaviest, s);
    ResetOrigins(640, 480);
    SeedStars(s);
    for (int i = 0; i < 30; ++i) {
        RenderFrame();
        glXSwapBuffers(dpy, window.Drawable);
    }
    const long before = AllocationCount();
    for (int i = 0; i < 30; ++i) {
        RenderFrame();
        glXSwapBuffers(dpy, window.Drawable);
    }
    glFinish();
    EXPECT_EQ(AllocationCount(), before);
}

}  // namespace
