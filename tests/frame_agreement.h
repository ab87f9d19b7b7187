// Two frame back ends (immediate, batched, shader) drawing one star-field
// state, read back from GL and compared pixel by pixel, for the X11 and the
// Windows tests alike. Needs a current context with the textures loaded
// (on Windows, <windows.h> included before this header).
#pragma once

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "render/frame_drawing.h"
#include "render/frame_renderer.h"
#include "settings/presets.h"
#include "settings/saver_settings.h"
#include "sim/origins.h"
#include "sim/star_seeding.h"

namespace agreement {

// Every channel within this of the reference counts as the same pixel.
constexpr int Tolerance = 2;
// A pixel with a channel above this is plainly lit.
constexpr int Lit = 8;
// Side of the square blocks searched for clusters of differing pixels.
constexpr int Block = 8;
// More differing pixels than this in one block is a misplaced or missing
// shape, not scattered rounding along edges.
constexpr int ClusterLimit = 4;

struct Comparison {
    double ShareWithin = 1.0;  // pixels whose every channel is within Tolerance
    double ShareEqual = 1.0;   // pixels the same in every channel
    int WorstChannel = 0;      // largest difference of any channel
    int LitInOneOnly = 0;      // plainly lit in one frame, black in the other
    int ClusteredBlocks = 0;   // blocks with more than ClusterLimit differing pixels
    int LitPixels = 0;         // plainly lit pixels of the reference

    bool Agrees() const { return ShareWithin >= 0.995 && LitInOneOnly == 0 && ClusteredBlocks == 0; }
    void Worsen(const Comparison& c) {
        ShareWithin = std::min(ShareWithin, c.ShareWithin);
        ShareEqual = std::min(ShareEqual, c.ShareEqual);
        WorstChannel = std::max(WorstChannel, c.WorstChannel);
        LitInOneOnly = std::max(LitInOneOnly, c.LitInOneOnly);
        ClusteredBlocks = std::max(ClusteredBlocks, c.ClusteredBlocks);
        LitPixels = LitPixels == 0 ? c.LitPixels : std::min(LitPixels, c.LitPixels);
    }
};

// RGBA rows, bottom row first, as glReadPixels gives them.
inline Comparison Compare(const std::vector<unsigned char>& reference, const std::vector<unsigned char>& other,
                          int width, int height) {
    Comparison c;
    const int blocksAcross = (width + Block - 1) / Block;
    std::vector<int> blockMisses(static_cast<size_t>(blocksAcross) * ((height + Block - 1) / Block), 0);
    int within = 0, equal = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* a = &reference[(static_cast<size_t>(y) * width + x) * 4];
            const unsigned char* b = &other[(static_cast<size_t>(y) * width + x) * 4];
            int worst = 0, litA = 0, litB = 0, anyA = 0, anyB = 0;
            for (int k = 0; k < 3; ++k) {
                worst = std::max(worst, std::abs(a[k] - b[k]));
                litA |= a[k] > Lit;
                litB |= b[k] > Lit;
                anyA |= a[k];
                anyB |= b[k];
            }
            c.WorstChannel = std::max(c.WorstChannel, worst);
            equal += worst == 0;
            c.LitPixels += litA;
            if ((litA && anyB == 0) || (litB && anyA == 0)) ++c.LitInOneOnly;
            if (worst <= Tolerance)
                ++within;
            else
                ++blockMisses[static_cast<size_t>(y / Block) * blocksAcross + x / Block];
        }
    }
    for (int misses : blockMisses) c.ClusteredBlocks += misses > ClusterLimit;
    c.ShareWithin = static_cast<double>(within) / (static_cast<double>(width) * height);
    c.ShareEqual = static_cast<double>(equal) / (static_cast<double>(width) * height);
    return c;
}

// Clears the back buffer, draws the current state with `renderer` and reads
// the picture back; the simulation does not move.
inline void DrawWith(FrameRenderer renderer, int width, int height, std::vector<unsigned char>& pixels) {
    SelectFrameRenderer(renderer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawScene();
    pixels.assign(static_cast<size_t>(width) * height * 4, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

// The settings the back ends are held to agree under.
enum class Setting { Defaults, Heaviest, CrazyComets };
constexpr Setting Settings[] = {Setting::Defaults, Setting::Heaviest, Setting::CrazyComets};

inline const char* Name(Setting setting) {
    switch (setting) {
    case Setting::Defaults: return "defaults";
    case Setting::Heaviest: return "2000 stars, size 10, 4 origins, corona 100, lens flare";
    case Setting::CrazyComets: return "preset Crazy comets (circle, ultraviolet)";
    }
    return "";
}

// `s` holds the defaults already.
inline void Apply(Setting setting, SaverSettings& s) {
    if (setting == Setting::Heaviest) {
        s.StarCount = 2000;
        s.StarSize = 10;
        s.Origins = 4;
        s.Corona = 100;
        s.LensFlare = 1;
    } else if (setting == Setting::CrazyComets) {
        ApplyPresetRow(s, *FindPreset(7));
    }
}

// Seeds the field, lets every star be born, then compares the two back
// ends' pictures of `frames` states a few steps apart; the worst of them.
inline Comparison CompareOverFrames(SaverSettings& s, int width, int height, int frames,
                                    FrameRenderer reference = FrameRenderer::Immediate,
                                    FrameRenderer other = FrameRenderer::Batched) {
    ResetOrigins(640, 480);
    SeedStars(s);
    for (int i = 0; i < 150; ++i) StepSimulation();
    Comparison worst;
    std::vector<unsigned char> first, second;
    for (int f = 0; f < frames; ++f) {
        DrawWith(reference, width, height, first);
        DrawWith(other, width, height, second);
        worst.Worsen(Compare(first, second, width, height));
        for (int i = 0; i < 7; ++i) StepSimulation();
    }
    SelectFrameRenderer(FrameRenderer::Batched);
    return worst;
}

inline void Print(Setting setting, const Comparison& c, const char* pair = "batched against immediate") {
    std::printf("[agreement] %s, %s: worst share within %d = %.4f %% (equal %.4f %%), worst channel difference %d, "
                "lit in one only %d, clustered blocks %d, lit pixels >= %d\n",
                pair, Name(setting), Tolerance, 100.0 * c.ShareWithin, 100.0 * c.ShareEqual, c.WorstChannel,
                c.LitInOneOnly, c.ClusteredBlocks, c.LitPixels);
    std::fflush(stdout);
}

}  // namespace agreement
