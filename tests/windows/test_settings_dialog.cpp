// The settings dialog and About box, run for real through Wine's dialog
// manager and trackbars. The dialog is modal on this thread; a second thread
// acts as the user, sending the messages that clicks and key presses send,
// and the registry is read afterwards.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "resources/resource_ids.h"
#include "settings/memory_store.h"
#include "settings/presets.h"
#include "settings/saver_settings.h"
#include "windows/registry_store.h"
#include "windows/settings_dialog.h"

namespace {

struct WindowSearch {
    const char* Title;
    HWND Found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM lParam) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    if (std::strcmp(title, search->Title) == 0 && IsWindowVisible(window)) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(DWORD thread, const char* title) {
    for (int i = 0; i < 200; ++i) {
        WindowSearch search = {title, nullptr};
        EnumThreadWindows(thread, MatchTitle, reinterpret_cast<LPARAM>(&search));
        if (search.Found) return search.Found;
        Sleep(25);
    }
    return nullptr;
}

std::string Text(HWND dialog, int id) {
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

int Position(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0));
}

// The selected entry's text, or "" when nothing is selected.
std::string Selected(HWND dialog, int id) {
    const LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return "";
    char text[64] = {};
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

// A key pressed and released on a control that has the focus.
void PressKey(HWND dialog, int id, WPARAM key, int times = 1) {
    HWND control = GetDlgItem(dialog, id);
    for (int i = 0; i < times; ++i) {
        SendMessageA(control, WM_KEYDOWN, key, 1);
        SendMessageA(control, WM_KEYUP, key, 0xC0000001);
    }
}

// The thumb grabbed with the mouse and dragged by `dx` pixels.
void DragThumb(HWND dialog, int id, int dx) {
    HWND slider = GetDlgItem(dialog, id);
    RECT thumb = {};
    SendMessageA(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int x = (thumb.left + thumb.right) / 2;
    const int y = (thumb.top + thumb.bottom) / 2;
    SendMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    for (int step = 1; step <= 4; ++step)
        SendMessageA(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dx * step / 4, y));
    SendMessageA(slider, WM_LBUTTONUP, 0, MAKELPARAM(x + dx, y));
}

// A preset picked from the list: the selection, and the notice the list
// sends its dialog when the user changes it.
void ChoosePreset(HWND dialog, const char* name) {
    HWND list = GetDlgItem(dialog, IDC_PRESET);
    const LRESULT index = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(name));
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PRESET, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

// A click on a button: posted, since OK, Cancel and About run modal loops
// or end the dialog on the dialog's own thread.
void Click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

class SettingsDialogRun : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, SaverKeyPath); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, SaverKeyPath); }

    void Store(const char* name, DWORD value) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SaverKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
    }

    // The stored value, or -1234 when there is none.
    static long Stored(const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, SaverKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1234;
        DWORD value = 0, size = sizeof value, type = 0;
        const LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long>(static_cast<LONG>(value)) : -1234;
    }

    static bool KeyExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, SaverKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    // Loads the record as the entry does, shows the dialog, and lets `user`
    // work it; `user` must end it. Returns false when no dialog appeared.
    bool Run(const std::function<void(HWND)>& user) {
        record.LoadSettings(::RegistryStore());
        const DWORD thread = GetCurrentThreadId();
        bool shown = false;
        std::thread acting([&] {
            HWND dialog = WaitForWindow(thread, "Mirrowen Settings");
            shown = dialog != nullptr;
            if (!dialog) return;
            user(dialog);
            // A user that stopped early still leaves no dialog behind.
            for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(20);
            if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        SettingsDialog dialog;
        dialog.Run(GetModuleHandleA(nullptr), 0, &record);
        acting.join();
        return shown;
    }

    SaverSettings record;
};

TEST_F(SettingsDialogRun, OkWithoutChangeCreatesTheKeyWithAll19Defaults) {
    ASSERT_TRUE(Run([](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_STAR_COUNT_LABEL), "300");
        EXPECT_EQ(Position(dialog, IDC_STAR_COUNT), 3);
        EXPECT_EQ(Selected(dialog, IDC_RESOLUTION), "640 x 480");
        Click(dialog, IDOK);
    }));
    ASSERT_TRUE(KeyExists());
    MemoryStore empty;
    SaverSettings defaults;
    defaults.LoadSettings(MemoryStoreInterface(empty));
    for (const StoredSaverValue& rule : SaverValues)
        EXPECT_EQ(Stored(rule.Name), static_cast<long>(defaults.*rule.Field + rule.Bias)) << rule.Name;
}

