#include "windows/saver_window.h"

#include <cstdlib>

#include "settings/saver_settings.h"
#include "windows/debug_trace.h"
#include "windows/display_events.h"
#include "windows/instance.h"
#include "windows/password_hooks.h"

std::int32_t MouseMoveCount = 0;

void SaverSettings::PostClose() {
    CloseRequested = 1;
    PostMessageA(ToHwnd(hwnd), WM_CLOSE, 0, 0);
}

void SaverSettings::BeginPasswordCheck() {
    CheckingPassword = 1;
    SendMessageA(ToHwnd(hwnd), WM_SETCURSOR, 0, 0);
}

void SaverSettings::EndPasswordCheck() {
    CheckingPassword = 0;
    SendMessageA(ToHwnd(hwnd), WM_SETCURSOR, 0, 0);
    POINT p = {0, 0};
    GetCursorPos(&p);
    CursorStart = {static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y)};
}

namespace {

bool SaverMode() { return RunMode == RunModeSaver; }
bool Idle() { return Settings->CheckingPassword == 0; }

// A close the saver asked for itself runs the password check; any other, or
// one arriving while the check's dialog is up, is ignored.
void ClosePolicy(HWND window) {
    if (Settings->CloseRequested == 0 || Settings->CheckingPassword == 1) return;
    OutputDebugStringA("WM_CLOSE: maybe we need a password\n");
    Settings->BeginPasswordCheck();
    const bool ok = VerifySaverPassword(window);
    Settings->EndPasswordCheck();
    if (ok) {
        OutputDebugStringA("WM_CLOSE: doing a DestroyWindow\n");
        DestroyWindow(window);
    } else {
        MouseMoveCount = 0;
        DebugTrace("WM_CLOSE: but failed password, so doing nothing");
    }
}

void MouseMoved() {
    ++MouseMoveCount;
    // The first moves come from the window appearing and the hand settling.
    if (MouseMoveCount <= 10) return;
    POINT p = {0, 0};
    GetCursorPos(&p);
    // In 64 bits: a difference of two screen coordinates cannot overflow.
    const long long dx = std::llabs(static_cast<long long>(p.x) - Settings->CursorStart.x);
    const long long dy = std::llabs(static_cast<long long>(p.y) - Settings->CursorStart.y);
    if (dx > Settings->MouseThreshold || dy > Settings->MouseThreshold) {
        DebugTrace("WM_MOUSEMOVE: gone beyond threshold, sending close");
        Settings->PostClose();
    }
}

}  // namespace

LRESULT CALLBACK SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        DebugTrace("WM_CREATE...");
        Settings->hwnd = FromHwnd(window);
        POINT p = {0, 0};
        GetCursorPos(&p);
        Settings->CursorStart = {static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y)};
        Settings->CreateTick = GetTickCount();
        Settings->TimerId = static_cast<std::uint32_t>(SetTimer(window, 0, 100, nullptr));
        break;
    }
    case WM_DESTROY:
        if (Settings->TimerId != 0) KillTimer(window, Settings->TimerId);
        Settings->TimerId = 0;
        DebugTrace("POSTQUITMESSAGE from WM_DESTROY!!");
        PostQuitMessage(0);
        break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
        if (SaverMode() && Idle() && LOWORD(wParam) == 0) {
            DebugTrace("WM_ACTIVATE: about to inactive window, so sending close");
            Settings->PostClose();
        }
        break;
    case WM_CLOSE:
        if (SaverMode()) {
            ClosePolicy(window);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (SaverMode() && Idle()) {
            SetCursor(nullptr);
            // The default handling would put the arrow (or the class cursor)
            // straight back: the message is settled here.
            return TRUE;
        }
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (SaverMode() && Idle()) {
            DebugTrace("WM_BUTTONDOWN: sending close");
            Settings->PostClose();
        }
        break;
    case WM_MOUSEMOVE:
        if (SaverMode() && Idle()) MouseMoved();
        break;
    case WM_POWERBROADCAST:
        if (wParam == PBT_POWERSETTINGCHANGE) {
            NoteConsoleDisplayState(reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam));
            return TRUE;
        }
        break;
    case WM_DISPLAYCHANGE:
        NoteDisplayChange();
        break;
    case WM_SYSCOMMAND:
        // The whole wParam is compared: a command with its low bits set
        // takes the default handling.
        if (SaverMode() && wParam == SC_SCREENSAVE) {
            DebugTrace("WM_SYSCOMMAND: gobbling up a SC_SCREENSAVE to stop a new saver from running.");
            return 0;
        }
        if (wParam == SC_CLOSE) {
            DebugTrace("WM_SYSCOMMAND: gobbling up a SC_CLOSE");
            return 0;
        }
        if (wParam == SC_MONITORPOWER) {
            DebugTrace("WM_SYSCOMMAND: gobbling up a SC_MONITORPOWER");
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
