// Password verification on the 9x family, against real libraries in the
// prefix's system directory. This program's name is set to report Windows 98
// (see CMakeLists.txt), so verification takes the library path.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "password_test_support.h"
#include "windows/instance.h"
#include "settings/saver_settings.h"
#include "windows/password_hooks.h"
#include "windows/saver_window.h"

namespace {

using pwtest::RecordLines;
using pwtest::Traces;
using Lines = std::vector<std::string>;

const std::string CplInSystem = pwtest::SystemPath("PASSWORD.CPL");

class Password9x : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteFileA(CplInSystem.c_str());
        pwtest::ClearRecord();
        pwtest::StartTraceCapture();
        window = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        pwtest::StopTraceCapture();
        DestroyWindow(window);
        DeleteFileA(CplInSystem.c_str());
        SetEnvironmentVariableA("MIRROWEN_PW_ANSWER", nullptr);
    }
    void PlaceCpl(const char* fixture) {
        ASSERT_TRUE(pwtest::Copy(pwtest::FixturePath(fixture), CplInSystem)) << GetLastError();
    }
    HWND window = nullptr;
};

TEST_F(Password9x, ThisProgramSeesThe9xFamily) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    EXPECT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
}

TEST_F(Password9x, MissingLibraryLetsTheSaverClose) {
    EXPECT_TRUE(VerifySaverPassword(window));
    EXPECT_EQ(Traces(), Lines({"Unable to load PASSWORD.CPL. Aborting"}));
}

TEST_F(Password9x, LibraryWithoutTheEntryIsFreedAndLetsTheSaverClose) {
    PlaceCpl("verify_no_entry");
    EXPECT_TRUE(VerifySaverPassword(window));
    EXPECT_EQ(Traces(), Lines({"Unable to get VerifyPwProc address. Aborting"}));
    EXPECT_EQ(RecordLines(), Lines({"noentry attach", "noentry detach"}));
    EXPECT_FALSE(pwtest::Loaded(CplInSystem));
}

TEST_F(Password9x, AnswerZeroKeepsTheSaverAnyOtherLetsItClose) {
    PlaceCpl("verify_password");
    struct Case {
        const char* answer;
        bool mayClose;
    };
    for (const Case& c : {Case{"0", false}, Case{"1", true}, Case{"2", true}, Case{"-1", true},
                          Case{"0x100", true}}) {
        pwtest::ClearRecord();
        Traces().clear();
        SetEnvironmentVariableA("MIRROWEN_PW_ANSWER", c.answer);
        EXPECT_EQ(VerifySaverPassword(window), c.mayClose) << c.answer;
        EXPECT_EQ(Traces(), Lines({"About to call VerifyPwProc"})) << c.answer;
        // Loaded for the one call, given the window, and freed again.
        const std::string call =
            "VerifyScreenSavePwd " + pwtest::HandleText(window) + " -> " + std::to_string(std::strtol(c.answer, nullptr, 0));
        EXPECT_EQ(RecordLines(), Lines({"verify attach", call, "verify detach"})) << c.answer;
        EXPECT_FALSE(pwtest::Loaded(CplInSystem)) << c.answer;
    }
}

// Only the system directory counts: a library of the name beside the program
// or in the current directory is never loaded.
TEST_F(Password9x, LibraryBesideTheProgramOrInTheCurrentDirectoryIsNotLoaded) {
    const std::string beside = pwtest::ProgramDir() + "\\PASSWORD.CPL";
    const std::string current = pwtest::ProgramDir() + "\\cwd";
    CreateDirectoryA(current.c_str(), nullptr);
    ASSERT_TRUE(pwtest::Copy(pwtest::FixturePath("verify_password"), beside));
    ASSERT_TRUE(pwtest::Copy(pwtest::FixturePath("verify_password"), current + "\\PASSWORD.CPL"));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(current.c_str());
    SetEnvironmentVariableA("MIRROWEN_PW_ANSWER", "0");
    const bool mayClose = VerifySaverPassword(window);
    SetCurrentDirectoryA(previous);
    DeleteFileA(beside.c_str());
    DeleteFileA((current + "\\PASSWORD.CPL").c_str());
    EXPECT_TRUE(mayClose);
    EXPECT_EQ(Traces(), Lines({"Unable to load PASSWORD.CPL. Aborting"}));
    EXPECT_FALSE(pwtest::RecordExists());
}

