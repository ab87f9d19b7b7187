// The page's program: the settings from the address, a WebGL 2 context on
// the page's canvas, the shader back end, and the field stepped at the
// saver's rate from the browser's animation frames. The page's script
// calls the exported functions below.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/draw_shader.h"
#include "render/gl_api.h"
#include "render/texture_set.h"
#include "settings/presets.h"
#include "settings/saver_settings.h"
#include "sim/origins.h"
#include "sim/seed_clock.h"
#include "sim/simulation_step.h"
#include "sim/star_seeding.h"
#include "tools/sim_dump.h"
#include "web/address_settings.h"
#include "web/panel_state.h"
#include "web/step_clock.h"

namespace {

const char* const Canvas = "#canvas";

SaverSettings Current;
PageOptions Page;
StepClock Clock;
std::int64_t StepsTaken = 0;
int Width = 0;
int Height = 0;
bool Redraw = true;
bool FirstFrameDrawn = false;
bool StopReported = false;
std::string Json;

// Steps and frames since the last report, for stats=1.
double StatsSince = -1.0;
int StatsSteps = 0;
int StatsFrames = 0;

std::int64_t AddressSeed() { return Page.Seed; }

// A fresh field, as the saver starts one.
void SeedField() {
    ResetOrigins(Current.ScrWidth, Current.ScrHeight);
    SeedStars(Current);
    Redraw = true;
}

// The canvas's drawing buffer in device pixels, over its whole CSS box.
void FollowCanvasSize() {
    double cssWidth = 0.0, cssHeight = 0.0;
    emscripten_get_element_css_size(Canvas, &cssWidth, &cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    const int width = std::max(1, static_cast<int>(std::lround(cssWidth * ratio)));
    const int height = std::max(1, static_cast<int>(std::lround(cssHeight * ratio)));
    if (width == Width && height == Height) return;
    emscripten_set_canvas_element_size(Canvas, width, height);
    Width = width;
    Height = height;
    Redraw = true;
}

void Draw() {
    glViewport(0, 0, Width, Height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawQuadsShader(Current);
}

void Report(double now) {
    if (StatsSince < 0.0) StatsSince = now;
    if (now - StatsSince < 1000.0) return;
    std::printf("mirrowen: %d steps and %d frames in %.0f ms (%dx%d)\n", StatsSteps, StatsFrames, now - StatsSince,
                Width, Height);
    std::fflush(stdout);
    StatsSince = now;
    StatsSteps = 0;
    StatsFrames = 0;
}

EM_BOOL AnimationFrame(double now, void*) {
    FollowCanvasSize();
    const int due = StepsDue(Clock, now);
    for (int i = 0; i < due && (Page.Frames < 0 || StepsTaken < Page.Frames); ++i) {
        StepSimulation();
        ++StepsTaken;
        ++StatsSteps;
        Redraw = true;
    }
    if (Redraw) {
        Draw();
        Redraw = false;
        ++StatsFrames;
        if (!FirstFrameDrawn) {
            FirstFrameDrawn = true;
            EM_ASM({ console.log("mirrowen: first frame drawn " + performance.now().toFixed(0) + " ms after the page's start"); });
        }
    }
    if (Page.Frames >= 0 && StepsTaken == Page.Frames && !StopReported) {
        StopReported = true;
        std::printf("mirrowen: stopped after %lld steps\n", static_cast<long long>(StepsTaken));
        if (Page.Dump) WriteSimDump(stdout);
        std::printf("mirrowen: end of report\n");
        std::fflush(stdout);
    }
    if (Page.Stats) Report(now);
    return EM_TRUE;
}

// The shape image of the settings in place of the loaded one.
void ReloadShape() {
    TgaTexture& shape = TextureSet[ShapeIndex];
    GLuint name = shape.TextureName;
    glDeleteTextures(1, &name);
    std::free(shape.Pixels);
    shape = TgaTexture{};
    LoadTgaTexture(shape, ShapeResourceId(Current.Shape));
    Redraw = true;
}

// Settings the seeding reads start the field anew, as the saver's next
// start would; the shape is a new image; the rest shows in the next frame.
void Changed(const SaverSettings& before) {
    if (before.Shape != Current.Shape) ReloadShape();
    if (before.StarCount != Current.StarCount || before.DecayRate != Current.DecayRate ||
        before.PulsateRate != Current.PulsateRate || before.Colours != Current.Colours)
        SeedField();
    Redraw = true;
}

}  // namespace

// Reads the address, makes the context and starts the animation. 0 when
// the browser offers no WebGL 2 or the program does not build.
extern "C" EMSCRIPTEN_KEEPALIVE int mirrowen_start(const char* query) {
    ReadAddress(query, Current, Page);
    Settings = &Current;
    if (Page.SeedGiven) SeedClock = AddressSeed;
    Clock.Delay = Page.FrameDelay;

    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    // As a monitor shows the saver: opaque, no multisampling, no depth.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(Canvas, &attributes);
    if (context <= 0 || emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        std::printf("mirrowen: this browser offers no WebGL 2\n");
        std::fflush(stdout);
        return 0;
    }
    if (!LoadTextureSet() || !StartShaderDrawing()) {
        std::printf("mirrowen: cannot draw here: %s\n", ShaderDrawingProblem());
        std::fflush(stdout);
        return 0;
    }
    SeedField();
    emscripten_request_animation_frame_loop(AnimationFrame, nullptr);
    return 1;
}

extern "C" EMSCRIPTEN_KEEPALIVE const char* mirrowen_panel() {
    Json = PanelStateJson(Current, Page);
    return Json.c_str();
}

// One of the panel's values changed; the panel's new state.
extern "C" EMSCRIPTEN_KEEPALIVE const char* mirrowen_set(const char* name, int value) {
    const SaverSettings before = Current;
    if (SetPanelValue(Current, name, value)) Changed(before);
    return mirrowen_panel();
}

// A preset chosen in the panel; the panel's new state.
extern "C" EMSCRIPTEN_KEEPALIVE const char* mirrowen_choose_preset(int number) {
    const SaverSettings before = Current;
    if (const PresetRow* row = FindPreset(number)) {
        ApplyPresetRow(Current, *row);
        Current.Preset = number;
        Changed(before);
    }
    return mirrowen_panel();
}
