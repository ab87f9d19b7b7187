#include "linux/wayland/connection.h"

#include <unistd.h>

#include <algorithm>

#include "ext-idle-notify-v1-client-protocol.h"
#include "fractional-scale-v1-client-protocol.h"
#include "idle-client-protocol.h"
#include "linux/wayland/layer_shell_protocol.h"
#include "viewporter-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {

// Versions asked for: the events handled below and nothing newer, so that
// no event arrives without a handler.
const std::uint32_t CompositorVersion = 4;
const std::uint32_t LayerShellVersion = 3;
const std::uint32_t WmBaseVersion = 2;
const std::uint32_t SeatVersion = 3;
const std::uint32_t OutputVersion = 4;

void OutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*,
                    int32_t) {}

void OutputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t refresh) {
    if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
    WaylandOutput& output = *static_cast<WaylandOutput*>(data);
    output.ModeWidth = width;
    output.ModeHeight = height;
    output.RefreshMilliHz = refresh > 0 ? refresh : 0;
}

// The output's description changes as a whole at its done event.
void OutputDone(void* data, wl_output*) {
    WaylandOutput& output = *static_cast<WaylandOutput*>(data);
    output.Scale = output.PendingScale;
}

void OutputScale(void* data, wl_output*, int32_t factor) {
    static_cast<WaylandOutput*>(data)->PendingScale = factor > 0 ? factor : 1;
}

void OutputName(void* data, wl_output*, const char* name) { static_cast<WaylandOutput*>(data)->Name = name; }

void OutputDescription(void*, wl_output*, const char*) {}

const wl_output_listener OutputListener = {OutputGeometry, OutputMode,        OutputDone,
                                           OutputScale,    OutputName,        OutputDescription};

// Input ends the run: a key or a button going down. Keys already held when
// the surface got the focus, and releases, do not.
void KeyboardKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); }
void KeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void KeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void KeyboardKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED) static_cast<WaylandConnection*>(data)->InputEnded = true;
}
void KeyboardModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
const wl_keyboard_listener KeyboardListener = {KeyboardKeymap, KeyboardEnter, KeyboardLeave, KeyboardKey,
                                               KeyboardModifiers, nullptr};

void PointerEnter(void*, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t, wl_fixed_t) {}
void PointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}
void PointerMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t, wl_fixed_t) {
    WaylandConnection& connection = *static_cast<WaylandConnection*>(data);
    if (connection.MotionEnds) connection.InputEnded = true;
}
void PointerButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
    if (state == WL_POINTER_BUTTON_STATE_PRESSED) static_cast<WaylandConnection*>(data)->InputEnded = true;
}
void PointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
const wl_pointer_listener PointerListener = {PointerEnter, PointerLeave, PointerMotion, PointerButton, PointerAxis,
                                             nullptr,      nullptr,      nullptr,       nullptr,       nullptr};

void SeatCapabilities(void* data, wl_seat* seat, uint32_t caps) {
    WaylandConnection& connection = *static_cast<WaylandConnection*>(data);
    const bool keyboard = (caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool pointer = (caps & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (keyboard && connection.Keyboard == nullptr) {
        connection.Keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(connection.Keyboard, &KeyboardListener, &connection);
    } else if (!keyboard && connection.Keyboard != nullptr) {
        wl_keyboard_release(connection.Keyboard);
        connection.Keyboard = nullptr;
    }
    if (pointer && connection.Pointer == nullptr) {
        connection.Pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(connection.Pointer, &PointerListener, &connection);
    } else if (!pointer && connection.Pointer != nullptr) {
        wl_pointer_release(connection.Pointer);
        connection.Pointer = nullptr;
    }
}
void SeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener SeatListener = {SeatCapabilities, SeatName};

void WmBasePing(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener WmBaseListener = {WmBasePing};

void RegistryGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    WaylandConnection& connection = *static_cast<WaylandConnection*>(data);
    const std::string kind = interface;
    if (kind == wl_compositor_interface.name && connection.Compositor == nullptr) {
        connection.Compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, std::min(version, CompositorVersion)));
    } else if (kind == zwlr_layer_shell_v1_interface.name && connection.LayerShell == nullptr) {
        connection.LayerShell = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, std::min(version, LayerShellVersion)));
    } else if (kind == xdg_wm_base_interface.name && connection.WmBase == nullptr) {
        connection.WmBase = static_cast<xdg_wm_base*>(
            wl_registry_bind(registry, name, &xdg_wm_base_interface, std::min(version, WmBaseVersion)));
        xdg_wm_base_add_listener(connection.WmBase, &WmBaseListener, nullptr);
    } else if (kind == wp_fractional_scale_manager_v1_interface.name && connection.FractionalScale == nullptr) {
        connection.FractionalScale = static_cast<wp_fractional_scale_manager_v1*>(
            wl_registry_bind(registry, name, &wp_fractional_scale_manager_v1_interface, 1));
    } else if (kind == wp_viewporter_interface.name && connection.Viewporter == nullptr) {
        connection.Viewporter =
            static_cast<wp_viewporter*>(wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
    } else if (kind == ext_idle_notifier_v1_interface.name && connection.IdleNotifier == nullptr) {
        connection.IdleNotifier = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
    } else if (kind == org_kde_kwin_idle_interface.name && connection.KdeIdle == nullptr) {
        connection.KdeIdle =
            static_cast<org_kde_kwin_idle*>(wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
    } else if (kind == wl_seat_interface.name && connection.Seat == nullptr) {
        connection.Seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, std::min(version, SeatVersion)));
        connection.SeatName = name;
        wl_seat_add_listener(connection.Seat, &SeatListener, &connection);
    } else if (kind == wl_output_interface.name) {
        auto output = std::make_unique<WaylandOutput>();
        output->GlobalName = name;
        output->Output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, std::min(version, OutputVersion)));
        wl_output_add_listener(output->Output, &OutputListener, output.get());
        connection.Outputs.push_back(std::move(output));
    }
}

