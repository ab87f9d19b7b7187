// page-picture-check QUERY WIDTHxHEIGHT PAGE.rgba [SHARE]
//
// Draws, with the native shader back end in a GLX window of the given size,
// the field that the page's address QUERY gives (its settings, seed= and
// frames=), and holds the page's picture of it (raw RGBA, top row first) to
// it by the renderer tests' measure: every channel within 2 in at least
// SHARE of the pixels (0.999 unless given), nothing lit in one picture
// only. Prints the figures;
// exit code 0 when they agree, 1 when not, 2 when it cannot draw.
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "linux/x11/gl_window.h"
#include "render/frame_renderer.h"
#include "render/texture_set.h"
#include "settings/saver_settings.h"
#include "sim/origins.h"
#include "sim/seed_clock.h"
#include "sim/simulation_step.h"
#include "sim/star_seeding.h"
#include "tests/frame_agreement.h"
#include "web/address_settings.h"

namespace {

PageOptions Page;
std::int64_t PageSeed() { return Page.Seed; }

}  // namespace

int main(int argc, char** argv) {
    int width = 0, height = 0;
    const double share = argc == 5 ? std::atof(argv[4]) : 0.999;
    if ((argc != 4 && argc != 5) || share <= 0.0 || std::sscanf(argv[2], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: page-picture-check QUERY WIDTHxHEIGHT PAGE.rgba [SHARE]\n");
        return 2;
    }
    std::ifstream in(argv[3], std::ios::binary);
    const std::vector<unsigned char> top(std::istreambuf_iterator<char>(in), {});
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    if (top.size() != row * height) {
        std::fprintf(stderr, "%s: %zu bytes, not %dx%d RGBA\n", argv[3], top.size(), width, height);
        return 2;
    }
    // GL's rows go bottom first.
    std::vector<unsigned char> page(top.size());
    for (int y = 0; y < height; ++y)
        std::copy_n(&top[(height - 1 - y) * row], row, &page[y * row]);

    SaverSettings settings;
    ReadAddress(argv[1], settings, Page);
    Settings = &settings;
    if (Page.SeedGiven) SeedClock = PageSeed;
    Display* dpy = XOpenDisplay(nullptr);
    X11GlWindow window;
    std::string error;
    SelectFrameRenderer(FrameRenderer::Shader);
    if (dpy == nullptr || !OpenOwnGlWindow(window, dpy, width, height, 0, 0, true, &error) || !InitGlState()) {
        std::fprintf(stderr, "cannot draw: %s %s\n", error.c_str(), FrameRendererProblem());
        return 2;
    }
    ResetOrigins(settings.ScrWidth, settings.ScrHeight);
    SeedStars(settings);
    for (std::int64_t i = 0; i < Page.Frames; ++i) StepSimulation();
    std::vector<unsigned char> native;
    agreement::DrawWith(FrameRenderer::Shader, width, height, native);
    const agreement::Comparison c = agreement::Compare(native, page, width, height);
    // The native picture beside the page's, top row first, for a look at the two.
    std::vector<unsigned char> nativeTop(native.size());
    for (int y = 0; y < height; ++y)
        std::copy_n(&native[(height - 1 - y) * row], row, &nativeTop[y * row]);
    std::ofstream(std::string(argv[3]) + ".native", std::ios::binary)
        .write(reinterpret_cast<const char*>(nativeTop.data()), static_cast<std::streamsize>(nativeTop.size()));
    std::printf("[agreement] page against the native shader back end, %s at %dx%d: share within %d = %.4f %% "
                "(equal %.4f %%), worst channel difference %d, lit in one only %d, clustered blocks %d, "
                "lit pixels %d\n",
                argv[1], width, height, agreement::Tolerance, 100.0 * c.ShareWithin, 100.0 * c.ShareEqual,
                c.WorstChannel, c.LitInOneOnly, c.ClusteredBlocks, c.LitPixels);
    // The window and display stay open to the end: closing them would unload
    // the GL driver, whose last buffers would then look leaked.
    return c.ShareWithin >= share && c.LitInOneOnly == 0 && c.LitPixels > 0 ? 0 : 1;
}
