// The settings window's real GTK widgets, driven in-process: what they show
// of a file, what a change writes, the preview's pixels against the frame
// drawing, and files that cannot be written or are damaged.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "linux/mirrowen-settings/settings_window.h"
#include "linux/mirrowen-settings/test_run.h"
#include "render/viewport.h"
#include "sim/corona.h"
#include "sim/random.h"
#include "sim/seed_clock.h"
#include "sim/star_field.h"
#include "tests/frame_agreement.h"

namespace {

GtkApplication* App = nullptr;
// Where the stand-in programs are (--standins).
std::string Standins;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

struct TempDir {
    std::string Path;
    TempDir() {
        char name[] = "/tmp/mirrowen-settings-XXXXXX";
        Path = mkdtemp(name);
    }
    ~TempDir() { std::system(("rm -rf '" + Path + "'").c_str()); }
};

// Lets the main loop run a while: the preview keeps it busy, so it is never idle.
void Pump() {
    const gint64 end = g_get_monotonic_time() + 100000;
    while (g_get_monotonic_time() < end) g_main_context_iteration(nullptr, FALSE);
}

// Runs the main loop until `done` holds, for ten seconds at most.
template <typename Check>
bool PumpUntil(Check done) {
    const gint64 end = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
    while (!done()) {
        if (g_get_monotonic_time() > end) return false;
        g_main_context_iteration(nullptr, FALSE);
    }
    return true;
}

const std::string Key = "[HKEY_CURRENT_USER\\Software\\Pelloquin\\ScreenSavers\\Mirrowen]";

std::string Dword(const char* name, unsigned value) {
    char text[64];
    std::snprintf(text, sizeof text, "\"%s\"=dword:%08x", name, value);
    return text;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The window over a file; closed at the end of the test.
struct Window {
    SettingsWindow* W;
    explicit Window(const std::string& path) : W(CreateSettingsWindow(App, path)) {
        gtk_window_present(W->Window);
        Pump();
    }
    ~Window() {
        DestroySettingsWindow(W);
        Pump();
    }
    SettingsWindow* operator->() const { return W; }
};

GtkRange* SliderOf(SettingsWindow* w, std::int32_t SaverSettings::*field) {
    for (std::size_t i = 0; i < DialogSliderCount; ++i)
        if (DialogSliders[i].Field == field) return w->Sliders[i];
    return nullptr;
}

}  // namespace

TEST(SettingsWindow, ControlsShowTheFileAndEachChangeWritesItsValue) {
    TempDir dir;
    const std::string path = dir.Path + "/mirrowen.reg";
    WriteText(path, "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Kept\"=\"as it was\"\r\n\r\n" + Key +
                        "\r\n" + Dword("StarCount", 500) + "\r\n" + Dword("Gravity", 2) + "\r\n" +
                        Dword("Shape", 2) + "\r\n" + Dword("BounceTop", 1) + "\r\n" + Dword("ScrWidth", 800) +
                        "\r\n" + Dword("ScrHeight", 600) + "\r\n\"Comment\"=hex:01,02\r\n");
    Window w(path);
    EXPECT_EQ(gtk_range_get_value(SliderOf(w.W, &SaverSettings::StarCount)), 500);
    EXPECT_EQ(gtk_range_get_value(SliderOf(w.W, &SaverSettings::Gravity)), -3);  // stored 0..10, shown -5..5
    EXPECT_EQ(adw_combo_row_get_selected(w->Shape), 2u);
    EXPECT_EQ(adw_combo_row_get_selected(w->Resolution), 1u);
    EXPECT_TRUE(gtk_switch_get_active(w->BounceTop));
    EXPECT_TRUE(gtk_switch_get_active(w->BounceBottom));  // absent: the default
    EXPECT_EQ(adw_combo_row_get_selected(w->FrameRate), 0u);  // 60 frames a second

    // A slider takes the dialog's steps: 1234 stars are kept as 1200.
    gtk_range_set_value(SliderOf(w.W, &SaverSettings::StarCount), 1234);
    Pump();
    EXPECT_TRUE(Has(ReadText(path), Dword("StarCount", 1200)));
    gtk_range_set_value(SliderOf(w.W, &SaverSettings::Gravity), 4);
    adw_combo_row_set_selected(w->Colours, 3);
    gtk_switch_set_active(w->BounceSides, TRUE);
    adw_combo_row_set_selected(w->Resolution, 3);
    adw_combo_row_set_selected(w->FrameRate, 2);  // 30 frames a second
    Pump();
    std::string text = ReadText(path);
    EXPECT_TRUE(Has(text, Dword("Gravity", 9))) << text;
    EXPECT_TRUE(Has(text, Dword("Colours", 3))) << text;
    EXPECT_TRUE(Has(text, Dword("BounceSides", 1))) << text;
    EXPECT_TRUE(Has(text, Dword("ScrWidth", 1280) + "\r\n" + Dword("ScrHeight", 1024))) << text;
    EXPECT_TRUE(Has(text, Dword("FrameDelay", 33333))) << text;
    EXPECT_TRUE(Has(text, "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"Kept\"=\"as it was\"\r\n")) << text;
    EXPECT_TRUE(Has(text, "\"Comment\"=hex:01,02\r\n")) << text;
    EXPECT_FALSE(gtk_revealer_get_reveal_child(w->ErrorBar));

    // A preset sets its fourteen values and leaves the count and the size.
    EXPECT_EQ(adw_combo_row_get_selected(w->Preset), GTK_INVALID_LIST_POSITION);
    adw_combo_row_set_selected(w->Preset, 6);  // Crazy comets
    Pump();
    const PresetRow& comets = *FindPreset(7);
    text = ReadText(path);
    EXPECT_TRUE(Has(text, Dword("StarVel", comets.StarVel) + "\r\n")) << text;
    EXPECT_TRUE(Has(text, Dword("DecayRate", comets.DecayRate))) << text;
    EXPECT_TRUE(Has(text, Dword("Shape", comets.Shape))) << text;
    EXPECT_TRUE(Has(text, Dword("Colours", comets.Colours))) << text;
    EXPECT_TRUE(Has(text, Dword("Origins", comets.Origins))) << text;
    EXPECT_TRUE(Has(text, Dword("Corona", comets.Corona))) << text;
    EXPECT_TRUE(Has(text, Dword("Gravity", comets.Gravity + 5))) << text;
    EXPECT_TRUE(Has(text, Dword("BounceSides", 0))) << text;
    EXPECT_TRUE(Has(text, Dword("Preset", 7))) << text;
    EXPECT_TRUE(Has(text, Dword("StarCount", 1200))) << text;
    EXPECT_TRUE(Has(text, Dword("ScrWidth", 1280))) << text;
    EXPECT_EQ(gtk_range_get_value(SliderOf(w.W, &SaverSettings::DecayRate)), comets.DecayRate);
    EXPECT_EQ(adw_combo_row_get_selected(w->Shape), static_cast<guint>(comets.Shape));
    EXPECT_EQ(adw_combo_row_get_selected(w->Preset), 6u);
    // Any other value: no preset matches.
    gtk_range_set_value(SliderOf(w.W, &SaverSettings::OriginSpeed), 9);
    Pump();
    EXPECT_EQ(adw_combo_row_get_selected(w->Preset), GTK_INVALID_LIST_POSITION);

    // Back to the built-in defaults, the frame rate too.
    g_signal_emit_by_name(w->Defaults, "clicked");
    Pump();
    SaverSettings defaults;
    SetDefaultSaverValues(defaults);
    text = ReadText(path);
    for (const StoredSaverValue& rule : SaverValues) {
        if (rule.Field == &SaverSettings::NativeResolution) continue;  // the Windows saver's own choice: left alone
        EXPECT_TRUE(Has(text, Dword(rule.Name, static_cast<unsigned>(defaults.*rule.Field + rule.Bias)))) << rule.Name;
    }
    EXPECT_FALSE(Has(text, "NativeResolution")) << text;
    EXPECT_TRUE(Has(text, Dword("FrameDelay", 16667))) << text;
    EXPECT_EQ(gtk_range_get_value(SliderOf(w.W, &SaverSettings::StarCount)), 300);
    EXPECT_TRUE(Has(text, "\"Kept\"=\"as it was\"")) << text;
}

TEST(SettingsWindow, AFileThatCannotBeWrittenIsToldAndLeftWhole) {
    TempDir dir;
    const std::string path = dir.Path + "/mirrowen.reg";
    const std::string before = "REGEDIT4\r\n\r\n" + Key + "\r\n" + Dword("Origins", 3) + "\r\n";
    WriteText(path, before);
    Window w(path);
    EXPECT_FALSE(gtk_revealer_get_reveal_child(w->ErrorBar));
    // No file may grow (the tests run as root, whom permissions do not stop).
    signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit none = old;
    none.rlim_cur = 0;
    // The switch saves as it flips; nothing else may run meanwhile (the
    // compositor's buffers are files too).
    setrlimit(RLIMIT_FSIZE, &none);
    gtk_switch_set_active(w->LensFlare, TRUE);
    setrlimit(RLIMIT_FSIZE, &old);
    Pump();
    EXPECT_TRUE(gtk_revealer_get_reveal_child(w->ErrorBar));
    const std::string message = gtk_label_get_text(w->ErrorText);
    EXPECT_TRUE(Has(message, "Could not save the settings to " + path)) << message;
    EXPECT_EQ(ReadText(path), before);
    EXPECT_EQ(std::system(("test $(ls -A '" + dir.Path + "' | wc -l) -eq 1").c_str()), 0) << "a temporary file was left";

    // The next change that can be written writes them all and clears the message.
    gtk_switch_set_active(w->BounceTop, TRUE);
    Pump();
    EXPECT_FALSE(gtk_revealer_get_reveal_child(w->ErrorBar));
    EXPECT_TRUE(Has(ReadText(path), Dword("LensFlare", 1)));
}

TEST(SettingsWindow, ADamagedFileShowsWhatIsReadableAndKeepsTheRest) {
    TempDir dir;
    const std::string path = dir.Path + "/mirrowen.reg";
    WriteText(path, "REGEDIT4\r\n\r\n" + Key + "\r\n" + Dword("Origins", 3) + "\r\n\"StarVel\"=dword:zz\r\n" +
                        "half a line\r\n" + Dword("Corona", 40) + "\r\n[HKEY_CURRENT_USER\\Broken\r\n");
    Window w(path);
    EXPECT_TRUE(gtk_revealer_get_reveal_child(w->ErrorBar));
    EXPECT_EQ(gtk_range_get_value(SliderOf(w.W, &SaverSettings::Origins)), 3);
    EXPECT_EQ(gtk_range_get_value(SliderOf(w.W, &SaverSettings::Corona)), 40);
    EXPECT_EQ(gtk_range_get_value(SliderOf(w.W, &SaverSettings::StarVel)), 4);  // the default
    gtk_range_set_value(SliderOf(w.W, &SaverSettings::StarSize), 9);
    Pump();
    const std::string text = ReadText(path);
    EXPECT_TRUE(Has(text, "\"StarVel\"=dword:zz\r\nhalf a line\r\n")) << text;
    EXPECT_TRUE(Has(text, "[HKEY_CURRENT_USER\\Broken\r\n")) << text;
    EXPECT_TRUE(Has(text, Dword("StarSize", 9))) << text;
    EXPECT_TRUE(Has(text, Dword("Origins", 3))) << text;
}

TEST(SettingsWindow, ThePreviewDrawsWhatTheFrameDrawingDrawsAndMoves) {
    TempDir dir;
    Window w(dir.Path + "/mirrowen.reg");
    ASSERT_EQ(w->PreviewError, "");
    SettingsPreview& preview = w->Preview;
    // Ticks would move the field between the steps below.
    StopPreviewTicks(preview);
    SeedClock = [] { return std::int64_t{1234}; };
    for (agreement::Setting setting : agreement::Settings) {
        SaverSettings& s = w->Document.Values;
        SetDefaultSaverValues(s);
        agreement::Apply(setting, s);
        ASSERT_TRUE(ReloadPreviewShape(preview));
        RestartPreviewField();
        for (int i = 0; i < 150; ++i) StepSimulation();
        const StarFieldState field = StarField;
        const float corona = CoronaAngle;
        const std::uint32_t random = MirrowenRandState();
        ASSERT_TRUE(DrawPreviewFrame(preview));
        const std::vector<unsigned char> shown = preview.Pixels;

        // The same state drawn quad by quad, the reference.
        StarField = field;
        CoronaAngle = corona;
        MirrowenSrand(random);
        ASSERT_TRUE(MakePreviewCurrent(preview));
        ResizeViewport(preview.Width, preview.Height);
        std::vector<unsigned char> reference;
        agreement::DrawWith(FrameRenderer::Immediate, preview.Width, preview.Height, reference);
        SelectFrameRenderer(FrameRenderer::Batched);
        ReleasePreview(preview);
        const agreement::Comparison c = agreement::Compare(reference, shown, preview.Width, preview.Height);
        agreement::Print(setting, c);
        EXPECT_TRUE(c.Agrees()) << agreement::Name(setting);
        EXPECT_GT(c.LitPixels, 1000) << agreement::Name(setting);

        // The next frame is another picture, and the window shows it.
        ASSERT_TRUE(DrawPreviewFrame(preview));
        ASSERT_TRUE(DrawPreviewFrame(preview));
        int changed = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) changed += shown[i] != preview.Pixels[i];
        EXPECT_GT(changed, 1000) << agreement::Name(setting);
    }
    SeedClock = SystemCalendarTime;
    GdkPaintable* shownPicture = gtk_picture_get_paintable(preview.Picture);
    ASSERT_NE(shownPicture, nullptr);
    EXPECT_EQ(gdk_paintable_get_intrinsic_width(shownPicture), 640);
    EXPECT_EQ(gdk_paintable_get_intrinsic_height(shownPicture), 360);
}

