// "/p scrprev": the preview tool's drawing area, starting the tool when it
// isn't running yet.
#include <cstring>

#include "windows/actions.h"
#include "windows/debug_trace.h"
#include "windows/instance.h"

WindowHandle FindPreviewHost() {
    HWND tool = FindWindowA("Scrprev", nullptr);
    if (tool == nullptr) {
        STARTUPINFOA startup;
        std::memset(&startup, 0, sizeof startup);
        startup.cb = 68;
        PROCESS_INFORMATION process;
        std::memset(&process, 0, sizeof process);
        char commandLine[] = "Scrprev";  // CreateProcessA may write into it
        if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE,
                            CREATE_DEFAULT_ERROR_MODE | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr,
                            &startup, &process)) {
            DebugTrace("Error creating scrprev process");
            return 0;
        }
        // The tool runs on by itself; its handles serve only this wait.
        const DWORD idle = WaitForInputIdle(process.hProcess, 2000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        if (idle == WAIT_TIMEOUT) {
            DebugTrace("Scrprev never becomes idle");
            return 0;
        }
        if (idle == WAIT_FAILED) {
            DebugTrace("ScrPrev, misc error after ScrPrev execution");
            return 0;
        }
        tool = FindWindowA("Scrprev", nullptr);
        if (tool == nullptr) {
            DebugTrace("Unable to find Scrprev window");
            return 0;
        }
    }
    SetForegroundWindow(tool);
    HWND child = GetWindow(tool, GW_CHILD);
    if (child == nullptr) {
        DebugTrace("Couldn't find Scrprev child");
        return 0;
    }
    return FromHwnd(child);
}
