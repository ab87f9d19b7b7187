// The Wayland connection of the program: the display, the globals it uses
// (compositor, layer shell or xdg-shell, the idle protocols, seat) and every
// output the compositor offers, followed as outputs and the seat come and go.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct zwlr_layer_shell_v1;
struct xdg_wm_base;
struct ext_idle_notifier_v1;
struct org_kde_kwin_idle;
struct wp_fractional_scale_manager_v1;
struct wp_viewporter;

struct WaylandOutput {
    std::uint32_t GlobalName = 0;  // the registry's name for it
    wl_output* Output = nullptr;
    std::string Name;              // "HEADLESS-1", "DP-2", ... (wl_output 4 and later)
    int Scale = 1;                 // as of the last wl_output.done
    int PendingScale = 1;          // announced, not yet done
    int ModeWidth = 0;             // the current mode in pixels
    int ModeHeight = 0;
    int RefreshMilliHz = 0;        // its refresh rate; 0: not said
    bool Gone = false;             // removed by the compositor; released by the run loop
    int LayerCloses = 0;           // its layer surfaces the compositor closed in a row
    std::int64_t ReopenAt = 0;     // no new surface before then (microseconds, monotonic)
};

struct WaylandConnection {
    wl_display* Display = nullptr;
    wl_registry* Registry = nullptr;
    wl_compositor* Compositor = nullptr;
    zwlr_layer_shell_v1* LayerShell = nullptr;
    xdg_wm_base* WmBase = nullptr;
    // Both, or the buffers follow the outputs' integer scale.
    wp_fractional_scale_manager_v1* FractionalScale = nullptr;
    wp_viewporter* Viewporter = nullptr;
    ext_idle_notifier_v1* IdleNotifier = nullptr;
    org_kde_kwin_idle* KdeIdle = nullptr;
    wl_seat* Seat = nullptr;
    std::uint32_t SeatName = 0;      // the registry's name for the seat bound
    unsigned SeatChanges = 0;        // how often the bound seat was removed (watches on it must be made anew)
    wl_keyboard* Keyboard = nullptr;
    wl_pointer* Pointer = nullptr;
    // Held by pointer: the listeners keep the address.
    std::vector<std::unique_ptr<WaylandOutput>> Outputs;
    bool InputEnded = false;  // a key or a button was pressed (or the pointer moved, with MotionEnds)
    bool MotionEnds = false;  // pointer motion counts as input too
};

// Connects as libwayland does ($WAYLAND_SOCKET, else $WAYLAND_DISPLAY) and
// collects the globals and the outputs' first description. False with
// `error` set when there is no compositor, no wl_compositor, or neither
// shell.
bool OpenWaylandConnection(WaylandConnection& connection, std::string* error);

// Releases an output the compositor removed.
void ReleaseWaylandOutput(WaylandOutput& output);

// Releases everything and disconnects.
void CloseWaylandConnection(WaylandConnection& connection);
