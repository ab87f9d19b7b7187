// The saver's own resources, read back from Mirrowen.scr as the system
// reads them: both dialog templates control by control, string 1, the icon
// group and the version record.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

// What a control must be, as the dialog's design gives it.
struct Expected {
    int Id;
    char Kind;  // G group box, L label, V value label, S slider, D list, T sorted list,
                // C check box, P push button, O default push button, X centred text, I icon
    const char* Text;
    short X, Y, W, H;
};

// clang-format off
const Expected SettingsControls[] = {
    {-1, 'G', "General", 5, 5, 180, 195},          {-1, 'L', "&Number of Stars:", 15, 21, 55, 8},
    {1014, 'S', "", 75, 15, 84, 20},               {1016, 'V', "0", 160, 21, 15, 8},
    {-1, 'L', "Star &Velocity:", 15, 46, 55, 8},   {1015, 'S', "", 75, 40, 84, 20},
    {1017, 'V', "0", 160, 46, 15, 8},              {-1, 'L', "&Gravity:", 15, 146, 55, 8},
    {1018, 'S', "", 75, 140, 84, 20},              {1020, 'V', "0", 160, 146, 15, 8},
    {-1, 'L', "Number of &Origins:", 200, 21, 60, 8}, {1019, 'S', "", 260, 15, 84, 20},
    {1021, 'V', "0", 348, 21, 12, 8},              {-1, 'L', "Origin &Speed:", 200, 46, 60, 8},
    {1027, 'S', "", 260, 40, 84, 20},              {1028, 'V', "0", 348, 46, 12, 8},
    {-1, 'G', "Screen Mode", 190, 165, 180, 35},   {-1, 'L', "&Resolution:", 200, 181, 35, 10},
    {1026, 'D', "", 255, 180, 105, 55},            {-1, 'G', "Bouncing", 190, 105, 180, 55},
    {1011, 'C', "Bounce at the &Bottom of the Screen", 200, 120, 130, 10},
    {1012, 'C', "Bo&unce at the Top of the Screen", 200, 132, 130, 10},
    {1013, 'C', "Bounce at the S&ides of the Screen", 200, 144, 130, 10},
    {-1, 'G', "Origins", 190, 5, 180, 95},         {1029, 'P', "&About", 190, 210, 50, 15},
    {1, 'O', "OK", 265, 210, 50, 14},              {2, 'P', "Cancel", 321, 210, 50, 14},
    {-1, 'L', "&Colour scheme:", 15, 167, 50, 10}, {1030, 'T', "", 80, 166, 75, 65},
    {-1, 'L', "Star shap&es:", 15, 183, 40, 10},   {1031, 'T', "", 80, 182, 75, 65},
    {-1, 'L', "Star si&ze:", 15, 71, 60, 8},       {1032, 'S', "", 75, 65, 84, 20},
    {1033, 'V', "0", 160, 71, 15, 8},              {-1, 'L', "&Decay rate:", 15, 96, 60, 8},
    {1034, 'S', "", 75, 90, 84, 20},               {1035, 'V', "0", 160, 96, 15, 8},
    {-1, 'L', "&Pulsate speed:", 15, 121, 55, 8},  {1022, 'S', "", 75, 115, 84, 20},
    {1023, 'V', "0", 160, 121, 15, 8},             {-1, 'L', "Corona brig&htness:", 200, 71, 60, 8},
    {1036, 'S', "", 260, 65, 84, 20},              {1037, 'V', "0", 348, 71, 12, 8},
    {1024, 'C', "Draw &lens-flare", 200, 85, 130, 10}, {-1, 'L', "Prese&ts:", 15, 211, 50, 10},
    {1038, 'T', "", 80, 210, 75, 65},
};
// clang-format on

// One control as the template holds it.
struct Control {
    DWORD Style;
    short X, Y, W, H;
    int Id;
    std::string Class;  // by name, or "#<atom>" for the predefined classes
    std::string Text;   // or "#<ordinal>" for a resource reference
};

struct Template {
    DWORD Style;
    short W, H;
    std::string Title;
    int PointSize;
    std::string Font;
    std::vector<Control> Controls;
};

std::string Narrow(const WORD*& p) {
    std::string s;
    while (*p) s += static_cast<char>(*p++);
    ++p;
    return s;
}

// A name or ordinal field: 0xFFFF then a number, or a zero-ended string.
std::string NameOrOrdinal(const WORD*& p) {
    if (*p == 0xFFFF) {
        const std::string s = "#" + std::to_string(p[1]);
        p += 2;
        return s;
    }
    return Narrow(p);
}

const WORD* AlignDword(const WORD* p) {
    return reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(p) + 3) & ~static_cast<ULONG_PTR>(3));
}

