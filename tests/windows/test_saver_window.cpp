// The saver window procedure on real windows with real messages. Wine
// reports the NT family, so every password check here succeeds at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/saver_settings.h"
#include "windows/debug_trace.h"
#include "windows/instance.h"
#include "windows/saver_window.h"

namespace {

const char* const TestClass = "MirrowenSaverWindowTest";
std::vector<std::string> Traces;

void Capture(const char* text) { Traces.emplace_back(text); }

class SaverWindow : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = SaverWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = TestClass;
        RegisterClassA(&wc);
        record.MouseThreshold = 50;
        record.CheckingPassword = 0;
        Settings = &record;
        MouseMoveCount = 0;
        Traces.clear();
        SetDebugTraceSink(Capture);
        SetCursorPos(400, 400);
    }
    void TearDown() override {
        if (window != nullptr && IsWindow(window)) DestroyWindow(window);
        Pump();
        SetDebugTraceSink(nullptr);
        Settings = nullptr;
        RunMode = RunModeNone;
        UnregisterClassA(TestClass, GetModuleHandleA(nullptr));
    }

    // Hidden, so the window system sends it no activation or mouse input of
    // its own.
    void Open(std::int32_t mode) {
        RunMode = mode;
        window = CreateWindowExA(0, TestClass, "Test", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
    }

    // A close request waiting in the queue, left in place.
    bool ClosePosted() {
        MSG msg;
        return PeekMessageA(&msg, window, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) != 0;
    }

    // Dispatches everything waiting; notes the quit message.
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                continue;
            }
            DispatchMessageA(&msg);
        }
    }

    void MoveMessages(int count) {
        for (int i = 0; i < count; ++i) SendMessageA(window, WM_MOUSEMOVE, 0, 0);
    }

    bool Traced(const char* text) {
        for (const std::string& t : Traces)
            if (t == text) return true;
        return false;
    }

    SaverSettings record;
    HWND window = nullptr;
    bool quit = false;
};

TEST_F(SaverWindow, CreateRecordsWindowCursorAndTimer) {
    SetCursorPos(123, 234);
    Open(RunModeSaver);
    EXPECT_EQ(record.hwnd, FromHwnd(window));
    EXPECT_EQ(record.CursorStart.x, 123);
    EXPECT_EQ(record.CursorStart.y, 234);
    EXPECT_NE(record.TimerId, 0u);
    EXPECT_TRUE(Traced("WM_CREATE..."));
}

