#include "windows/password_hooks.h"

#include <cstring>

#include "windows/actions.h"
#include "windows/debug_trace.h"
#include "windows/instance.h"

namespace {

using VerifyPwProc = BOOL(WINAPI*)(HWND window);
using PwdChangeProc = DWORD(WINAPI*)(LPCSTR provider, HWND owner, DWORD reserved1, DWORD reserved2);

// Both libraries are the system's own: load them from the system directory
// only, never from the saver's folder or the current directory, where a
// planted library of the same name would run inside the saver.
HMODULE LoadSystemLibrary(const char* name) {
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    const size_t nameLength = std::strlen(name);
    if (length == 0 || length + 1 + nameLength >= MAX_PATH) return nullptr;
    path[length] = '\\';
    std::memcpy(path + length + 1, name, nameLength + 1);
    return LoadLibraryA(path);
}

}  // namespace

bool VerifySaverPassword(HWND window) {
    OSVERSIONINFOA version;
    std::memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = 148;
    GetVersionExA(&version);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) return true;

    HMODULE library = LoadSystemLibrary("PASSWORD.CPL");
    if (library == nullptr) {
        DebugTrace("Unable to load PASSWORD.CPL. Aborting");
        return true;
    }
    const VerifyPwProc verify = reinterpret_cast<VerifyPwProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "VerifyScreenSavePwd")));
    if (verify == nullptr) {
        DebugTrace("Unable to get VerifyPwProc address. Aborting");
        FreeLibrary(library);
        return true;
    }
    DebugTrace("About to call VerifyPwProc");
    const BOOL ok = verify(window);
    FreeLibrary(library);
    return ok != 0;
}

void ChangeSaverPassword(WindowHandle parent) {
    HMODULE library = LoadSystemLibrary("MPR.DLL");
    if (library == nullptr) {
        DebugTrace("MPR.DLL not found: cannot change password.");
        return;
    }
    const PwdChangeProc change = reinterpret_cast<PwdChangeProc>(
        reinterpret_cast<void*>(GetProcAddress(library, "PwdChangePasswordA")));
    if (change == nullptr) {
        FreeLibrary(library);
        DebugTrace("PwdChangeProc not found: cannot change password");
        return;
    }
    change("SCRSAVE", ToHwnd(parent), 0, 0);
    FreeLibrary(library);
}
