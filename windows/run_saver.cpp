// The action of the two drawing modes: open the GL window, set up the star
// field, then draw whenever no window message is waiting, unless the display
// is off.
#include <windows.h>

#include "settings/saver_settings.h"
#include "sim/origins.h"
#include "sim/star_seeding.h"
#include "windows/actions.h"
#include "windows/display_events.h"
#include "windows/gl_window.h"
#include "windows/instance.h"

std::atomic<std::uint64_t> FramesShown{0};

namespace {

// How often the full-screen saver reads the monitors again unasked: not
// every system says when one comes or goes.
constexpr DWORD MonitorCheckInterval = 250;

// The monitors changed (or may have): the window and viewports follow, and
// the mouse threshold counts from where the change left the cursor, which
// no hand moved.
void FollowMonitors() {
    if (!RelayoutMonitors()) return;
    POINT p = {0, 0};
    GetCursorPos(&p);
    Settings->CursorStart = {static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y)};
}

}  // namespace

void RunSaver(WindowHandle parentWindow) {
    HWND parent = nullptr;
    int width;
    int height;
    bool fullScreen;
    bool keepDisplayMode = false;
    const char* failure;
    if (RunMode == RunModePreview) {
        parent = ToHwnd(parentWindow);
        RECT rect = {0, 0, 0, 0};
        // Without a host window there is nothing to draw into: a stray
        // window of made-up size would help no one, so end quietly.
        if (!GetWindowRect(parent, &rect)) return;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
        fullScreen = false;
        failure = "Couldn't create preview window.";
    } else {
        width = Settings->ScrWidth;
        height = Settings->ScrHeight;
        fullScreen = true;
        keepDisplayMode = Settings->NativeResolution != 0;
        failure = "Couldn't create fullscreen window.";
    }

    if (!OpenGlWindow(parent, "Test", width, height, 16, fullScreen, keepDisplayMode))
        MessageBoxA(nullptr, failure, "Mirrowen", MB_OK);
    if (GlWindow == nullptr) {
        MessageBoxA(nullptr, "Couldn't create window.", "Mirrowen", MB_OK);
        return;
    }

    // The configured full-screen size in both modes: a preview shows the
    // same motion as the real saver, only smaller.
    ResetOrigins(Settings->ScrWidth, Settings->ScrHeight);
    SeedStars(*Settings);

    RegisterConsoleDisplayState(GlWindow);
    const bool followMonitors = RunMode != RunModePreview;
    DWORD lastMonitorCheck = GetTickCount();
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (GetMessageA(&msg, nullptr, 0, 0) == 0) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (ConsoleDisplayOff()) {
            // Nothing to see: sleep until the next message (the window's
            // timer, input, the display on again). The field waits as it is.
            WaitMessage();
        } else {
            if (followMonitors &&
                (TakeDisplayChange() || GetTickCount() - lastMonitorCheck >= MonitorCheckInterval)) {
                lastMonitorCheck = GetTickCount();
                FollowMonitors();
            }
            RenderMonitorFrame();
            SwapBuffers(GlDeviceContext);
            FramesShown.fetch_add(1, std::memory_order_relaxed);
        }
    }
    UnregisterConsoleDisplayState();

    if (RunMode != RunModePreview) CloseGlWindow();
}
