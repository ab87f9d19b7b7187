// The "/p scrprev" lookup against a real stand-in tool (fixtures/scrprev),
// which sits in a folder of its own so that only PATH can find it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows/actions.h"
#include "windows/debug_trace.h"
#include "windows/instance.h"

namespace {

std::vector<std::string> Traces;
void Capture(const char* text) { Traces.emplace_back(text); }

std::string ExeFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

// Closes every "Scrprev" window, so each test starts with no tool running.
void CloseTools() {
    for (int i = 0; i < 50; ++i) {
        HWND tool = FindWindowA("Scrprev", nullptr);
        if (tool == nullptr) return;
        DWORD pid = 0;
        GetWindowThreadProcessId(tool, &pid);
        if (pid == GetCurrentProcessId()) {
            DestroyWindow(tool);
        } else {
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
            PostMessageA(tool, WM_CLOSE, 0, 0);
            if (process) {
                WaitForSingleObject(process, 5000);
                CloseHandle(process);
            }
        }
    }
}

class PreviewHost : public ::testing::Test {
protected:
    // One start beforehand, so that the timed starts in the tests do not
    // also pay for Wine's first load of the tool from disk.
    static void SetUpTestSuite() {
        std::string line = "\"" + ExeFolder() + "\\scrprev\\Scrprev.exe\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        SetEnvironmentVariableA("MIRROWEN_SCRPREV_MODE", "normal");
        if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            WaitForInputIdle(process.hProcess, 20000);
            CloseTools();
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        SetEnvironmentVariableA("MIRROWEN_SCRPREV_MODE", nullptr);
    }
    void SetUp() override {
        char path[32768];
        const DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
        savedPath.assign(path, length < sizeof path ? length : 0);
        mark = ExeFolder() + "\\scrprev-started.txt";
        DeleteFileA(mark.c_str());
        SetEnvironmentVariableA("MIRROWEN_SCRPREV_MARK", mark.c_str());
        CloseTools();
        Traces.clear();
        SetDebugTraceSink(Capture);
    }
    void TearDown() override {
        SetDebugTraceSink(nullptr);
        CloseTools();
        SetEnvironmentVariableA("PATH", savedPath.c_str());
        SetEnvironmentVariableA("MIRROWEN_SCRPREV_MODE", nullptr);
        SetEnvironmentVariableA("MIRROWEN_SCRPREV_MARK", nullptr);
        DeleteFileA(mark.c_str());
    }
    void ToolOnPath(const char* mode) {
        SetEnvironmentVariableA("PATH", (ExeFolder() + "\\scrprev;" + savedPath).c_str());
        SetEnvironmentVariableA("MIRROWEN_SCRPREV_MODE", mode);
    }
    bool ToolStarted() const { return GetFileAttributesA(mark.c_str()) != INVALID_FILE_ATTRIBUTES; }
    // On a busy machine Wine may take longer than the saver's two seconds to
    // start a process (the timeout itself is the slow tool's test). A lookup
    // that timed out is tried again, up to three times in all, once the late
    // tool has started and been closed, so that its mark and window are not
    // taken for the next one's.
    WindowHandle LookUpStartingTool(bool toolMakesWindow) {
        for (int attempt = 1;; ++attempt) {
            const WindowHandle found = FindPreviewHost();
            if (attempt == 3 || Traces != std::vector<std::string>{"Scrprev never becomes idle"}) return found;
            for (int i = 0; i < 100 && !ToolStarted(); ++i) Sleep(100);
            for (int i = 0; i < 100 && toolMakesWindow && FindWindowA("Scrprev", nullptr) == nullptr; ++i) Sleep(100);
            CloseTools();
            DeleteFileA(mark.c_str());
            Traces.clear();
        }
    }

    std::string savedPath;
    std::string mark;
};

// The lookups that start the tool and need it ready within the saver's 2 s:
// a suite of their own, which runs alone.
class PreviewToolStart : public PreviewHost {};

TEST_F(PreviewHost, UsesARunningToolWithoutStartingAnother) {
    ToolOnPath("normal");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Scrprev";
    RegisterClassA(&wc);
    HWND tool = CreateWindowExA(0, "Scrprev", "Preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 260, nullptr,
                                nullptr, wc.hInstance, nullptr);
    HWND first = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 10, 10, 152, 112, tool, nullptr,
                                 wc.hInstance, nullptr);
    CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 10, 130, 50, 50, tool, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(first, nullptr);

    EXPECT_EQ(ToHwnd(FindPreviewHost()), first);
    EXPECT_EQ(GetForegroundWindow(), tool);
    Sleep(300);
    EXPECT_FALSE(ToolStarted());
    EXPECT_TRUE(Traces.empty());
    DestroyWindow(tool);
    UnregisterClassA("Scrprev", wc.hInstance);
}

TEST_F(PreviewToolStart, StartsTheToolFromPathAndReturnsItsFirstChild) {
    ToolOnPath("normal");
    HWND child = ToHwnd(LookUpStartingTool(true));
    EXPECT_TRUE(ToolStarted());
    HWND tool = FindWindowA("Scrprev", nullptr);
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(child, GetWindow(tool, GW_CHILD));
    char name[32] = {};
    GetClassNameA(child, name, sizeof name);
    EXPECT_STREQ(name, "ScrprevArea");
    EXPECT_TRUE(Traces.empty());
}

TEST_F(PreviewHost, AToolNotOnPathGivesNoHost) {
    SetEnvironmentVariableA("MIRROWEN_SCRPREV_MODE", "normal");
    EXPECT_EQ(FindPreviewHost(), 0u);
    EXPECT_FALSE(ToolStarted());
    EXPECT_EQ(Traces, std::vector<std::string>{"Error creating scrprev process"});
}

TEST_F(PreviewHost, AToolSlowToBecomeIdleGivesNoHostEvenWhenItsWindowComesLater) {
    ToolOnPath("slow");
    const DWORD start = GetTickCount();
    EXPECT_EQ(FindPreviewHost(), 0u);
    const DWORD waited = GetTickCount() - start;
    EXPECT_GE(waited, 1900u);
    EXPECT_EQ(Traces, std::vector<std::string>{"Scrprev never becomes idle"});
    HWND late = nullptr;
    for (int i = 0; i < 60 && late == nullptr; ++i) {
        Sleep(100);
        late = FindWindowA("Scrprev", nullptr);
    }
    EXPECT_NE(late, nullptr) << "the slow tool's window did show up later";
}

TEST_F(PreviewToolStart, AToolWindowWithoutAChildGivesNoHost) {
    ToolOnPath("nochild");
    EXPECT_EQ(LookUpStartingTool(true), 0u);
    EXPECT_NE(FindWindowA("Scrprev", nullptr), nullptr);
    EXPECT_EQ(Traces, std::vector<std::string>{"Couldn't find Scrprev child"});
}

TEST_F(PreviewToolStart, AnIdleToolWithoutAWindowGivesNoHost) {
    ToolOnPath("nowindow");
    EXPECT_EQ(LookUpStartingTool(false), 0u);
    EXPECT_TRUE(ToolStarted());
    EXPECT_EQ(Traces, std::vector<std::string>{"Unable to find Scrprev window"});
}

}  // namespace