TEST(SettingsWindow, AboutAndTheTestRunOfTheSession) {
    TempDir dir;
    Window w(dir.Path + "/mirrowen.reg");
    g_signal_emit_by_name(w->About, "clicked");
    Pump();
    AdwAboutWindow* about = nullptr;
    GListModel* toplevels = gtk_window_get_toplevels();
    for (guint i = 0; i < g_list_model_get_n_items(toplevels); ++i) {
        GObject* window = G_OBJECT(g_list_model_get_item(toplevels, i));
        if (ADW_IS_ABOUT_WINDOW(window)) about = ADW_ABOUT_WINDOW(window);
        g_object_unref(window);
    }
    ASSERT_NE(about, nullptr);
    EXPECT_STREQ(adw_about_window_get_application_name(about), "Mirrowen");
    EXPECT_STREQ(adw_about_window_get_version(about), MIRROWEN_VERSION);
    EXPECT_STREQ(adw_about_window_get_copyright(about), "Copyright (C) 2026 Pelloquin");
    EXPECT_TRUE(Has(adw_about_window_get_comments(about),
                    "Send comments by e-mail to:\nmirrowen@example.org\nFind updates on the web at:\n"
                    "https://mirrowen.example.org/"));
    gtk_window_destroy(GTK_WINDOW(about));

    const std::vector<std::string> command = TestRunCommand("/x/mirrowen", w->Window);
    ASSERT_FALSE(command.empty());
    EXPECT_EQ(command[0], "/x/mirrowen");
    if (std::getenv("WAYLAND_DISPLAY") != nullptr && std::getenv("DISPLAY") == nullptr) {
        EXPECT_EQ(command, (std::vector<std::string>{"/x/mirrowen", "--wayland"}));
    } else {
        ASSERT_EQ(command.size(), 4u);
        EXPECT_EQ(command[1], "-window");
        EXPECT_EQ(command[3], "1280x1024+0+0");  // the test display's one monitor
    }
}

