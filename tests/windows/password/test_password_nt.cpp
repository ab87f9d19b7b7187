// The password hooks on the NT family (Wine's default), against real
// libraries in the prefix's system directory: verification loads nothing,
// and the change (the saver's /a) calls the system's MPR.DLL. The tests run
// with WINEDLLOVERRIDES=mpr=n, so Wine takes a library found in the system
// directory under that name over its built-in one, and Wine's own file
// there (a placeholder for the built-in) counts as no library at all.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "password_test_support.h"
#include "windows/actions.h"
#include "windows/instance.h"
#include "windows/password_hooks.h"

namespace {

using pwtest::RecordLines;
using pwtest::Traces;
using Lines = std::vector<std::string>;

const std::string CplInSystem = pwtest::SystemPath("PASSWORD.CPL");
const std::string MprInSystem = pwtest::SystemPath("mpr.dll");

TEST(PasswordNt, VerificationLoadsNothingEvenWithALibraryPresent) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    ASSERT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    pwtest::ClearRecord();
    ASSERT_TRUE(pwtest::Copy(pwtest::FixturePath("verify_password"), CplInSystem));
    SetEnvironmentVariableA("MIRROWEN_PW_ANSWER", "0");
    pwtest::StartTraceCapture();
    const bool mayClose = VerifySaverPassword(nullptr);
    pwtest::StopTraceCapture();
    DeleteFileA(CplInSystem.c_str());
    SetEnvironmentVariableA("MIRROWEN_PW_ANSWER", nullptr);
    EXPECT_TRUE(mayClose);
    EXPECT_FALSE(pwtest::RecordExists());
    EXPECT_TRUE(Traces().empty());
}

// Puts Wine's own mpr.dll aside for the test and back afterwards; a copy
// left aside by an interrupted run is the original and is kept.
class PasswordChange : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetFileAttributesA(Aside().c_str()) == INVALID_FILE_ATTRIBUTES) {
            ASSERT_TRUE(pwtest::Copy(MprInSystem, Aside())) << GetLastError();
        }
        // Removed: under mpr=n a native library is the only one Wine would take.
        DeleteFileA(MprInSystem.c_str());
        ASSERT_FALSE(pwtest::Loaded(MprInSystem));
        pwtest::ClearRecord();
        pwtest::StartTraceCapture();
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override {
        pwtest::StopTraceCapture();
        DestroyWindow(owner);
        if (pwtest::Copy(Aside(), MprInSystem)) DeleteFileA(Aside().c_str());
        for (const std::string& planted : planted_) DeleteFileA(planted.c_str());
    }
    static std::string Aside() { return pwtest::ProgramDir() + "\\mpr-wine-original.dll"; }
    void PlaceMpr(const char* fixture) {
        ASSERT_TRUE(pwtest::Copy(pwtest::FixturePath(fixture), MprInSystem)) << GetLastError();
    }
    // A library named MPR.DLL in a folder other than the system directory.
    void Plant(const std::string& dir) {
        CreateDirectoryA(dir.c_str(), nullptr);
        const std::string path = dir + "\\MPR.DLL";
        ASSERT_TRUE(pwtest::Copy(pwtest::FixturePath("change_password"), path));
        planted_.push_back(path);
    }
    HWND owner = nullptr;

private:
    std::vector<std::string> planted_;
};

TEST_F(PasswordChange, CallsTheEntryWithScrsaveTheOwnerAndTwoZeros) {
    PlaceMpr("change_password");
    ChangeSaverPassword(FromHwnd(owner));
    EXPECT_EQ(RecordLines(), Lines({"change attach", "PwdChangePasswordA \"SCRSAVE\" " + pwtest::HandleText(owner) + " 0 0",
                                    "change detach"}));
    EXPECT_TRUE(Traces().empty());
    EXPECT_FALSE(pwtest::Loaded(MprInSystem));
}

TEST_F(PasswordChange, MissingLibraryDoesNothing) {
    ChangeSaverPassword(FromHwnd(owner));
    EXPECT_EQ(Traces(), Lines({"MPR.DLL not found: cannot change password."}));
    EXPECT_FALSE(pwtest::RecordExists());
}

TEST_F(PasswordChange, LibraryWithoutTheEntryIsFreed) {
    PlaceMpr("change_no_entry");
    ChangeSaverPassword(FromHwnd(owner));
    EXPECT_EQ(Traces(), Lines({"PwdChangeProc not found: cannot change password"}));
    EXPECT_EQ(RecordLines(), Lines({"noentry attach", "noentry detach"}));
    EXPECT_FALSE(pwtest::Loaded(MprInSystem));
}

TEST_F(PasswordChange, LibraryBesideTheProgramOrInTheCurrentDirectoryIsNotLoaded) {
    Plant(pwtest::ProgramDir());
    const std::string current = pwtest::ProgramDir() + "\\cwd";
    Plant(current);
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(current.c_str());
    ChangeSaverPassword(FromHwnd(owner));
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(Traces(), Lines({"MPR.DLL not found: cannot change password."}));
    EXPECT_FALSE(pwtest::RecordExists());
}

// The saver itself with /a: a copy beside this program, started as the host
// starts it, in a current directory of the test's choice.
class SaverChangePassword : public PasswordChange {
protected:
    // The saver's exit code, or -1 when it did not end in time.
    long Run(const char* arguments, const std::string& directory) {
        std::string line = "\"" + pwtest::ProgramDir() + "\\Mirrowen.scr\" " + arguments;
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back(0);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &si,
                            &pi)) {
            ADD_FAILURE() << "CreateProcess " << line << ": " << GetLastError();
            return -1;
        }
        DWORD code = 0;
        if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) {
            TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, 5000);
            code = static_cast<DWORD>(-1);
        } else {
            GetExitCodeProcess(pi.hProcess, &code);
        }
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return static_cast<long>(code);
    }
};

TEST_F(SaverChangePassword, OwnerFromTheCommandLineOrNone) {
    PlaceMpr("change_password");
    EXPECT_EQ(Run("/a 1234", pwtest::ProgramDir()), 0);
    EXPECT_EQ(RecordLines(), Lines({"change attach", "PwdChangePasswordA \"SCRSAVE\" 1234 0 0", "change detach"}));
    pwtest::ClearRecord();
    EXPECT_EQ(Run("/a", pwtest::ProgramDir()), 0);
    EXPECT_EQ(RecordLines(), Lines({"change attach", "PwdChangePasswordA \"SCRSAVE\" 0 0 0", "change detach"}));
}

TEST_F(SaverChangePassword, MissingLibraryOrEntryDoesNothing) {
    EXPECT_EQ(Run("/a 1234", pwtest::ProgramDir()), 0);
    EXPECT_FALSE(pwtest::RecordExists());
    PlaceMpr("change_no_entry");
    EXPECT_EQ(Run("/a 1234", pwtest::ProgramDir()), 0);
    EXPECT_EQ(RecordLines(), Lines({"noentry attach", "noentry detach"}));
}

TEST_F(SaverChangePassword, LibraryBesideTheSaverOrInItsCurrentDirectoryIsNotLoaded) {
    Plant(pwtest::ProgramDir());
    const std::string current = pwtest::ProgramDir() + "\\cwd";
    Plant(current);
    EXPECT_EQ(Run("/a 1234", current), 0);
    EXPECT_FALSE(pwtest::RecordExists());
}

}  // namespace
