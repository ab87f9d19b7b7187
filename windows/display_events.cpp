#include "windows/display_events.h"

#include <cstring>

namespace {

// GUID_CONSOLE_DISPLAY_STATE; its data is a DWORD: 0 off, 1 on, 2 dimmed.
const GUID ConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD DisplayStateOff = 0;

HPOWERNOTIFY Registration = nullptr;
bool DisplayOff = false;
bool DisplayChanged = false;

// Looked up at run time: systems before Vista have no such call.
using RegisterProc = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
using UnregisterProc = BOOL(WINAPI*)(HPOWERNOTIFY);

template <typename Proc>
Proc User32Proc(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC proc = user32 != nullptr ? GetProcAddress(user32, name) : nullptr;
    Proc typed = nullptr;
    static_assert(sizeof typed == sizeof proc, "function pointer sizes");
    std::memcpy(&typed, &proc, sizeof proc);
    return typed;
}

}  // namespace

bool RegisterConsoleDisplayState(HWND window) {
    DisplayOff = false;
    const RegisterProc registerProc = User32Proc<RegisterProc>("RegisterPowerSettingNotification");
    if (registerProc == nullptr) return false;
    Registration = registerProc(window, &ConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
    return Registration != nullptr;
}

void UnregisterConsoleDisplayState() {
    if (Registration == nullptr) return;
    const UnregisterProc unregisterProc = User32Proc<UnregisterProc>("UnregisterPowerSettingNotification");
    if (unregisterProc != nullptr) unregisterProc(Registration);
    Registration = nullptr;
    DisplayOff = false;
}

bool ConsoleDisplayOff() { return DisplayOff; }

void NoteConsoleDisplayState(const POWERBROADCAST_SETTING* setting) {
    if (setting == nullptr || !IsEqualGUID(setting->PowerSetting, ConsoleDisplayState)) return;
    if (setting->DataLength < sizeof(DWORD)) return;
    DWORD state;
    std::memcpy(&state, setting->Data, sizeof state);
    // Dimmed still shows the picture.
    DisplayOff = state == DisplayStateOff;
}

void NoteDisplayChange() { DisplayChanged = true; }

bool TakeDisplayChange() {
    const bool changed = DisplayChanged;
    DisplayChanged = false;
    return changed;
}