TEST(SettingsWindow, ChangesOthersMakeToTheFileAreKeptAndShown) {
    TempDir dir;
    // Kept by a dotfile manager: the settings file is a link.
    ASSERT_EQ(system(("mkdir '" + dir.Path + "/dotfiles' '" + dir.Path + "/config'").c_str()), 0);
    const std::string target = dir.Path + "/dotfiles/mirrowen.reg";
    const std::string path = dir.Path + "/config/mirrowen.reg";
    ASSERT_EQ(symlink("../dotfiles/mirrowen.reg", path.c_str()), 0);
    WriteText(target, "REGEDIT4\r\n\r\n" + Key + "\r\n" + Dword("StarCount", 500) + "\r\n" + Dword("Origins", 3) +
                          "\r\n" + Dword("Corona", 40) + "\r\n");
    Window w(path);

    // Another writer, as `mirrowen -save-settings -count 800` writes, just
    // before a slider moves: both changes are in the file, and shown.
    FileStore other;
    ASSERT_TRUE(LoadFileStore(other, path));
    SaverSettings values;
    values.LoadSettings(FileStoreInterface(other));
    values.StarCount = 800;
    values.SaveSettings(FileStoreInterface(other));
    gtk_range_set_value(SliderOf(w.W, &SaverSettings::Origins), 2);
    std::string text = ReadText(path);
    EXPECT_TRUE(Has(text, Dword("StarCount", 800))) << text;
    EXPECT_TRUE(Has(text, Dword("Origins", 2))) << text;
    EXPECT_EQ(gtk_range_get_value(SliderOf(w.W, &SaverSettings::StarCount)), 800);
    struct stat info;
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link was replaced";

    // A change by hand to the link's target is seen, and the preview draws it.
    WriteText(target, "REGEDIT4\r\n\r\n" + Key + "\r\n" + Dword("Corona", 20) + "\r\n");
    EXPECT_TRUE(PumpUntil([&] { return gtk_range_get_value(SliderOf(w.W, &SaverSettings::Corona)) == 20; }));
    EXPECT_EQ(Settings->Corona, 20);
    EXPECT_EQ(gtk_range_get_value(SliderOf(w.W, &SaverSettings::Origins)), 1);  // gone from the file: the default
    EXPECT_EQ(ReadText(target), "REGEDIT4\r\n\r\n" + Key + "\r\n" + Dword("Corona", 20) + "\r\n");
}

