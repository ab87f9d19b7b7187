// The settings dialog (template 104) and the About box (template 109).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "resources/resource_ids.h"
#include "settings/presets.h"
#include "settings/saver_settings.h"
#include "windows/registry_store.h"
#include "windows/settings_dialog.h"

namespace {
HINSTANCE DialogInstance = nullptr;
SaverSettings* DialogSettings = nullptr;

// The resolution list's entry after the sizes: no mode switch, every monitor
// at its own resolution. Its data is no packed size (no size is 0 x 0).
const char* const DesktopResolutionText = "Desktop resolution";
constexpr LRESULT DesktopResolutionData = 0;
}  // namespace

std::uint32_t CurrentResolution = 0;

void SetSlider(HWND dialog, int sliderId, int min, int max, int value, int divisor, int offset,
               int labelId) {
    SendDlgItemMessageA(dialog, sliderId, TBM_SETRANGEMIN, FALSE, min);
    SendDlgItemMessageA(dialog, sliderId, TBM_SETRANGEMAX, FALSE, max);
    SendDlgItemMessageA(dialog, sliderId, TBM_SETPOS, TRUE, SliderPosition(value, divisor, offset));
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    SendDlgItemMessageA(dialog, labelId, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

int ReadSlider(HWND dialog, int sliderId, int multiplier, int offset, int labelId) {
    int position = static_cast<int>(SendDlgItemMessageA(dialog, sliderId, TBM_GETPOS, 0, 0));
    int value = SliderValue(position, multiplier, offset);
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    SendDlgItemMessageA(dialog, labelId, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return value;
}

namespace {
// Adds one entry with its data; selects it when the data is `selected`.
void AddListItem(HWND dialog, int listId, const char* text, LPARAM data, LPARAM selected) {
    LRESULT index = SendDlgItemMessageA(dialog, listId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index < 0) return;
    SendDlgItemMessageA(dialog, listId, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    if (data == selected) SendDlgItemMessageA(dialog, listId, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The selected entry's data, or false when there is no selection or the
// query fails.
bool SelectedData(HWND dialog, int listId, LRESULT& data) {
    LRESULT index = SendDlgItemMessageA(dialog, listId, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return false;
    data = SendDlgItemMessageA(dialog, listId, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data != CB_ERR;
}

void SelectByData(HWND dialog, int listId, LRESULT wanted) {
    LRESULT count = SendDlgItemMessageA(dialog, listId, CB_GETCOUNT, 0, 0);
    if (count == CB_ERR || count <= 0) return;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT data = SendDlgItemMessageA(dialog, listId, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
        if (data != CB_ERR && data == wanted)
            SendDlgItemMessageA(dialog, listId, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
}
}  // namespace

void AddResolution(HWND dialog, int width, int height) {
    char text[32];
    std::snprintf(text, sizeof text, "%d x %d", width, height);
    AddListItem(dialog, IDC_RESOLUTION, text, static_cast<LPARAM>(PackedResolution(width, height)),
                static_cast<LPARAM>(CurrentResolution));
}

void AddShapeItem(HWND dialog, const char* name, int number) {
    AddListItem(dialog, IDC_SHAPE, name, number, DialogSettings->Shape);
}

void AddColourItem(HWND dialog, const char* name, int number) {
    AddListItem(dialog, IDC_COLOURS, name, number, DialogSettings->Colours);
}

void AddPresetItem(HWND dialog, const char* name, int number) {
    AddListItem(dialog, IDC_PRESET, name, number, DialogSettings->Preset);
}

void RefreshPresetControls(HWND dialog) {
    SaverSettings& s = *DialogSettings;
    CheckDlgButton(dialog, IDC_BOUNCE_BOTTOM, static_cast<UINT>(s.BounceBottom));
    CheckDlgButton(dialog, IDC_BOUNCE_TOP, static_cast<UINT>(s.BounceTop));
    CheckDlgButton(dialog, IDC_BOUNCE_SIDES, static_cast<UINT>(s.BounceSides));
    CheckDlgButton(dialog, IDC_LENS_FLARE, static_cast<UINT>(s.LensFlare));
    for (const SliderBinding& b : PresetSliders)
        SetSlider(dialog, b.SliderId, b.Min, b.Max, s.*b.Field, b.Divisor, b.Offset, b.LabelId);
    SelectByData(dialog, IDC_SHAPE, s.Shape);
    SelectByData(dialog, IDC_COLOURS, s.Colours);
}

void ApplyPreset(HWND dialog) {
    LRESULT data = 0;
    if (SelectedData(dialog, IDC_PRESET, data)) {
        const PresetRow* row = FindPreset(static_cast<std::int32_t>(data));
        if (!row) return;
        ApplyPresetRow(*DialogSettings, *row);
    }
    RefreshPresetControls(dialog);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND) EndDialog(dialog, 1);
    return FALSE;
}

namespace {
void InitDialog(HWND dialog) {
    SaverSettings& s = *DialogSettings;
    CheckDlgButton(dialog, IDC_BOUNCE_BOTTOM, static_cast<UINT>(s.BounceBottom));
    CheckDlgButton(dialog, IDC_BOUNCE_TOP, static_cast<UINT>(s.BounceTop));
    CheckDlgButton(dialog, IDC_BOUNCE_SIDES, static_cast<UINT>(s.BounceSides));
    CheckDlgButton(dialog, IDC_LENS_FLARE, static_cast<UINT>(s.LensFlare));
    for (const SliderBinding& b : DialogSliders)
        SetSlider(dialog, b.SliderId, b.Min, b.Max, s.*b.Field, b.Divisor, b.Offset, b.LabelId);
    for (const Resolution& r : ResolutionList) AddResolution(dialog, r.Width, r.Height);
    const LRESULT desktop = SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_ADDSTRING, 0,
                                                reinterpret_cast<LPARAM>(DesktopResolutionText));
    if (desktop >= 0) {
        SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_SETITEMDATA, static_cast<WPARAM>(desktop),
                            DesktopResolutionData);
        if (s.NativeResolution != 0)
            SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_SETCURSEL, static_cast<WPARAM>(desktop), 0);
    }
    if (SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_GETCURSEL, 0, 0) == CB_ERR)
        SendDlgItemMessageA(dialog, IDC_RESOLUTION, CB_SETCURSEL, 0, 0);
    for (std::size_t i = 0; i < ShapeNameCount; ++i) AddShapeItem(dialog, ShapeNames[i], static_cast<int>(i));
    for (std::size_t i = 0; i < ColourNameCount; ++i) AddColourItem(dialog, ColourNames[i], static_cast<int>(i));
    for (const PresetRow& row : PresetTable) AddPresetItem(dialog, row.Name, row.Number);
}

void PressOk(HWND dialog) {
    SaverSettings& s = *DialogSettings;
    s.BounceBottom = IsDlgButtonChecked(dialog, IDC_BOUNCE_BOTTOM) == BST_CHECKED ? 1 : 0;
    s.BounceTop = IsDlgButtonChecked(dialog, IDC_BOUNCE_TOP) == BST_CHECKED ? 1 : 0;
    s.BounceSides = IsDlgButtonChecked(dialog, IDC_BOUNCE_SIDES) == BST_CHECKED ? 1 : 0;
    s.LensFlare = IsDlgButtonChecked(dialog, IDC_LENS_FLARE) == BST_CHECKED ? 1 : 0;
    LRESULT data = 0;
    const bool chosen = SelectedData(dialog, IDC_RESOLUTION, data);
    if (chosen && data == DesktopResolutionData) {
        // The stored size keeps its other uses (where stars and origins start).
        s.NativeResolution = 1;
    } else {
        s.NativeResolution = 0;
        s.ScrWidth = 640;
        s.ScrHeight = 480;
        if (chosen) {
            std::uint32_t packed = static_cast<std::uint32_t>(data);
            s.ScrWidth = static_cast<std::int32_t>(packed & 0xFFFFu);
            s.ScrHeight = static_cast<std::int32_t>(packed >> 16);
        }
    }
    if (SelectedData(dialog, IDC_SHAPE, data)) s.Shape = static_cast<std::int32_t>(data);
    if (SelectedData(dialog, IDC_COLOURS, data)) s.Colours = static_cast<std::int32_t>(data);
    if (SelectedData(dialog, IDC_PRESET, data)) s.Preset = static_cast<std::int32_t>(data);
    s.SaveSettings(RegistryStore());
    EndDialog(dialog, IDOK);
}
}  // namespace

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitDialog(dialog);
        return TRUE;
    case WM_HSCROLL: {
        int code = LOWORD(wParam);
        HWND from = reinterpret_cast<HWND>(lParam);
        for (const SliderBinding& b : DialogSliders) {
            bool ended = code == TB_ENDTRACK && from == GetDlgItem(dialog, b.SliderId);
            if (ended || code == TB_THUMBTRACK)
                DialogSettings->*b.Field = ReadSlider(dialog, b.SliderId, b.Divisor, b.Offset, b.LabelId);
        }
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            PressOk(dialog);
            break;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        case IDC_ABOUT:
            DialogBoxParamA(DialogInstance, MAKEINTRESOURCEA(IDD_ABOUT), dialog, AboutDialogProc, 0);
            break;
        case IDC_PRESET:
            if (HIWORD(wParam) == CBN_SELCHANGE) ApplyPreset(dialog);
            break;
        default:
            break;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

SettingsDialog::SettingsDialog() { InitCommonControls(); }

void SettingsDialog::Run(void* instance, WindowHandle parent, SaverSettings* settings) {
    DialogInstance = static_cast<HINSTANCE>(instance);
    DialogSettings = settings;
    CurrentResolution = PackedResolution(settings->ScrWidth, settings->ScrHeight);
    INT_PTR result = DialogBoxParamA(DialogInstance, MAKEINTRESOURCEA(IDD_SETTINGS),
                                     reinterpret_cast<HWND>(parent), ConfigDialogProc, 0);
    if (result == -1) {
        char text[16];
        std::snprintf(text, sizeof text, "%d\n", static_cast<int>(GetLastError()));
        OutputDebugStringA(text);
    }
}
