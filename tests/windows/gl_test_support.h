// Shared pieces of the GL window and frame tests: a settings record to
// publish, a watcher that answers message boxes, and queue draining.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "settings/memory_store.h"
#include "settings/saver_settings.h"
#include "windows/run_mode.h"

// Publishes a record with the built-in defaults for the life of a test.
struct PublishedSettings {
    SaverSettings Record;
    SaverSettings* Previous;
    std::int32_t PreviousMode;
    explicit PublishedSettings(std::int32_t mode) : Previous(Settings), PreviousMode(RunMode) {
        MemoryStore store;
        Record.ReadSystemSaverSettings(MemoryStoreInterface(store));
        Record.LoadSettings(MemoryStoreInterface(store));
        Settings = &Record;
        RunMode = mode;
    }
    ~PublishedSettings() {
        Settings = Previous;
        RunMode = PreviousMode;
    }
};

// Removes what a destroyed saver window left in this thread's queue (its
// quit message among them), so that tests stay independent.
inline void DrainQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    }
}

// Answers every message box of this process from a second thread, keeping
// each one's text and caption in the order they appeared.
struct NoticeWatcher {
    std::vector<std::string> Seen;
    HANDLE Thread = nullptr;
    volatile LONG Stop = 0;
    CRITICAL_SECTION Lock;

    NoticeWatcher() {
        InitializeCriticalSection(&Lock);
        Thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~NoticeWatcher() {
        InterlockedExchange(&Stop, 1);
        WaitForSingleObject(Thread, 5000);
        CloseHandle(Thread);
        DeleteCriticalSection(&Lock);
    }
    std::vector<std::string> Notices() {
        EnterCriticalSection(&Lock);
        std::vector<std::string> copy = Seen;
        LeaveCriticalSection(&Lock);
        return copy;
    }

    static BOOL CALLBACK Find(HWND hwnd, LPARAM lp) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        char cls[16] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        if (pid == GetCurrentProcessId() && lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(hwnd)) {
            *reinterpret_cast<HWND*>(lp) = hwnd;
            return FALSE;
        }
        return TRUE;
    }
    static DWORD WINAPI Run(void* p) {
        NoticeWatcher* self = static_cast<NoticeWatcher*>(p);
        HWND last = nullptr;
        while (!self->Stop) {
            HWND box = nullptr;
            EnumWindows(Find, reinterpret_cast<LPARAM>(&box));
            if (box && box != last) {
                char text[512] = "", caption[128] = "";
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                GetWindowTextA(box, caption, sizeof caption);
                EnterCriticalSection(&self->Lock);
                self->Seen.push_back(std::string(text) + " | " + caption);
                LeaveCriticalSection(&self->Lock);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                last = box;
            }
            Sleep(20);
        }
        return 0;
    }
};
