#include "render/gl_window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/win32/instance.h"
#include "render/texture_set.h"
#include "render/viewport.h"
#include "shell/saver_window.h"

BYTE FullScreen = 0;
HWND GlWindow = nullptr;
HDC GlDeviceContext = nullptr;
HGLRC GlContext = nullptr;
PIXELFORMATDESCRIPTOR PixelFormatTemplate = {};

namespace {

const char* const ClassName = "OpenGL";
bool TemplateCompleted = false;

void CompletePixelFormatTemplate(int bits) {
    if (TemplateCompleted) return;
    TemplateCompleted = true;
    PixelFormatTemplate.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    PixelFormatTemplate.nVersion = 1;
    PixelFormatTemplate.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    PixelFormatTemplate.iPixelType = PFD_TYPE_RGBA;
    PixelFormatTemplate.cColorBits = static_cast<BYTE>(bits);
    PixelFormatTemplate.cDepthBits = 16;
    PixelFormatTemplate.iLayerType = PFD_MAIN_PLANE;
}

// Today's displays refresh far faster than the animation was made for, and
// the animation's speed is the frame rate: let SwapBuffers wait for the
// refresh where the driver can.
void RequestSwapInterval(int interval) {
    using SwapIntervalProc = BOOL(WINAPI*)(int);
    PROC proc = wglGetProcAddress("wglSwapIntervalEXT");
    if (proc == nullptr) return;
    SwapIntervalProc swapInterval;
    static_assert(sizeof swapInterval == sizeof proc, "function pointer sizes");
    memcpy(&swapInterval, &proc, sizeof proc);
    swapInterval(interval);
}

int FailAndClose() {
    CloseGlWindow();
    return 0;
}

}  // namespace

int OpenGlWindow(HWND parent, const char* title, int width, int height, int bits, bool fullScreen) {
    FullScreen = fullScreen ? 1 : 0;
    InstanceHandle = GetModuleHandleA(nullptr);

    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = SaverWndProc;
    wc.hInstance = InstanceHandle;
    wc.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = ClassName;
    if (!RegisterClassA(&wc)) return 0;

    DWORD style;
    DWORD exStyle;
    if (FullScreen) {
        DEVMODEA mode;
        memset(&mode, 0, sizeof mode);
        // The older, shorter layout: every system accepts it.
        mode.dmSize = 148;
        mode.dmPelsWidth = static_cast<DWORD>(width);
        mode.dmPelsHeight = static_cast<DWORD>(height);
        mode.dmBitsPerPel = static_cast<DWORD>(bits);
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) {
            MessageBoxA(nullptr,
                        "The screen mode selected for the Mirrowen screensaver is not supported by your graphics "
                        "card. The screensaver will now close.",
                        "Mirrowen", MB_OK | MB_ICONEXCLAMATION);
            return 0;
        }
        ShowCursor(FALSE);
        style = WS_POPUP;
        exStyle = WS_EX_APPWINDOW;
    } else if (parent != nullptr) {
        style = WS_CHILD | WS_VISIBLE;
        exStyle = WS_EX_APPWINDOW;
    } else {
        style = WS_OVERLAPPEDWINDOW;
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    }

    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    GlWindow = CreateWindowExA(exStyle, ClassName, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                               rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, InstanceHandle,
                               nullptr);
    if (GlWindow == nullptr) return FailAndClose();

    CompletePixelFormatTemplate(bits);
    GlDeviceContext = GetDC(GlWindow);
    if (GlDeviceContext == nullptr) return FailAndClose();
    const int format = ChoosePixelFormat(GlDeviceContext, &PixelFormatTemplate);
    if (format == 0) return FailAndClose();
    if (!SetPixelFormat(GlDeviceContext, format, &PixelFormatTemplate)) return FailAndClose();
    GlContext = wglCreateContext(GlDeviceContext);
    if (GlContext == nullptr) return FailAndClose();
    if (!wglMakeCurrent(GlDeviceContext, GlContext)) return FailAndClose();
    RequestSwapInterval(1);

    if (parent == nullptr) {
        ShowWindow(GlWindow, SW_SHOW);
        SetForegroundWindow(GlWindow);
        SetFocus(GlWindow);
    }
    ResizeViewport(width, height);
    if (!InitGlState()) {
        CloseGlWindow();
        MessageBoxA(nullptr, "Initialization Failed.", "ERROR", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    return 1;
}

BOOL CloseGlWindow() {
    if (FullScreen) {
        ChangeDisplaySettingsA(nullptr, 0);
        ShowCursor(TRUE);
    }
    if (GlContext != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(GlContext);
        GlContext = nullptr;
    }
    // Handles stay set after a successful release: the run loop tells a
    // window that was made and destroyed again from one never made.
    if (GlDeviceContext != nullptr && !ReleaseDC(GlWindow, GlDeviceContext)) GlDeviceContext = nullptr;
    if (GlWindow != nullptr && !DestroyWindow(GlWindow)) GlWindow = nullptr;
    const BOOL result = UnregisterClassA(ClassName, InstanceHandle);
    if (!result) InstanceHandle = nullptr;
    return result;
}
