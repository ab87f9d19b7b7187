// The action of the two drawing modes: open the GL window, set up the star
// field, then draw whenever no window message is waiting.
#include <windows.h>

#include "settings/saver_settings.h"
#include "sim/origins.h"
#include "sim/star_seeding.h"
#include "windows/actions.h"
#include "windows/gl_window.h"
#include "windows/instance.h"

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

    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (GetMessageA(&msg, nullptr, 0, 0) == 0) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            RenderMonitorFrame();
            SwapBuffers(GlDeviceContext);
        }
    }

    if (RunMode != RunModePreview) CloseGlWindow();
}