Template ReadTemplate(HMODULE module, int id) {
    Template t = {};
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!found) return t;
    const auto* dialog = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, found)));
    t.Style = dialog->style;
    t.W = dialog->cx;
    t.H = dialog->cy;
    const WORD* p = reinterpret_cast<const WORD*>(dialog + 1);
    NameOrOrdinal(p);  // menu
    NameOrOrdinal(p);  // class
    t.Title = Narrow(p);
    if (t.Style & DS_SETFONT) {
        t.PointSize = *p++;
        t.Font = Narrow(p);
    }
    for (int i = 0; i < dialog->cdit; ++i) {
        p = AlignDword(p);
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        Control c;
        c.Style = item->style;
        c.X = item->x;
        c.Y = item->y;
        c.W = item->cx;
        c.H = item->cy;
        c.Id = static_cast<short>(item->id);
        p = reinterpret_cast<const WORD*>(item + 1);
        c.Class = NameOrOrdinal(p);
        c.Text = NameOrOrdinal(p);
        const WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        t.Controls.push_back(c);
    }
    return t;
}

// The predefined classes may be named or given by their atoms; either way
// the dialog manager makes the same control.
std::string ClassName(const std::string& c) {
    if (c == "#128") return "button";
    if (c == "#130") return "static";
    if (c == "#133") return "combobox";
    std::string lower = c;
    for (char& ch : lower) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    return lower;
}

// The class and style bits each kind must carry.
void CheckKind(const Control& c, char kind) {
    const DWORD type = c.Style & 0xF;
    EXPECT_TRUE(c.Style & WS_CHILD);
    EXPECT_TRUE(c.Style & WS_VISIBLE);
    switch (kind) {
    case 'G':
        EXPECT_EQ(ClassName(c.Class), "button");
        EXPECT_EQ(type, static_cast<DWORD>(BS_GROUPBOX));
        break;
    case 'L':
    case 'V':
        EXPECT_EQ(ClassName(c.Class), "static");
        EXPECT_EQ(type, static_cast<DWORD>(kind == 'L' ? SS_LEFT : SS_RIGHT));
        EXPECT_TRUE(c.Style & WS_GROUP);
        break;
    case 'S':
        EXPECT_EQ(ClassName(c.Class), "msctls_trackbar32");
        EXPECT_EQ(c.Style & (TBS_VERT | TBS_AUTOTICKS), static_cast<DWORD>(TBS_AUTOTICKS));
        EXPECT_TRUE(c.Style & WS_TABSTOP);
        break;
    case 'D':
    case 'T':
        EXPECT_EQ(ClassName(c.Class), "combobox");
        EXPECT_EQ(c.Style & 3, static_cast<DWORD>(CBS_DROPDOWNLIST));
        EXPECT_EQ((c.Style & CBS_SORT) != 0, kind == 'T');
        EXPECT_TRUE(c.Style & WS_VSCROLL);
        EXPECT_TRUE(c.Style & WS_TABSTOP);
        break;
    case 'C':
        EXPECT_EQ(ClassName(c.Class), "button");
        EXPECT_EQ(type, static_cast<DWORD>(BS_AUTOCHECKBOX));
        EXPECT_TRUE(c.Style & WS_TABSTOP);
        break;
    case 'P':
    case 'O':
        EXPECT_EQ(ClassName(c.Class), "button");
        EXPECT_EQ(type, static_cast<DWORD>(kind == 'O' ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
        EXPECT_TRUE(c.Style & WS_TABSTOP);
        break;
    default:
        ADD_FAILURE() << "unknown kind " << kind;
    }
}

class SaverResources : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExA(MIRROWEN_SCR_NAME, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << "Mirrowen.scr beside the test program";
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;
};

TEST_F(SaverResources, SettingsTemplateHasEveryControlInOrder) {
    const Template t = ReadTemplate(module, 104);
    EXPECT_EQ(t.Style & (WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT));
    EXPECT_FALSE(t.Style & WS_SYSMENU);
    EXPECT_EQ(t.W, 377);
    EXPECT_EQ(t.H, 231);
    EXPECT_EQ(t.Title, "Mirrowen Settings");
    EXPECT_EQ(t.PointSize, 8);
    EXPECT_EQ(t.Font, "MS Sans Serif");
    const std::size_t count = sizeof SettingsControls / sizeof SettingsControls[0];
    ASSERT_EQ(t.Controls.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const Expected& e = SettingsControls[i];
        const Control& c = t.Controls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " " + e.Text + " " + std::to_string(e.Id));
        EXPECT_EQ(c.Id, e.Id);
        EXPECT_EQ(c.Text, e.Text);
        EXPECT_EQ(c.X, e.X);
        EXPECT_EQ(c.Y, e.Y);
        EXPECT_EQ(c.W, e.W);
        EXPECT_EQ(c.H, e.H);
        CheckKind(c, e.Kind);
    }
    EXPECT_EQ(t.Controls[19].Style & BS_LEFT, static_cast<DWORD>(BS_LEFT)) << "\"Bouncing\" caption left-aligned";
}

TEST_F(SaverResources, AboutTemplateShowsTheIconAndTheProgramLine) {
    const Template t = ReadTemplate(module, 109);
    EXPECT_EQ(t.Style & (WS_POPUP | WS_CAPTION | DS_CENTER | DS_SETFONT),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_CENTER | DS_SETFONT));
    EXPECT_FALSE(t.Style & (WS_SYSMENU | DS_MODALFRAME));
    EXPECT_EQ(t.W, 182);
    EXPECT_EQ(t.H, 101);
    EXPECT_EQ(t.Title, "About Mirrowen");
    EXPECT_EQ(t.Font, "MS Sans Serif");
    ASSERT_EQ(t.Controls.size(), 8u);
    const Control& ok = t.Controls[0];
    EXPECT_EQ(ok.Id, IDOK);
    EXPECT_EQ(ok.Style & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_TRUE(ok.Style & WS_TABSTOP);
    EXPECT_EQ(ok.X, 125);
    EXPECT_EQ(ok.Y, 85);
    const Control& icon = t.Controls[1];
    EXPECT_EQ(ClassName(icon.Class), "static");
    EXPECT_EQ(icon.Style & 0x1F, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(icon.Text, "#1");
    EXPECT_EQ(t.Controls[2].Text, "Mirrowen Screen Saver v1.0");
    EXPECT_TRUE(t.Controls[2].Style & WS_GROUP);
    const short rows[6] = {10, 20, 35, 45, 55, 65};
    for (int i = 2; i < 8; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(t.Controls[i].Style & 0x1F, static_cast<DWORD>(SS_CENTER));
        EXPECT_EQ(t.Controls[i].X, 35);
        EXPECT_EQ(t.Controls[i].Y, rows[i - 2]);
        EXPECT_EQ(t.Controls[i].W, 140);
        EXPECT_FALSE(t.Controls[i].Text.empty());
    }
    EXPECT_NE(t.Controls[3].Text.find("Pelloquin"), std::string::npos);
    EXPECT_NE(t.Controls[5].Text.find('@'), std::string::npos);
}

TEST_F(SaverResources, NameIconAndVersionRecord) {
    char name[64] = {};
    EXPECT_EQ(LoadStringA(module, 1, name, sizeof name), 8);
    EXPECT_STREQ(name, "Mirrowen");

    // Icon group 1 offers both sizes in 16 colours.
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
    const WORD count = *reinterpret_cast<WORD*>(directory + 4);
    ASSERT_EQ(count, 2);
    bool sizes[2] = {false, false};
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = directory + 6 + 14 * i;  // GRPICONDIRENTRY
        EXPECT_EQ(entry[2], 16) << "16 colours";
        EXPECT_EQ(*reinterpret_cast<const WORD*>(entry + 6), 4) << "4 bits per pixel";
        if (entry[0] == 16 && entry[1] == 16) sizes[0] = true;
        if (entry[0] == 32 && entry[1] == 32) sizes[1] = true;
    }
    EXPECT_TRUE(sizes[0] && sizes[1]);

    const DWORD size = GetFileVersionInfoSizeA(MIRROWEN_SCR_NAME, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(MIRROWEN_SCR_NAME, 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    char* description = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904b0\\FileDescription",
                               reinterpret_cast<void**>(&description), &length));
    EXPECT_STREQ(description, "Mirrowen screensaver");
}

}  // namespace