void ReleaseSeat(WaylandConnection& connection) {
    if (connection.Keyboard != nullptr) wl_keyboard_release(connection.Keyboard);
    if (connection.Pointer != nullptr) wl_pointer_release(connection.Pointer);
    if (connection.Seat != nullptr) {
        if (wl_seat_get_version(connection.Seat) >= WL_SEAT_RELEASE_SINCE_VERSION)
            wl_seat_release(connection.Seat);
        else
            wl_seat_destroy(connection.Seat);
    }
    connection.Keyboard = nullptr;
    connection.Pointer = nullptr;
    connection.Seat = nullptr;
    connection.SeatName = 0;
}

void RegistryGlobalRemove(void* data, wl_registry*, uint32_t name) {
    WaylandConnection& connection = *static_cast<WaylandConnection*>(data);
    for (auto& output : connection.Outputs)
        if (output->GlobalName == name) output->Gone = true;
    // A seat announced anew is bound anew, so its keys keep ending the run.
    if (connection.Seat != nullptr && connection.SeatName == name) {
        ReleaseSeat(connection);
        ++connection.SeatChanges;
    }
}

const wl_registry_listener RegistryListener = {RegistryGlobal, RegistryGlobalRemove};

}  // namespace

bool OpenWaylandConnection(WaylandConnection& connection, std::string* error) {
    connection.Display = wl_display_connect(nullptr);
    if (connection.Display == nullptr) {
        *error = "cannot connect to a Wayland compositor (is WAYLAND_DISPLAY set?)";
        return false;
    }
    connection.Registry = wl_display_get_registry(connection.Display);
    wl_registry_add_listener(connection.Registry, &RegistryListener, &connection);
    // The globals, then the events of what was bound (the outputs' modes,
    // the seat's capabilities).
    if (wl_display_roundtrip(connection.Display) < 0 || wl_display_roundtrip(connection.Display) < 0) {
        *error = "the Wayland compositor closed the connection";
        return false;
    }
    if (connection.Compositor == nullptr) {
        *error = "the Wayland compositor offers no wl_compositor";
        return false;
    }
    if (connection.LayerShell == nullptr && connection.WmBase == nullptr) {
        *error = "the Wayland compositor offers neither zwlr_layer_shell_v1 nor xdg_wm_base";
        return false;
    }
    return true;
}

void ReleaseWaylandOutput(WaylandOutput& output) {
    if (output.Output == nullptr) return;
    if (wl_output_get_version(output.Output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(output.Output);
    else
        wl_output_destroy(output.Output);
    output.Output = nullptr;
}

void CloseWaylandConnection(WaylandConnection& connection) {
    for (auto& output : connection.Outputs) ReleaseWaylandOutput(*output);
    connection.Outputs.clear();
    ReleaseSeat(connection);
    if (connection.FractionalScale != nullptr) wp_fractional_scale_manager_v1_destroy(connection.FractionalScale);
    if (connection.Viewporter != nullptr) wp_viewporter_destroy(connection.Viewporter);
    if (connection.IdleNotifier != nullptr) ext_idle_notifier_v1_destroy(connection.IdleNotifier);
    if (connection.KdeIdle != nullptr) org_kde_kwin_idle_destroy(connection.KdeIdle);
    if (connection.WmBase != nullptr) xdg_wm_base_destroy(connection.WmBase);
    if (connection.LayerShell != nullptr) {
        if (zwlr_layer_shell_v1_get_version(connection.LayerShell) >= ZWLR_LAYER_SHELL_V1_DESTROY_SINCE_VERSION)
            zwlr_layer_shell_v1_destroy(connection.LayerShell);
    }
    if (connection.Compositor != nullptr) wl_compositor_destroy(connection.Compositor);
    if (connection.Registry != nullptr) wl_registry_destroy(connection.Registry);
    if (connection.Display != nullptr) wl_display_disconnect(connection.Display);
    connection = WaylandConnection{};
}
