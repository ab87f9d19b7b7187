// The run loop and the console display state, in Saver mode under Wine: the
// notification that the display is off stops the frames until it is on
// again, and the field goes on from where it stood.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "gl_test_support.h"
#include "sim/corona.h"
#include "sim/random.h"
#include "sim/star_field.h"
#include "windows/actions.h"
#include "windows/instance.h"

namespace {

// GUID_CONSOLE_DISPLAY_STATE with its DWORD: 0 off, 1 on, 2 dimmed.
struct DisplayStateSetting {
    GUID PowerSetting;
    DWORD DataLength;
    DWORD State;
};
const GUID ConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

void SendDisplayState(HWND window, DWORD state) {
    DisplayStateSetting setting = {ConsoleDisplayState, sizeof(DWORD), state};
    SendMessageA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&setting));
}

std::uint64_t Frames() { return FramesShown.load(); }

std::uint64_t FramesOver(DWORD ms) {
    const std::uint64_t before = Frames();
    Sleep(ms);
    return Frames() - before;
}

// Frames shown once the loop draws again: waits for the first three, up to
// three seconds, since a busy machine may hold a frame back a while.
std::uint64_t FramesResumed() {
    const std::uint64_t before = Frames();
    for (int waited = 0; waited < 3000 && Frames() - before < 3; waited += 10) Sleep(10);
    return Frames() - before;
}

// 100 ns units of CPU the thread has used.
ULONGLONG CpuTime(HANDLE thread) {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(thread, &created, &exited, &kernel, &user);
    auto value = [](FILETIME t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

// What the thread beside the run loop saw.
struct Observations {
    HANDLE LoopThread = nullptr;
    bool Started = false;
    std::uint64_t OnBefore = 0;   // frames in 500 ms before the display went off
    std::uint64_t WhileOff = 0;   // frames in the 2 s it was off
    ULONGLONG OffCpu = 0;         // the loop's CPU time meanwhile, 100 ns units
    bool FieldKept = false;       // stars, origins, angle and generator unchanged
    std::uint64_t Dimmed = 0;     // frames while dimmed (three awaited)
    std::uint64_t OnAgain = 0;    // frames on again (three awaited)
};

DWORD WINAPI Observe(void* data) {
    Observations& seen = *static_cast<Observations*>(data);
    const std::uint64_t first = Frames();
    for (int i = 0; i < 400 && (Settings->hwnd == 0 || Frames() < first + 10); ++i) Sleep(50);
    HWND window = ToHwnd(Settings->hwnd);
    seen.Started = window != nullptr && Frames() >= first + 10;
    if (seen.Started) {
        seen.OnBefore = FramesOver(500);
        SendDisplayState(window, 0);
        // The loop handled the notification inside its message call: from
        // here on it draws nothing, so the field can be read.
        static StarFieldState field;
        std::memcpy(&field, &StarField, sizeof field);
        const float angle = CoronaAngle;
        const std::uint32_t random = MirrowenRandState();
        const ULONGLONG cpu = CpuTime(seen.LoopThread);
        seen.WhileOff = FramesOver(2000);
        seen.OffCpu = CpuTime(seen.LoopThread) - cpu;
        seen.FieldKept = std::memcmp(&field, &StarField, sizeof field) == 0 && angle == CoronaAngle &&
                         random == MirrowenRandState();
        SendDisplayState(window, 2);
        seen.Dimmed = FramesResumed();
        SendDisplayState(window, 0);
        SendDisplayState(window, 1);
        seen.OnAgain = FramesResumed();
    }
    // A key ends the saver, as a user's would.
    PostMessageA(window, WM_KEYDOWN, 'M', 0);
    return 0;
}

TEST(DisplayState, OffStopsTheSwapsAndOnGoesOnWithTheSameField) {
    PublishedSettings published(RunModeSaver);
    // The private Xvfb takes no other mode: the saver keeps the screen's.
    published.Record.NativeResolution = 1;
    Observations seen;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &seen.LoopThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    const float angleAtStart = CoronaAngle;
    const std::uint64_t framesAtStart = Frames();
    HANDLE observer = CreateThread(nullptr, 0, Observe, &seen, 0, nullptr);
    RunSaver(0);
    WaitForSingleObject(observer, 30000);
    CloseHandle(observer);
    CloseHandle(seen.LoopThread);
    DrainQueue();

    ASSERT_TRUE(seen.Started) << "the saver drew frames";
    std::printf("frames: %llu in 500 ms on, %llu in 2 s off (loop CPU %llu ms), %llu dimmed, "
                "%llu on again (3 awaited)\n",
                static_cast<unsigned long long>(seen.OnBefore), static_cast<unsigned long long>(seen.WhileOff),
                static_cast<unsigned long long>(seen.OffCpu / 10000), static_cast<unsigned long long>(seen.Dimmed),
                static_cast<unsigned long long>(seen.OnAgain));
    EXPECT_GT(seen.OnBefore, 0u);
    EXPECT_EQ(seen.WhileOff, 0u) << "no frame while the display is off";
    EXPECT_LT(seen.OffCpu, 2000u * 10000u / 10) << "the loop waits, it does not spin";
    EXPECT_TRUE(seen.FieldKept) << "the field stands still while the display is off";
    EXPECT_GT(seen.Dimmed, 0u) << "a dimmed display still shows the saver";
    EXPECT_GT(seen.OnAgain, 0u);
    // One simulation step per frame shown, from start to end: nothing caught
    // up for the time the display was off.
    float angle = angleAtStart;
    for (std::uint64_t i = framesAtStart; i < Frames(); ++i)
        angle = static_cast<float>(static_cast<double>(angle) - static_cast<double>(0.1f));
    EXPECT_EQ(angle, CoronaAngle);
}

}  // namespace