// The stand-in systemctl on PATH, logging into the test's folder, which is
// also where systemd's user units would be.
struct StandinSystemctl {
    std::string Log;
    std::string Path = std::getenv("PATH");
    explicit StandinSystemctl(const std::string& dir) : Log(dir + "/systemctl.log") {
        setenv("SYSTEMCTL_LOG", Log.c_str(), 1);
        setenv("PATH", (Standins + ":" + Path).c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    }
    ~StandinSystemctl() {
        setenv("PATH", Path.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
    }
};

TEST(SettingsWindow, StartWhenIdleRunsSystemctlBesideTheWindow) {
    ASSERT_FALSE(Standins.empty()) << "give --standins DIR";
    TempDir dir;
    StandinSystemctl systemctl(dir.Path);
    const std::string path = dir.Path + "/mirrowen.reg";
    // Not a whole number of minutes.
    WriteText(path, "REGEDIT4\r\n\r\n" + Key + "\r\n" + Dword("IdleTime", 90) + "\r\n");
    Window w(path);
    // The same switch in X11 sessions (the test runs on Xvfb and under sway).
    ASSERT_NE(w->IdleSwitch, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return gtk_widget_get_sensitive(GTK_WIDGET(w->IdleSwitch)); }));
    EXPECT_FALSE(gtk_switch_get_active(w->IdleSwitch));
    EXPECT_EQ(gtk_spin_button_get_value_as_int(w->IdleMinutes), 2);
    EXPECT_TRUE(Has(adw_action_row_get_subtitle(w->IdleMinutesRow), "90 seconds")) << "not told";
    // Another change leaves the file's time as it is; the minutes write seconds.
    gtk_switch_set_active(w->LensFlare, TRUE);
    EXPECT_TRUE(Has(ReadText(path), Dword("IdleTime", 90)));
    gtk_spin_button_set_value(w->IdleMinutes, 10);
    EXPECT_TRUE(Has(ReadText(path), Dword("IdleTime", 600)));
    EXPECT_STREQ(adw_action_row_get_subtitle(w->IdleMinutesRow), "");

