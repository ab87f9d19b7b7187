// The GL window under Wine's real window manager and WGL (Mesa llvmpipe on
// the private Xvfb screen, 1280 x 1024).
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "gl_test_support.h"
#include "render/viewport.h"
#include "windows/gl_window.h"

namespace {

bool ClassRegistered() {
    WNDCLASSA wc;
    return GetClassInfoA(GetModuleHandleA(nullptr), "OpenGL", &wc) != 0;
}

// The display count of the cursor, read without changing it.
int CursorCount() {
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

TEST(GlWindow, FramedWindowHasExactClientAreaAndClosesCleanly) {
    PublishedSettings published(RunModePreview);
    ASSERT_EQ(OpenGlWindow(nullptr, "Test", 300, 200, 16, false), 1);
    HWND window = GlWindow;
    ASSERT_NE(window, nullptr);
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    EXPECT_STREQ(cls, "OpenGL");
    RECT client, outer;
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_GT(outer.right - outer.left, 300);
    EXPECT_GT(outer.bottom - outer.top, 200);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(wglGetCurrentContext(), GlContext);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 200);

    PIXELFORMATDESCRIPTOR pfd = {};
    DescribePixelFormat(GlDeviceContext, GetPixelFormat(GlDeviceContext), sizeof pfd, &pfd);
    EXPECT_TRUE(pfd.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
    EXPECT_GE(pfd.cDepthBits, 16);
    EXPECT_EQ(PixelFormatTemplate.dwFlags, static_cast<DWORD>(0x25));
    EXPECT_EQ(PixelFormatTemplate.cColorBits, 16);
    EXPECT_EQ(PixelFormatTemplate.cDepthBits, 16);

    EXPECT_NE(CloseGlWindow(), 0);
    EXPECT_EQ(GlContext, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    // The handle stays as it was, though the window is gone.
    EXPECT_EQ(GlWindow, window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(ClassRegistered());
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_DESTROY posts the quit message";
    DrainQueue();
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(hwnd, msg, wp, lp); }

TEST(GlWindow, PreviewChildFillsItsHostWithoutTakingFocus) {
    PublishedSettings published(RunModePreview);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "GlWindowTestHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowExA(0, wc.lpszClassName, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 250,
                                nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(host, nullptr);
    SetFocus(host);
    RECT hostClient;
    GetClientRect(host, &hostClient);

    ASSERT_EQ(OpenGlWindow(host, "Test", hostClient.right, hostClient.bottom, 16, false), 1);
    EXPECT_EQ(GetParent(GlWindow), host);
    EXPECT_TRUE(GetWindowLongA(GlWindow, GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(IsWindowVisible(GlWindow));
    RECT client;
    GetClientRect(GlWindow, &client);
    EXPECT_EQ(client.right, hostClient.right);
    EXPECT_EQ(client.bottom, hostClient.bottom);
    POINT at = {0, 0};
    MapWindowPoints(GlWindow, host, &at, 1);
    EXPECT_EQ(at.x, 0);
    EXPECT_EQ(at.y, 0);
    EXPECT_NE(GetFocus(), GlWindow);

    CloseGlWindow();
    DestroyWindow(host);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
    DrainQueue();
}

TEST(GlWindow, ZeroHeightViewportIsOnePixelHigh) {
    PublishedSettings published(RunModePreview);
    ASSERT_EQ(OpenGlWindow(nullptr, "Test", 200, 100, 16, false), 1);
    ResizeViewport(200, 0);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 200);
    EXPECT_EQ(viewport[3], 1);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    // gluPerspective puts f / aspect and f on the diagonal: their ratio is the aspect.
    EXPECT_NEAR(projection[5] / projection[0], 200.0, 1e-3);
    CloseGlWindow();
    DrainQueue();
}

TEST(GlWindow, RefusedDisplayModeShowsOneNoticeAndLeavesNoWindow) {
    PublishedSettings published(RunModeSaver);
    GlWindow = nullptr;
    const int cursorBefore = CursorCount();
    int result;
    std::vector<std::string> notices;
    {
        NoticeWatcher watcher;
        // The Xvfb screen offers only its own size.
        result = OpenGlWindow(nullptr, "Test", 1234, 567, 16, true);
        notices = watcher.Notices();
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(GlWindow, nullptr);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0],
              "The screen mode selected for the Mirrowen screensaver is not supported by your graphics card. The "
              "screensaver will now close. | Mirrowen");
    EXPECT_TRUE(ClassRegistered()) << "the class stays registered on this path";
    EXPECT_EQ(CursorCount(), cursorBefore);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    UnregisterClassA("OpenGL", GetModuleHandleA(nullptr));
    DrainQueue();
}

TEST(GlWindow, FullScreenHidesTheCursorOnceAndRestoresOnClose) {
    PublishedSettings published(RunModeSaver);
    const int cursorBefore = CursorCount();
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_EQ(OpenGlWindow(nullptr, "Test", width, height, 16, true), 1);
    EXPECT_EQ(CursorCount(), cursorBefore - 1);
    RECT outer;
    GetWindowRect(GlWindow, &outer);
    EXPECT_EQ(outer.right - outer.left, width);
    EXPECT_EQ(outer.bottom - outer.top, height);
    EXPECT_TRUE(GetWindowLongA(GlWindow, GWL_STYLE) & WS_POPUP);
    CloseGlWindow();
    EXPECT_EQ(CursorCount(), cursorBefore);
    DrainQueue();
}

TEST(GlWindow, KeptDisplayModeCoversTheMonitorAtItsOwnSizeWhateverTheStoredSize) {
    PublishedSettings published(RunModeSaver);
    const int cursorBefore = CursorCount();
    // A size the screen does not offer: no switch is tried, so no notice.
    std::vector<std::string> notices;
    int result;
    {
        NoticeWatcher watcher;
        result = OpenGlWindow(nullptr, "Test", 1234, 567, 16, true, true);
        notices = watcher.Notices();
    }
    ASSERT_EQ(result, 1);
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    RECT outer;
    GetWindowRect(GlWindow, &outer);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right, 1280);
    EXPECT_EQ(outer.bottom, 1024);
    // One monitor: no window put in front of every other.
    EXPECT_FALSE(GetWindowLongA(GlWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(MonitorViewportCount, 1);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1280);
    EXPECT_EQ(viewport[3], 1024);
    EXPECT_EQ(CursorCount(), cursorBefore - 1);
    CloseGlWindow();
    EXPECT_EQ(CursorCount(), cursorBefore);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    DrainQueue();
}

}  // namespace
