#include "windows/gl_window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "render/frame_drawing.h"
#include "render/texture_set.h"
#include "render/viewport.h"
#include "render/viewport_frame.h"
#include "windows/instance.h"
#include "windows/saver_window.h"

BYTE FullScreen = 0;
HWND GlWindow = nullptr;
HDC GlDeviceContext = nullptr;
HGLRC GlContext = nullptr;
PIXELFORMATDESCRIPTOR PixelFormatTemplate = {};
ViewportRect MonitorViewports[MaxMonitorViewports] = {};
int MonitorViewportCount = 0;

namespace {

const char* const ClassName = "OpenGL";
bool TemplateCompleted = false;
// Only a switched mode is switched back: a kept one is the user's own.
bool DisplayModeSwitched = false;

struct MonitorList {
    RECT Rects[MaxMonitorViewports];
    int Count;
};

// Where the full-screen window goes and the viewport of each monitor in it.
struct MonitorLayout {
    RECT Window;
    ViewportRect Viewports[MaxMonitorViewports];
    int Count;
};

// What the full-screen window was opened for, kept to lay it out again when
// the monitors change.
int RequestedWidth = 0;
int RequestedHeight = 0;
bool KeptDisplayMode = false;
MonitorLayout CurrentLayout = {};

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) {
    MonitorList* list = reinterpret_cast<MonitorList*>(data);
    if (list->Count < MaxMonitorViewports) list->Rects[list->Count++] = *rect;
    return TRUE;
}

void SetSingleViewport(int width, int height) {
    MonitorViewports[0] = {0, 0, width, height};
    MonitorViewportCount = 1;
}

RECT VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN), top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// The layout for the monitors as they are now, read after any mode switch:
// a switch moves the other monitors too.
MonitorLayout ReadMonitorLayout(int width, int height, bool keepDisplayMode) {
    MonitorLayout layout = {};
    MonitorList list = {};
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    if (list.Count <= 1) {
        // One monitor: the window is that monitor. The primary the saver
        // switched shows width x height at (0, 0); one left after the
        // primary went away (undocking) keeps its own mode and place. With
        // none listed, the screen as the saver set it or found it.
        RECT& window = layout.Window;
        if (list.Count == 1) {
            window = list.Rects[0];
        } else if (keepDisplayMode) {
            window = VirtualScreen();
        } else {
            window = RECT{0, 0, width, height};
        }
        layout.Viewports[0] = {0, 0, static_cast<int>(window.right - window.left),
                               static_cast<int>(window.bottom - window.top)};
        layout.Count = 1;
        return layout;
    }
    layout.Window = VirtualScreen();
    const RECT& screen = layout.Window;
    for (int i = 0; i < list.Count; ++i) {
        const RECT& m = list.Rects[i];
        // GL counts rows from the bottom of the window.
        layout.Viewports[i] = {static_cast<int>(m.left - screen.left), static_cast<int>(screen.bottom - m.bottom),
                               static_cast<int>(m.right - m.left), static_cast<int>(m.bottom - m.top)};
    }
    layout.Count = list.Count;
    return layout;
}

bool SameLayout(const MonitorLayout& a, const MonitorLayout& b) {
    if (!EqualRect(&a.Window, &b.Window) || a.Count != b.Count) return false;
    for (int i = 0; i < a.Count; ++i) {
        const ViewportRect& p = a.Viewports[i];
        const ViewportRect& q = b.Viewports[i];
        if (p.X != q.X || p.Y != q.Y || p.Width != q.Width || p.Height != q.Height) return false;
    }
    return true;
}

// Makes layout the one the window and the frames use.
void UseLayout(const MonitorLayout& layout) {
    CurrentLayout = layout;
    for (int i = 0; i < layout.Count; ++i) MonitorViewports[i] = layout.Viewports[i];
    MonitorViewportCount = layout.Count;
}

// Where the full-screen window goes and which viewport each monitor gets.
RECT CoverMonitors(int width, int height, bool keepDisplayMode) {
    UseLayout(ReadMonitorLayout(width, height, keepDisplayMode));
    return CurrentLayout.Window;
}

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

int OpenGlWindow(HWND parent, const char* title, int width, int height, int bits, bool fullScreen,
                 bool keepDisplayMode) {
    FullScreen = fullScreen ? 1 : 0;
    DisplayModeSwitched = false;
    SetSingleViewport(width, height);
    CurrentLayout = {};
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
    RECT rect = {0, 0, width, height};
    RequestedWidth = width;
    RequestedHeight = height;
    KeptDisplayMode = keepDisplayMode;
    if (FullScreen && !keepDisplayMode) {
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
        DisplayModeSwitched = true;
    }
    if (FullScreen) {
        ShowCursor(FALSE);
        style = WS_POPUP;
        exStyle = WS_EX_APPWINDOW;
        rect = CoverMonitors(width, height, keepDisplayMode);
        // The taskbars of the other monitors stay in front of a window that
        // is not topmost.
        if (MonitorViewportCount > 1) exStyle |= WS_EX_TOPMOST;
    } else if (parent != nullptr) {
        style = WS_CHILD | WS_VISIBLE;
        exStyle = WS_EX_APPWINDOW;
    } else {
        style = WS_OVERLAPPEDWINDOW;
        exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    }

    // A popup or child keeps its size; a framed window gains its frame
    // around the client area at (0, 0).
    const int left = rect.left;
    const int top = rect.top;
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    const int x = FullScreen ? left : 0;
    const int y = FullScreen ? top : 0;
    GlWindow = CreateWindowExA(exStyle, ClassName, title, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y,
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
    if (MonitorViewportCount == 1) {
        ResizeViewport(MonitorViewports[0].Width, MonitorViewports[0].Height);
    } else {
        const ViewportRect& v = MonitorViewports[0];
        ResizeViewportAt(v.X, v.Y, v.Width, v.Height);
    }
    if (!InitGlState()) {
        CloseGlWindow();
        MessageBoxA(nullptr, "Initialization Failed.", "ERROR", MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    return 1;
}

bool RelayoutMonitors() {
    if (!FullScreen || GlWindow == nullptr) return false;
    // The monitors as they are, whatever changed them. No mode is switched
    // here, so the saver's own switch and restore never set off another
    // round of layouts.
    const MonitorLayout layout = ReadMonitorLayout(RequestedWidth, RequestedHeight, KeptDisplayMode);
    if (SameLayout(layout, CurrentLayout)) return false;
    UseLayout(layout);
    const RECT& r = layout.Window;
    // Over several monitors in front of their taskbars; the order is left as
    // it is for one.
    SetWindowPos(GlWindow, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE | (layout.Count > 1 ? 0 : SWP_NOZORDER));
    if (layout.Count == 1) ResizeViewport(layout.Viewports[0].Width, layout.Viewports[0].Height);
    return true;
}

int RenderMonitorFrame() {
    if (MonitorViewportCount <= 1) return RenderFrame();
    // One target for every monitor: cleared once, then the one field drawn
    // into each monitor's part of it.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawFrameInViewports(MonitorViewports, MonitorViewportCount, nullptr, nullptr, nullptr);
    return 1;
}

BOOL CloseGlWindow() {
    if (FullScreen) {
        if (DisplayModeSwitched) ChangeDisplaySettingsA(nullptr, 0);
        DisplayModeSwitched = false;
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