    // A systemctl that takes its time holds nothing up: the switch moves,
    // and its state follows when systemctl has done it.
    WriteText(systemctl.Log + ".hold", "");
    gtk_switch_set_active(w->IdleSwitch, TRUE);
    Pump();
    EXPECT_TRUE(gtk_switch_get_active(w->IdleSwitch));
    EXPECT_FALSE(gtk_switch_get_state(w->IdleSwitch));
    EXPECT_FALSE(gtk_widget_get_sensitive(GTK_WIDGET(w->IdleSwitch)));
    std::remove((systemctl.Log + ".hold").c_str());
    EXPECT_TRUE(PumpUntil([&] { return gtk_switch_get_state(w->IdleSwitch); }));
    EXPECT_TRUE(gtk_widget_get_sensitive(GTK_WIDGET(w->IdleSwitch)));

    // A failure puts the switch back and is told.
    WriteText(systemctl.Log + ".fail", "");
    gtk_switch_set_active(w->IdleSwitch, FALSE);
    EXPECT_TRUE(PumpUntil([&] { return gtk_widget_get_sensitive(GTK_WIDGET(w->IdleSwitch)); }));
    EXPECT_TRUE(gtk_switch_get_active(w->IdleSwitch));
    EXPECT_TRUE(gtk_switch_get_state(w->IdleSwitch));
    EXPECT_TRUE(gtk_revealer_get_reveal_child(w->ErrorBar));
    EXPECT_EQ(std::string(gtk_label_get_text(w->ErrorText)),
              "systemctl --user disable --now mirrowen-idle.service failed: "
              "Failed to disable unit: Unit file mirrowen-idle.service does not exist.");
    std::remove((systemctl.Log + ".fail").c_str());
    gtk_switch_set_active(w->IdleSwitch, FALSE);
    EXPECT_TRUE(PumpUntil([&] { return !gtk_switch_get_state(w->IdleSwitch); }));
    EXPECT_FALSE(gtk_revealer_get_reveal_child(w->ErrorBar));
    EXPECT_EQ(ReadText(systemctl.Log),
              "--user is-enabled --quiet mirrowen-idle.service\n"
              "--user enable --now mirrowen-idle.service\n"
              "--user disable --now mirrowen-idle.service\n"
              "--user disable --now mirrowen-idle.service\n");
}

