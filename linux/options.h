// The command line of the X11 program, in the conventions of XScreenSaver's
// display modes: where to draw (-root, -window, -window-id ID), -fps, -delay,
// and one option for every saver value. Saver values given here lie over the stored
// ones and are taken through the same acceptance tests as stored values.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "linux/frame_pacer.h"
#include "linux/stored_values.h"
#include "render/frame_renderer.h"
#include "settings/settings_store.h"

enum class DrawTarget {
    Unset,      // no -root, -window or -window-id: an own window, as -window
    Root,       // the root window, or $XSCREENSAVER_WINDOW when it is set
    OwnWindow,  // a window of its own
    WindowId,   // the window given by -window-id
};

struct SaverOptions {
    DrawTarget Target = DrawTarget::Unset;
    unsigned long WindowId = 0;
    int Width = 1024;
    int Height = 768;
    int X = 0;
    int Y = 0;
    bool PositionGiven = false;
    bool ShowFps = false;
    std::int64_t Delay = DefaultFrameDelay;  // -delay: microseconds each frame takes at least
    bool DelayGiven = false;    // else the settings file's frame delay applies
    bool SaveSettings = false;  // write the resulting values to the settings file and end
    bool Help = false;
    bool Wayland = false;       // a Wayland client on every output instead of an X11 window
    bool Idle = false;             // --idle: wait for the seat to be idle, cover, repeat; else cover once
    std::int64_t IdleSeconds = 0;  // --idle's number; 0: the settings file's idle time
    bool Cover = false;            // --cover: one cover of the idle service, ended by any input
    std::int64_t Frames = -1;   // end after this many frames; -1: until told to end
    FrameRenderer Renderer = FrameRenderer::Batched;  // -renderer batched|immediate|shader
    std::string DisplayName;
    // Saver values by registry name, as stored numbers; an empty entry is an
    // option whose value was rejected: the built-in default stands for it.
    std::map<std::string, std::optional<std::uint32_t>> Values;
};

// Parses argv[1..argc-1]; the later of two options for one value wins.
// Options may start with one dash or two. Rejected saver values are
// described in `warnings` (one line each) and leave their default; a
// malformed option of the window system (unknown name, missing or bad
// value) makes the result false with `error` set. A -delay outside 0 to
// 100000 is a rejected value too: one line, and the default stands.
// --idle's number, when given, is seconds from 1 to MaxIdleSeconds.
bool ParseSaverOptions(int argc, const char* const* argv, SaverOptions& options, std::string* error,
                       std::vector<std::string>* warnings);

// Whether --idle (and its covers) runs in the Wayland session: with
// --wayland, or where there is a Wayland display (`waylandDisplay`, from
// $WAYLAND_DISPLAY, whose socket is there, in `runtimeDir` from
// $XDG_RUNTIME_DIR unless it is a path) and no X display was named with
// -display.
bool IdleInWayland(const SaverOptions& options, const char* waylandDisplay, const char* runtimeDir);

// The usage text.
const char* SaverOptionsUsage();

// The preset whose name matches `text` (case and anything but letters and
// digits ignored: "great-balls-of-fire", "Great balls of fire"), or whose
// number it is; 0 when none.
std::int32_t FindPresetByName(const std::string& text);

// A store that reads the options' saver values and passes everything else
// (other values, other keys, writes) to `base`.
struct OptionOverlay {
    const SettingsStore* Base;
    const SaverOptions* Options;
};
SettingsStore OptionOverlayInterface(OptionOverlay& overlay);