TEST_F(SaverWindow, KeyPostsCloseAndTheCheckDestroysTheWindow) {
    Open(RunModeSaver);
    SendMessageA(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(record.CloseRequested, 1);
    EXPECT_TRUE(ClosePosted());
    EXPECT_TRUE(IsWindow(window));
    Pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(quit);
    EXPECT_EQ(record.TimerId, 0u);
    EXPECT_TRUE(Traced("POSTQUITMESSAGE from WM_DESTROY!!"));
}

TEST_F(SaverWindow, EveryButtonAndSystemKeyPostsClose) {
    for (UINT message : {WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        Open(RunModeSaver);
        record.CloseRequested = 0;
        SendMessageA(window, message, 0, 0);
        EXPECT_TRUE(ClosePosted()) << message;
        Pump();
        EXPECT_FALSE(IsWindow(window)) << message;
    }
}

TEST_F(SaverWindow, InputDuringACheckPostsNothing) {
    Open(RunModeSaver);
    record.CheckingPassword = 1;
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_ACTIVATE})
        SendMessageA(window, message, 0, 0);
    SetCursorPos(1000, 1000);
    MoveMessages(20);
    EXPECT_FALSE(ClosePosted());
    EXPECT_EQ(record.CloseRequested, 0);
    EXPECT_EQ(MouseMoveCount, 0);
    // A close that arrives while the check runs is ignored, even a requested one.
    record.CloseRequested = 1;
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(SaverWindow, LossOfActivationPostsClose) {
    struct Case {
        UINT message;
        WPARAM wParam;
        bool closes;
    };
    const Case cases[] = {
        {WM_ACTIVATE, 0, true},           {WM_ACTIVATE, 0xFFFF0000u, true}, {WM_ACTIVATE, WA_ACTIVE, false},
        {WM_ACTIVATE, WA_CLICKACTIVE, false}, {WM_ACTIVATEAPP, 0, true},    {WM_NCACTIVATE, 0, true},
        {WM_ACTIVATEAPP, 1, false},        {WM_NCACTIVATE, 1, false},
    };
    // Really active first, so that the default handling of an activating
    // message changes nothing; then forget what the showing caused.
    Open(RunModeSaver);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    Pump();
    for (const Case& c : cases) {
        MSG stale;
        while (PeekMessageA(&stale, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
        }
        record.CloseRequested = 0;
        SendMessageA(window, c.message, c.wParam, 0);
        EXPECT_EQ(ClosePosted(), c.closes) << c.message << " " << c.wParam;
        EXPECT_EQ(record.CloseRequested, c.closes ? 1 : 0);
    }
}

TEST_F(SaverWindow, TenMovesNeverDismissTheEleventhBeyondThresholdDoes) {
    Open(RunModeSaver);
    SetCursorPos(1000, 1000);
    MoveMessages(10);
    EXPECT_FALSE(ClosePosted());
    SetCursorPos(451, 400);
    MoveMessages(1);
    EXPECT_TRUE(ClosePosted());
    EXPECT_TRUE(Traced("WM_MOUSEMOVE: gone beyond threshold, sending close"));
}

TEST_F(SaverWindow, MovementAtTheThresholdDoesNotDismiss) {
    Open(RunModeSaver);
    SetCursorPos(450, 450);
    MoveMessages(30);
    SetCursorPos(350, 350);
    MoveMessages(1);
    EXPECT_FALSE(ClosePosted());
    EXPECT_EQ(MouseMoveCount, 31);
    // The message's own coordinates are not used.
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(ClosePosted());
    SetCursorPos(400, 349);
    MoveMessages(1);
    EXPECT_TRUE(ClosePosted());
}

TEST_F(SaverWindow, NegativeThresholdDismissesOnTheEleventhMove) {
    record.MouseThreshold = -1;
    Open(RunModeSaver);
    MoveMessages(10);
    EXPECT_FALSE(ClosePosted());
    MoveMessages(1);
    EXPECT_TRUE(ClosePosted());
}

TEST_F(SaverWindow, OutsideCloseBeforeAnyInputIsIgnored) {
    Open(RunModeSaver);
    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(quit);
}

TEST_F(SaverWindow, CursorHiddenWhileIdleArrowDuringCheck) {
    Open(RunModeSaver);
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SendMessageA(window, WM_SETCURSOR, 0, 0);
    EXPECT_EQ(GetCursor(), nullptr);
    record.BeginPasswordCheck();
    EXPECT_EQ(record.CheckingPassword, 1);
    EXPECT_EQ(GetCursor(), arrow);
    SetCursorPos(700, 600);
    record.EndPasswordCheck();
    EXPECT_EQ(record.CheckingPassword, 0);
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(record.CursorStart.x, 700);
    EXPECT_EQ(record.CursorStart.y, 600);
}

TEST_F(SaverWindow, SystemCommandsComparedWhole) {
    Open(RunModeSaver);
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_TRUE(Traced("WM_SYSCOMMAND: gobbling up a SC_SCREENSAVE to stop a new saver from running."));
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2), 0);
    EXPECT_TRUE(Traced("WM_SYSCOMMAND: gobbling up a SC_MONITORPOWER"));
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_TRUE(Traced("WM_SYSCOMMAND: gobbling up a SC_CLOSE"));
    Traces.clear();
    // Low bits set: the default handling, which turns SC_CLOSE into a WM_CLOSE
    // (ignored here, since the saver asked for no close).
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE | 3, 0);
    // (Not SC_SCREENSAVE | 1: Wine's default handling opens its About box for it.)
    SendMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE | 2, 0);
    EXPECT_TRUE(Traces.empty());
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(SaverWindow, PreviewIgnoresInputAndCloses) {
    Open(RunModePreview);
    for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_ACTIVATE,
                         WM_ACTIVATEAPP, WM_NCACTIVATE})
        SendMessageA(window, message, 0, 0);
    SetCursorPos(1000, 1000);
    MoveMessages(20);
    EXPECT_FALSE(ClosePosted());
    EXPECT_EQ(record.CloseRequested, 0);
    EXPECT_EQ(MouseMoveCount, 0);
    SendMessageA(window, WM_SETCURSOR, 0, 0);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
    // SC_SCREENSAVE takes the default handling; SC_CLOSE and SC_MONITORPOWER
    // are still swallowed, so the window stays.
    SendMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    EXPECT_FALSE(Traced("WM_SYSCOMMAND: gobbling up a SC_SCREENSAVE to stop a new saver from running."));
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2), 0);
    EXPECT_TRUE(IsWindow(window));
    PostMessageA(window, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(quit);
}

TEST_F(SaverWindow, PreviewDefaultSystemCloseDestroys) {
    Open(RunModePreview);
    SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE | 3, 0);
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