TEST_F(SettingsDialogRun, ControlsShowTheStoredValuesAndLabelsShowValuesNotPositions) {
    Store("StarCount", 350);
    Store("StarVel", 25);
    Store("StarSize", 0);
    Store("Gravity", 0);  // -5
    Store("Corona", 70);
    Store("BounceTop", 1);
    Store("BounceBottom", 0);
    Store("Shape", 0);
    Store("Colours", 5);
    ASSERT_TRUE(Run([](HWND dialog) {
        EXPECT_EQ(Position(dialog, IDC_STAR_COUNT), 3);
        EXPECT_EQ(Text(dialog, IDC_STAR_COUNT_LABEL), "350");
        EXPECT_EQ(Position(dialog, IDC_STAR_VEL), 20) << "beyond its range: the slider stands at its end";
        EXPECT_EQ(Text(dialog, IDC_STAR_VEL_LABEL), "25");
        EXPECT_EQ(Position(dialog, IDC_STAR_SIZE), 1);
        EXPECT_EQ(Text(dialog, IDC_STAR_SIZE_LABEL), "0");
        EXPECT_EQ(Position(dialog, IDC_GRAVITY), 0);
        EXPECT_EQ(Text(dialog, IDC_GRAVITY_LABEL), "-5");
        EXPECT_EQ(Position(dialog, IDC_CORONA), 7);
        EXPECT_EQ(Text(dialog, IDC_CORONA_LABEL), "70");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BOUNCE_TOP), static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BOUNCE_BOTTOM), static_cast<UINT>(BST_UNCHECKED));
        // Sorted lists: entries that sort in later keep the selection made
        // while filling.
        EXPECT_EQ(Selected(dialog, IDC_SHAPE), "Five-point star");
        EXPECT_EQ(Selected(dialog, IDC_COLOURS), "Infra-red");
        EXPECT_EQ(Selected(dialog, IDC_PRESET), "(Default)");
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SHAPE, CB_GETCOUNT, 0, 0), 11);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_COLOURS, CB_GETCOUNT, 0, 0), 6);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_PRESET, CB_GETCOUNT, 0, 0), 8);
        char first[64] = {};
        SendDlgItemMessageA(dialog, IDC_SHAPE, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
        EXPECT_STREQ(first, "Arrow") << "the shape list is sorted by the control";
        Click(dialog, IDOK);
    }));
    // Values between or beyond the sliders' steps survive OK unread.
    EXPECT_EQ(Stored("StarCount"), 350);
    EXPECT_EQ(Stored("StarVel"), 25);
    EXPECT_EQ(Stored("StarSize"), 0);
    EXPECT_EQ(Stored("Gravity"), 0);
    EXPECT_EQ(Stored("Colours"), 5);
}