TEST(SettingsWindow, ThePreviousWindowsDropInGivesItsTimeToTheFileAndGoes) {
    ASSERT_FALSE(Standins.empty()) << "give --standins DIR";
    TempDir dir;
    StandinSystemctl systemctl(dir.Path);
    const std::string units = dir.Path + "/systemd/user/mirrowen-idle.service.d";
    ASSERT_EQ(system(("mkdir -p '" + units + "'").c_str()), 0);
    const std::string dropIn = units + "/idle-time.conf";
    const std::string own = "[Service]\nEnvironment=MESA_LOADER_DRIVER_OVERRIDE=zink\n";
    WriteText(units + "/override.conf", own);
    const std::string path = dir.Path + "/mirrowen.reg";
    WriteText(dropIn, "[Service]\nExecStart=\nExecStart=/usr/bin/mirrowen --wayland --idle 600\n");
    {
        Window w(path);
        EXPECT_TRUE(PumpUntil([&] { return Has(ReadText(systemctl.Log), "try-restart"); }));
        EXPECT_TRUE(Has(ReadText(path), Dword("IdleTime", 600)));
        EXPECT_FALSE(g_file_test(dropIn.c_str(), G_FILE_TEST_EXISTS));
        EXPECT_FALSE(gtk_revealer_get_reveal_child(w->ErrorBar));
        if (w->IdleMinutes != nullptr) {
            EXPECT_EQ(gtk_spin_button_get_value_as_int(w->IdleMinutes), 10);
        }
    }
    EXPECT_TRUE(Has(ReadText(systemctl.Log), "--user daemon-reload\n--user try-restart mirrowen-idle.service\n"));
    EXPECT_EQ(ReadText(units + "/override.conf"), own);

    // The file's own time stands; the drop-in goes all the same.
    std::remove(systemctl.Log.c_str());
    WriteText(dropIn, "[Service]\nExecStart=\nExecStart=mirrowen --wayland --idle 300\n");
    {
        Window w(path);
        EXPECT_TRUE(PumpUntil([&] { return Has(ReadText(systemctl.Log), "try-restart"); }));
    }
    EXPECT_FALSE(g_file_test(dropIn.c_str(), G_FILE_TEST_EXISTS));
    EXPECT_TRUE(Has(ReadText(path), Dword("IdleTime", 600)));

    // One the user has changed is theirs: it stays, and the window says why
    // its time does not apply.
    std::remove(systemctl.Log.c_str());
    const std::string edited = "[Service]\nExecStart=\nExecStart=/usr/bin/mirrowen --wayland --idle 600 -fps\n";
    WriteText(dropIn, edited);
    Window w(path);
    Pump();
    EXPECT_EQ(ReadText(dropIn), edited);
    EXPECT_FALSE(Has(ReadText(systemctl.Log), "daemon-reload"));
    EXPECT_TRUE(Has(gtk_label_get_text(w->ErrorText), dropIn + " sets the idle service's command line"));
}