namespace {

std::string ResourceText(HMODULE module, int id, int type) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    if (!found) return "";
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return data ? std::string(data, SizeofResource(module, found)) : "";
}

}  // namespace

TEST_F(SaverResources, ManifestIsReadByTheSystemAsPerMonitorAwareWithCommonControls6) {
    const std::string manifest = ResourceText(module, 1, 24);  // RT_MANIFEST
    ASSERT_FALSE(manifest.empty());
    // This test program carries the same manifest, so the version loaded below
    // alone would not tell; the dependency must be the saver's own.
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    // Windows 8 and later refuse 16-bit modes to a program that names them.
    for (const char* later : {"4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                              "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_EQ(manifest.find(later), std::string::npos) << later;

    // The activation context the loader builds from it.
    char path[MAX_PATH];
    GetFullPathNameA(MIRROWEN_SCR_NAME, MAX_PATH, path, nullptr);
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path;
    request.lpResourceName = MAKEINTRESOURCEA(1);
    HANDLE context = CreateActCtxA(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << GetLastError();
    wchar_t value[64] = L"";
    SIZE_T length = 0;
    ASSERT_TRUE(QueryActCtxSettingsW(0, context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                     L"dpiAwareness", value, 64, &length))
        << GetLastError();
    EXPECT_STREQ(value, L"PerMonitorV2, PerMonitor");
    ASSERT_TRUE(QueryActCtxSettingsW(0, context, nullptr, L"dpiAware", value, 64, &length)) << GetLastError();
    EXPECT_STREQ(value, L"true/pm");

    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    HMODULE controls = LoadLibraryA("comctl32.dll");
    DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
    ASSERT_NE(controls, nullptr);
    // Wine's and Windows' version 6 sits in the side-by-side store, not in
    // the system directory.
    char loaded[MAX_PATH] = "";
    GetModuleFileNameA(controls, loaded, MAX_PATH);
    std::string lower(loaded);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_NE(lower.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << loaded;
    FreeLibrary(controls);
}