TEST_F(SettingsDialogRun, AFinishedMoveReReadsOnlyThatSlider) {
    Store("StarCount", 350);
    Store("Corona", 55);
    ASSERT_TRUE(Run([](HWND dialog) {
        PressKey(dialog, IDC_GRAVITY, VK_HOME);
        EXPECT_EQ(Text(dialog, IDC_GRAVITY_LABEL), "-5");
        PressKey(dialog, IDC_ORIGINS, VK_RIGHT);
        EXPECT_EQ(Text(dialog, IDC_ORIGINS_LABEL), "2");
        EXPECT_EQ(Text(dialog, IDC_STAR_COUNT_LABEL), "350") << "another slider's move leaves it alone";
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored("Gravity"), 0);
    EXPECT_EQ(Stored("Origins"), 2);
    EXPECT_EQ(Stored("StarCount"), 350);
    EXPECT_EQ(Stored("Corona"), 55);
}

TEST_F(SettingsDialogRun, TheStarCountSlidersOwnMoveSnapsItToItsStep) {
    Store("StarCount", 350);
    ASSERT_TRUE(Run([](HWND dialog) {
        PressKey(dialog, IDC_STAR_COUNT, VK_RIGHT);
        PressKey(dialog, IDC_STAR_COUNT, VK_LEFT);
        EXPECT_EQ(Position(dialog, IDC_STAR_COUNT), 3);
        EXPECT_EQ(Text(dialog, IDC_STAR_COUNT_LABEL), "300");
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored("StarCount"), 300);
}

TEST_F(SettingsDialogRun, DraggingAnyThumbSnapsEverySlidersField) {
    Store("StarCount", 350);
    Store("StarVel", 25);
    Store("StarSize", 0);
    Store("Corona", 55);
    ASSERT_TRUE(Run([](HWND dialog) {
        const int before = Position(dialog, IDC_ORIGIN_SPEED);
        DragThumb(dialog, IDC_ORIGIN_SPEED, 40);
        EXPECT_GT(Position(dialog, IDC_ORIGIN_SPEED), before) << "the drag moved the thumb";
        EXPECT_EQ(Text(dialog, IDC_STAR_COUNT_LABEL), "300");
        EXPECT_EQ(Text(dialog, IDC_STAR_VEL_LABEL), "20");
        EXPECT_EQ(Text(dialog, IDC_STAR_SIZE_LABEL), "1");
        EXPECT_EQ(Text(dialog, IDC_CORONA_LABEL), "50");
        EXPECT_EQ(Text(dialog, IDC_ORIGIN_SPEED_LABEL), std::to_string(Position(dialog, IDC_ORIGIN_SPEED)));
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored("StarCount"), 300);
    EXPECT_EQ(Stored("StarVel"), 20);
    EXPECT_EQ(Stored("StarSize"), 1);
    EXPECT_EQ(Stored("Corona"), 50);
    EXPECT_GT(Stored("OriginSpeed"), 1);
}

TEST_F(SettingsDialogRun, AResolutionNotInTheListIsSavedAs640x480) {
    Store("ScrWidth", 1600);
    Store("ScrHeight", 1200);
    ASSERT_TRUE(Run([](HWND dialog) {
        EXPECT_EQ(Selected(dialog, IDC_RESOLUTION), "640 x 480");
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored("ScrWidth"), 640);
    EXPECT_EQ(Stored("ScrHeight"), 480);
}

TEST_F(SettingsDialogRun, AResolutionMatchesByItsLow16Bits) {
    Store("ScrWidth", 65536 + 1024);
    Store("ScrHeight", 768);
    ASSERT_TRUE(Run([](HWND dialog) {
        EXPECT_EQ(Selected(dialog, IDC_RESOLUTION), "1024 x 768");
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored("ScrWidth"), 1024);
    EXPECT_EQ(Stored("ScrHeight"), 768);
}

TEST_F(SettingsDialogRun, AChosenResolutionIsSaved) {
    ASSERT_TRUE(Run([](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_SETCURSEL, 3, 0);
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored("ScrWidth"), 1280);
    EXPECT_EQ(Stored("ScrHeight"), 1024);
}

TEST_F(SettingsDialogRun, DesktopResolutionComesAfterTheSizesAndKeepsTheStoredSize) {
    Store("ScrWidth", 1024);
    Store("ScrHeight", 768);
    ASSERT_TRUE(Run([](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_GETCOUNT, 0, 0), 5);
        EXPECT_EQ(Selected(dialog, IDC_RESOLUTION), "1024 x 768");
        SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_SETCURSEL, 4, 0);
        EXPECT_EQ(Selected(dialog, IDC_RESOLUTION), "Desktop resolution");
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored("NativeResolution"), 1);
    EXPECT_EQ(Stored("ScrWidth"), 1024);
    EXPECT_EQ(Stored("ScrHeight"), 768);
}

TEST_F(SettingsDialogRun, TheListOpensOnDesktopResolutionWhenItIsOnAndASizeTurnsItOff) {
    // Any non-zero value is on; the stored size still matches an entry.
    Store("NativeResolution", 7);
    Store("ScrWidth", 800);
    Store("ScrHeight", 600);
    ASSERT_TRUE(Run([](HWND dialog) {
        EXPECT_EQ(Selected(dialog, IDC_RESOLUTION), "Desktop resolution");
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored("NativeResolution"), 1);
    EXPECT_EQ(Stored("ScrWidth"), 800);
    EXPECT_EQ(Stored("ScrHeight"), 600);

    ASSERT_TRUE(Run([](HWND dialog) {
        EXPECT_EQ(Selected(dialog, IDC_RESOLUTION), "Desktop resolution");
        SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_SETCURSEL, 3, 0);
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored("NativeResolution"), 0);
    EXPECT_EQ(Stored("ScrWidth"), 1280);
    EXPECT_EQ(Stored("ScrHeight"), 1024);
}

TEST_F(SettingsDialogRun, APresetNumberOutsideTheListSelectsNothingAndIsKept) {
    Store("Preset", 9);
    ASSERT_TRUE(Run([](HWND dialog) {
        EXPECT_EQ(Selected(dialog, IDC_PRESET), "");
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored("Preset"), 9);
}

TEST_F(SettingsDialogRun, EachPresetSetsItsFourteenValuesAndNothingElse) {
    Store("StarCount", 1200);
    Store("ScrWidth", 800);
    Store("ScrHeight", 600);
    SaverSettings* edited = &record;
    ASSERT_TRUE(Run([edited](HWND dialog) {
        for (const PresetRow& row : PresetTable) {
            SCOPED_TRACE(row.Name);
            ChoosePreset(dialog, row.Name);
            EXPECT_EQ(Selected(dialog, IDC_PRESET), row.Name) << "the preset list keeps the choice";
            EXPECT_EQ(Text(dialog, IDC_STAR_VEL_LABEL), std::to_string(row.StarVel));
            EXPECT_EQ(Text(dialog, IDC_STAR_SIZE_LABEL), std::to_string(row.StarSize));
            EXPECT_EQ(Text(dialog, IDC_DECAY_LABEL), std::to_string(row.DecayRate));
            EXPECT_EQ(Text(dialog, IDC_PULSATE_LABEL), std::to_string(row.PulsateRate));
            EXPECT_EQ(Text(dialog, IDC_GRAVITY_LABEL), std::to_string(row.Gravity));
            EXPECT_EQ(Position(dialog, IDC_GRAVITY), row.Gravity + 5);
            EXPECT_EQ(Text(dialog, IDC_ORIGINS_LABEL), std::to_string(row.Origins));
            EXPECT_EQ(Text(dialog, IDC_ORIGIN_SPEED_LABEL), std::to_string(row.OriginSpeed));
            EXPECT_EQ(Text(dialog, IDC_CORONA_LABEL), std::to_string(row.Corona));
            EXPECT_EQ(Position(dialog, IDC_CORONA), row.Corona / 10);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_LENS_FLARE), static_cast<UINT>(row.LensFlare));
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BOUNCE_TOP), static_cast<UINT>(row.BounceTop));
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BOUNCE_SIDES), static_cast<UINT>(row.BounceSides));
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BOUNCE_BOTTOM), static_cast<UINT>(row.BounceBottom));
            EXPECT_EQ(Selected(dialog, IDC_SHAPE), ShapeNames[row.Shape]);
            EXPECT_EQ(Selected(dialog, IDC_COLOURS), ColourNames[row.Colours]);
            EXPECT_EQ(edited->StarCount, 1200);
            EXPECT_EQ(Text(dialog, IDC_STAR_COUNT_LABEL), "1200");
            EXPECT_EQ(Selected(dialog, IDC_RESOLUTION), "800 x 600");
        }
        Click(dialog, IDOK);
    }));
    const PresetRow& last = PresetTable[PresetCount - 1];
    EXPECT_EQ(Stored("Preset"), last.Number);
    EXPECT_EQ(Stored("StarVel"), last.StarVel);
    EXPECT_EQ(Stored("Gravity"), last.Gravity + 5);
    EXPECT_EQ(Stored("Shape"), last.Shape);
    EXPECT_EQ(Stored("Colours"), last.Colours);
    EXPECT_EQ(Stored("OriginSpeed"), last.OriginSpeed);
    EXPECT_EQ(Stored("StarCount"), 1200);
    EXPECT_EQ(Stored("ScrWidth"), 800);
    EXPECT_EQ(Stored("ScrHeight"), 600);
}

TEST_F(SettingsDialogRun, CancelAfterChangesWritesNothing) {
    Store("StarVel", 3);
    ASSERT_TRUE(Run([](HWND dialog) {
        PressKey(dialog, IDC_STAR_VEL, VK_RIGHT, 4);
        ChoosePreset(dialog, "Fireflies");
        CheckDlgButton(dialog, IDC_LENS_FLARE, BST_CHECKED);
        Click(dialog, IDCANCEL);
    }));
    EXPECT_EQ(Stored("StarVel"), 3);
    EXPECT_EQ(Stored("Preset"), -1234);
    EXPECT_EQ(Stored("Shape"), -1234);
}

TEST_F(SettingsDialogRun, EscapeCancelsAndEnterIsOk) {
    ASSERT_TRUE(Run([](HWND dialog) {
        PostMessageA(GetDlgItem(dialog, IDC_STAR_COUNT), WM_KEYDOWN, VK_ESCAPE, 1);
    }));
    EXPECT_FALSE(KeyExists());
    ASSERT_TRUE(Run([](HWND dialog) {
        PostMessageA(GetDlgItem(dialog, IDC_STAR_COUNT), WM_KEYDOWN, VK_RETURN, 1);
    }));
    EXPECT_EQ(Stored("StarCount"), 300);
}

TEST_F(SettingsDialogRun, TheAboutBoxOpensOverTheDialogAndCloses) {
    const DWORD thread = GetCurrentThreadId();
    ASSERT_TRUE(Run([thread](HWND dialog) {
        Click(dialog, IDC_ABOUT);
        HWND about = WaitForWindow(thread, "About Mirrowen");
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(GetWindow(about, GW_OWNER), dialog);
        HWND icon = FindWindowExA(about, nullptr, "Static", nullptr);
        ASSERT_NE(icon, nullptr);
        EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0) << "the About box shows the program's icon";
        HWND title = FindWindowExA(about, icon, "Static", nullptr);
        char text[64] = {};
        GetWindowTextA(title, text, sizeof text);
        EXPECT_STREQ(text, "Mirrowen Screen Saver v1.0");
        Click(about, IDOK);
        for (int i = 0; i < 100 && IsWindow(about); ++i) Sleep(20);
        EXPECT_FALSE(IsWindow(about));
        EXPECT_TRUE(IsWindow(dialog)) << "the settings dialog stays open";
        Click(dialog, IDCANCEL);
    }));
}

TEST_F(SettingsDialogRun, AMissingTemplateReturnsWithoutSaving) {
    SaverSettings loaded;
    loaded.LoadSettings(::RegistryStore());
    SettingsDialog dialog;
    dialog.Run(GetModuleHandleA("kernel32.dll"), 0, &loaded);
    EXPECT_FALSE(KeyExists());
}

}  // namespace