namespace {

int Result = 1;

void RunTests(GtkApplication* app, gpointer) {
    App = app;
    g_application_hold(G_APPLICATION(app));
    Result = RUN_ALL_TESTS();
    g_application_release(G_APPLICATION(app));
}

}  // namespace

// Usage: mirrowen_settings_tests [--display-file FILE] [--standins DIR]
// [gtest options]: the X display named in FILE, else the session's own (a
// Wayland one); the stand-in programs in DIR.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--display-file") {
            std::string display = ReadText(argv[i + 1]);
            while (!display.empty() && (display.back() == '\n' || display.back() == '\r')) display.pop_back();
            setenv("DISPLAY", display.c_str(), 1);
            unsetenv("WAYLAND_DISPLAY");
        } else if (option == "--standins") {
            Standins = argv[i + 1];
        }
    }
    // GTK's renderer as the program chooses it.
    ChooseGtkRenderer();
    // A private instance: no other window of the same application takes over.
    AdwApplication* app = adw_application_new("org.example.Mirrowen.Tests", G_APPLICATION_NON_UNIQUE);
    g_signal_connect(app, "activate", G_CALLBACK(RunTests), nullptr);
    char* args[] = {argv[0], nullptr};
    g_application_run(G_APPLICATION(app), 1, args);
    g_object_unref(app);
    return Result;
}