// The close procedure with a check that fails, then one that succeeds, on a
// real window of the saver's procedure.
class SaverWindow9x : public Password9x {
protected:
    void SetUp() override {
        Password9x::SetUp();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = SaverWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MirrowenSaverWindow9xTest";
        RegisterClassA(&wc);
        record.MouseThreshold = 50;
        record.CheckingPassword = 0;
        Settings = &record;
        RunMode = RunModeSaver;
        MouseMoveCount = 0;
        SetCursorPos(400, 400);
        saver = CreateWindowExA(0, wc.lpszClassName, "Saver", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                                wc.hInstance, nullptr);
        ASSERT_NE(saver, nullptr);
        PlaceCpl("verify_password");
    }
    void TearDown() override {
        if (IsWindow(saver)) DestroyWindow(saver);
        Pump();
        Settings = nullptr;
        RunMode = RunModeNone;
        UnregisterClassA("MirrowenSaverWindow9xTest", GetModuleHandleA(nullptr));
        Password9x::TearDown();
    }
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message != WM_QUIT) DispatchMessageA(&msg);
    }
    bool ClosePosted() {
        MSG msg;
        return PeekMessageA(&msg, saver, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) != 0;
    }
    void MoveMessagesTo(int x, int y, int count) {
        SetCursorPos(x, y);
        for (int i = 0; i < count; ++i) SendMessageA(saver, WM_MOUSEMOVE, 0, 0);
    }
    int Checks() {
        int count = 0;
        for (const std::string& line : RecordLines())
            if (line.rfind("VerifyScreenSavePwd " + pwtest::HandleText(saver), 0) == 0) ++count;
        return count;
    }
    SaverSettings record;
    HWND saver = nullptr;
};

TEST_F(SaverWindow9x, FailedCheckKeepsTheSaverAndStartsCountingAgain) {
    SetEnvironmentVariableA("MIRROWEN_PW_ANSWER", "0");
    MoveMessagesTo(1000, 1000, 11);  // the eleventh is beyond the threshold: a close
    ASSERT_TRUE(ClosePosted());
    // The check runs when the close arrives; the cursor has moved meanwhile.
    SetCursorPos(600, 500);
    Pump();
    EXPECT_EQ(Checks(), 1);
    EXPECT_TRUE(IsWindow(saver));
    EXPECT_EQ(record.CloseRequested, 1);
    EXPECT_EQ(record.CheckingPassword, 0);
    EXPECT_EQ(MouseMoveCount, 0);
    EXPECT_EQ(record.CursorStart.x, 600);
    EXPECT_EQ(record.CursorStart.y, 500);
    EXPECT_EQ(GetCursor(), nullptr);
    EXPECT_EQ(Traces().back(), "WM_CLOSE: but failed password, so doing nothing");

    // Ten free moves again, then distance from where the check ended.
    MoveMessagesTo(50, 50, 10);
    EXPECT_FALSE(ClosePosted());
    MoveMessagesTo(650, 550, 1);
    EXPECT_FALSE(ClosePosted());
    MoveMessagesTo(651, 500, 1);
    EXPECT_TRUE(ClosePosted());

    // That close, answered yes, ends the saver.
    SetEnvironmentVariableA("MIRROWEN_PW_ANSWER", "1");
    Pump();
    EXPECT_EQ(Checks(), 2);
    EXPECT_FALSE(IsWindow(saver));
}

TEST_F(SaverWindow9x, OutsideCloseAfterAFailedCheckStartsANewCheck) {
    SetEnvironmentVariableA("MIRROWEN_PW_ANSWER", "0");
    // Before any input an outside close runs no check.
    EXPECT_EQ(SendMessageA(saver, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(Checks(), 0);
    SendMessageA(saver, WM_KEYDOWN, 'K', 0);
    Pump();
    EXPECT_EQ(Checks(), 1);
    EXPECT_TRUE(IsWindow(saver));
    EXPECT_EQ(SendMessageA(saver, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(Checks(), 2);
    EXPECT_TRUE(IsWindow(saver));
    SetEnvironmentVariableA("MIRROWEN_PW_ANSWER", "7");
    EXPECT_EQ(SendMessageA(saver, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(Checks(), 3);
    EXPECT_FALSE(IsWindow(saver));
}

}  // namespace
