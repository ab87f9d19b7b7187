#include "linux/mirrowen-settings/settings_window.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "linux/frame_pacer.h"
#include "linux/mirrowen-settings/idle_service.h"
#include "linux/mirrowen-settings/test_run.h"
#include "linux/stored_values.h"

const int FrameRateChoices[FrameRateChoiceCount] = {16667, 20000, 33333, 50000, 100000, 0};

namespace {

constexpr int PreviewWidth = 640;
constexpr int PreviewHeight = 360;

// What the Windows dialog's sliders are called.
const char* const SliderTitles[DialogSliderCount] = {
    "Number of stars", "Star velocity", "Gravity",       "Star size",        "Decay rate",
    "Pulsate speed",   "Number of origins", "Origin speed", "Corona brightness"};

// Whether the field starts anew: the values the seeding reads, the colours
// and the size it is scattered over changed, as the saver's next start would
// see them.
bool FieldStartsAnew(const SaverSettings& a, const SaverSettings& b) {
    return a.StarCount != b.StarCount || a.DecayRate != b.DecayRate || a.PulsateRate != b.PulsateRate ||
           a.Colours != b.Colours || a.ScrWidth != b.ScrWidth || a.ScrHeight != b.ScrHeight;
}

std::string FrameRateLabel(int delay) {
    if (delay == 0) return "As fast as possible";
    char text[64];
    const double rate = 1e6 / delay;
    if (std::fabs(rate - std::round(rate)) < 0.01)
        std::snprintf(text, sizeof text, "%.0f frames a second", rate);
    else
        std::snprintf(text, sizeof text, "%.1f frames a second", rate);
    return text;
}

void ShowProblem(SettingsWindow& w, const std::string& message) {
    gtk_label_set_text(w.ErrorText, message.c_str());
    gtk_revealer_set_reveal_child(w.ErrorBar, !message.empty());
}

void ShowPresetMatch(SettingsWindow& w) {
    const std::int32_t match = MatchingPreset(w.Document.Values);
    const bool was = w.Showing;
    w.Showing = true;
    adw_combo_row_set_selected(w.Preset, match > 0 ? static_cast<guint>(match - 1) : GTK_INVALID_LIST_POSITION);
    adw_action_row_set_subtitle(ADW_ACTION_ROW(w.Preset), match > 0 ? "" : "Custom values");
    w.Showing = was;
}

guint ResolutionIndex(const SaverSettings& s) {
    for (std::size_t i = 0; i < ResolutionCount; ++i)
        if (ResolutionList[i].Width == s.ScrWidth && ResolutionList[i].Height == s.ScrHeight) return static_cast<guint>(i);
    return static_cast<guint>(ResolutionCount);  // the file's own size, listed last
}

guint FrameRateIndex(std::int64_t delay) {
    for (int i = 0; i < FrameRateChoiceCount; ++i)
        if (FrameRateChoices[i] == delay) return static_cast<guint>(i);
    return FrameRateChoiceCount;  // the file's own delay, listed last
}

// A list's entry after its `listed` choices stands for a value of the
// file's own: made, or renamed, to show `label`.
void ShowOwnEntry(AdwComboRow* row, guint listed, const std::string& label) {
    GtkStringList* model = GTK_STRING_LIST(adw_combo_row_get_model(row));
    const guint count = g_list_model_get_n_items(G_LIST_MODEL(model));
    if (count > listed && label == gtk_string_list_get_string(model, listed)) return;
    const char* const entry[] = {label.c_str(), nullptr};
    gtk_string_list_splice(model, listed, count - listed, entry);
}

std::string SizeLabel(std::int32_t width, std::int32_t height) {
    char text[64];
    std::snprintf(text, sizeof text, "%d × %d", width, height);
    return text;
}

void ShowValues(SettingsWindow& w) {
    const SaverSettings& s = w.Document.Values;
    w.Showing = true;
    for (std::size_t i = 0; i < DialogSliderCount; ++i) gtk_range_set_value(w.Sliders[i], s.*DialogSliders[i].Field);
    adw_combo_row_set_selected(w.Shape, static_cast<guint>(s.Shape));
    adw_combo_row_set_selected(w.Colours, static_cast<guint>(s.Colours));
    if (ResolutionIndex(s) == ResolutionCount)
        ShowOwnEntry(w.Resolution, ResolutionCount, SizeLabel(s.ScrWidth, s.ScrHeight));
    adw_combo_row_set_selected(w.Resolution, ResolutionIndex(s));
    if (FrameRateIndex(w.Document.FrameDelay) == FrameRateChoiceCount)
        ShowOwnEntry(w.FrameRate, FrameRateChoiceCount, FrameRateLabel(static_cast<int>(w.Document.FrameDelay)));
    adw_combo_row_set_selected(w.FrameRate, FrameRateIndex(w.Document.FrameDelay));
    gtk_switch_set_active(w.LensFlare, s.LensFlare != 0);
    gtk_switch_set_active(w.BounceBottom, s.BounceBottom != 0);
    gtk_switch_set_active(w.BounceTop, s.BounceTop != 0);
    gtk_switch_set_active(w.BounceSides, s.BounceSides != 0);
    if (w.IdleMinutes != nullptr) {
        // Whole minutes here; another time in the file is shown as it is and
        // kept until the minutes are changed.
        const std::int64_t seconds = w.Document.IdleTime;
        gtk_spin_button_set_value(w.IdleMinutes, static_cast<double>(std::max<std::int64_t>(1, (seconds + 30) / 60)));
        char text[96] = "";
        if (seconds % 60 != 0)
            std::snprintf(text, sizeof text, "%lld seconds in the settings file", static_cast<long long>(seconds));
        adw_action_row_set_subtitle(w.IdleMinutesRow, text);
    }
    w.Preview.FrameDelay = w.Document.FrameDelay;
    w.Showing = false;
    ShowPresetMatch(w);
}

void ReloadShape(SettingsWindow& w) {
    if (w.PreviewError.empty() && !ReloadPreviewShape(w.Preview)) w.PreviewError = "could not load the star shape";
}

// The preview and the controls after the values changed from `before`.
void FollowValues(SettingsWindow& w, const SaverSettings& before) {
    if (w.Document.Values.Shape != before.Shape) ReloadShape(w);
    if (FieldStartsAnew(before, w.Document.Values)) RestartPreviewField();
    ShowValues(w);
}

// Writes the window's changes over what the file holds now, and shows what
// others changed meanwhile. `before`: the values before the window's change.
void Changed(SettingsWindow& w, const SaverSettings& before) {
    std::string error;
    ShowProblem(w, SaveSettingsDocument(w.Document, &error) ? std::string() : error);
    FollowValues(w, before);
}

gboolean RereadNow(gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    w.RereadId = 0;
    const SaverSettings before = w.Document.Values;
    std::string error;
    if (!RereadSettingsDocument(w.Document, &error)) {
        ShowProblem(w, error);
        return G_SOURCE_REMOVE;
    }
    FollowValues(w, before);
    return G_SOURCE_REMOVE;
}

void FileChanged(GFileMonitor*, GFile*, GFile*, GFileMonitorEvent event, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    if (event == G_FILE_MONITOR_EVENT_ATTRIBUTE_CHANGED || w.RereadId != 0) return;
    // A writer's several events, and its rename, come together: one read after them.
    w.RereadId = g_timeout_add(100, RereadNow, &w);
}

void WatchFile(SettingsWindow& w, const std::string& path) {
    GFile* file = g_file_new_for_path(path.c_str());
    GFileMonitor* monitor = g_file_monitor_file(file, G_FILE_MONITOR_NONE, nullptr, nullptr);
    g_object_unref(file);
    if (monitor == nullptr) return;
    g_signal_connect(monitor, "changed", G_CALLBACK(FileChanged), &w);
    w.Monitors.push_back(monitor);
}

void SliderMoved(GtkRange* range, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    if (w.Showing) return;
    const std::size_t i = static_cast<std::size_t>(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(range), "slider")));
    const SliderBinding& b = DialogSliders[i];
    // The dialog's steps: a position, and the value it stands for.
    const double position = std::round((gtk_range_get_value(range) - b.Offset) / b.Divisor);
    const std::int32_t value = SliderValue(static_cast<std::int32_t>(position), b.Divisor, b.Offset);
    if (gtk_range_get_value(range) != value) {
        w.Showing = true;
        gtk_range_set_value(range, value);
        w.Showing = false;
    }
    if (w.Document.Values.*b.Field == value) return;
    const SaverSettings before = w.Document.Values;
    w.Document.Values.*b.Field = value;
    MarkChanged(w.Document, b.Field);
    Changed(w, before);
}

void SwitchFlipped(GObject* object, GParamSpec*, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    if (w.Showing) return;
    auto field = *static_cast<std::int32_t SaverSettings::**>(g_object_get_data(object, "field"));
    const SaverSettings before = w.Document.Values;
    w.Document.Values.*field = gtk_switch_get_active(GTK_SWITCH(object)) ? 1 : 0;
    MarkChanged(w.Document, field);
    Changed(w, before);
}

// Marks what a preset sets: the fields its row writes, and Preset.
void MarkPreset(SettingsDocument& document, const PresetRow& row) {
    SaverSettings probe;
    for (const StoredSaverValue& v : SaverValues) probe.*v.Field = INT32_MIN;
    ApplyPresetRow(probe, row);
    for (const StoredSaverValue& v : SaverValues)
        if (probe.*v.Field != INT32_MIN) MarkChanged(document, v.Field);
    MarkChanged(document, &SaverSettings::Preset);
}

void ListPicked(GObject* object, GParamSpec*, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    if (w.Showing) return;
    const guint picked = adw_combo_row_get_selected(ADW_COMBO_ROW(object));
    if (picked == GTK_INVALID_LIST_POSITION) return;
    SettingsDocument& d = w.Document;
    SaverSettings& s = d.Values;
    const SaverSettings before = s;
    if (object == G_OBJECT(w.Shape)) {
        s.Shape = static_cast<std::int32_t>(picked);
        MarkChanged(d, &SaverSettings::Shape);
    } else if (object == G_OBJECT(w.Colours)) {
        s.Colours = static_cast<std::int32_t>(picked);
        MarkChanged(d, &SaverSettings::Colours);
    } else if (object == G_OBJECT(w.Resolution)) {
        if (picked >= ResolutionCount) return;  // the file's own size: as it is
        s.ScrWidth = ResolutionList[picked].Width;
        s.ScrHeight = ResolutionList[picked].Height;
        MarkChanged(d, &SaverSettings::ScrWidth);
        MarkChanged(d, &SaverSettings::ScrHeight);
    } else if (object == G_OBJECT(w.FrameRate)) {
        if (picked >= static_cast<guint>(FrameRateChoiceCount)) return;
        d.FrameDelay = FrameRateChoices[picked];
        d.FrameDelayChanged = true;
    } else if (object == G_OBJECT(w.Preset)) {
        const PresetRow& row = PresetTable[picked];
        ApplyPresetRow(s, row);
        s.Preset = row.Number;
        MarkPreset(d, row);
    } else {
        return;
    }
    Changed(w, before);
}

void DefaultsClicked(GtkButton*, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    SaverSettings& s = w.Document.Values;
    const SaverSettings before = s;
    // The Windows saver's own display-mode choice is not shown here: kept.
    SetDefaultSaverValues(s);
    s.NativeResolution = before.NativeResolution;
    for (const StoredSaverValue& v : SaverValues)
        if (v.Field != &SaverSettings::NativeResolution) MarkChanged(w.Document, v.Field);
    w.Document.FrameDelay = DefaultFrameDelay;
    w.Document.FrameDelayChanged = true;
    Changed(w, before);
}

void TestClicked(GtkButton*, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    std::string error;
    if (!StartTestRun(w.Window, &error)) ShowProblem(w, error);
}

// Whether the service starts with the session, as systemctl tells.
void IdleServiceKnown(bool enabled, const std::string&, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    w.Showing = true;
    gtk_switch_set_active(w.IdleSwitch, enabled);
    w.Showing = false;
    gtk_widget_set_sensitive(GTK_WIDGET(w.IdleSwitch), TRUE);
}

void IdleServiceSwitched(bool ok, const std::string& error, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    const bool wanted = gtk_switch_get_active(w.IdleSwitch);
    w.Showing = true;
    if (ok)
        gtk_switch_set_state(w.IdleSwitch, wanted);
    else
        gtk_switch_set_active(w.IdleSwitch, !wanted);
    w.Showing = false;
    gtk_widget_set_sensitive(GTK_WIDGET(w.IdleSwitch), TRUE);
    ShowProblem(w, ok ? std::string() : error);
}

// The switch moves at once; its state follows when systemctl has done it.
gboolean IdleSwitchSet(GtkSwitch* toggle, gboolean on, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    if (w.Showing) return FALSE;
    gtk_widget_set_sensitive(GTK_WIDGET(toggle), FALSE);
    RunUserSystemctl({on ? "enable" : "disable", "--now", IdleServiceUnit}, w.Jobs, IdleServiceSwitched, &w);
    return TRUE;
}

// The service reads the file: no restart, no reload.
void IdleMinutesChanged(GtkSpinButton* spin, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    if (w.Showing) return;
    const SaverSettings before = w.Document.Values;
    w.Document.IdleTime = std::int64_t{gtk_spin_button_get_value_as_int(spin)} * 60;
    w.Document.IdleTimeChanged = true;
    Changed(w, before);
}

void Reported(bool ok, const std::string& error, gpointer data) {
    if (!ok) ShowProblem(*static_cast<SettingsWindow*>(data), error);
}

// systemd has forgotten the old drop-in: a running service starts again with
// the unit's own command line, and so takes the file's idle time.
void OldDropInForgotten(bool ok, const std::string& error, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    if (!ok) {
        ShowProblem(w, error);
        return;
    }
    RunUserSystemctl({"try-restart", IdleServiceUnit}, w.Jobs, Reported, &w);
}

// The window's previous version kept the idle time in a drop-in that
// replaced the service's command line, and would still override the file's.
// When it is exactly as that window wrote it, its time goes into the file
// (unless the file has one) and it goes; one of the user's own stays, and
// is pointed out.
void TakeOldDropIn(SettingsWindow& w) {
    const OldIdleDropIn old = FindOldIdleDropIn();
    if (!old.Found) return;
    if (old.Seconds == 0) {
        ShowProblem(w, old.Path +
                           " sets the idle service's command line, so the idle time here does not apply while it is "
                           "there");
        return;
    }
    std::string error;
    if (!w.Document.IdleTimeStored) {
        const SaverSettings before = w.Document.Values;
        w.Document.IdleTime = old.Seconds;
        w.Document.IdleTimeChanged = true;
        if (!SaveSettingsDocument(w.Document, &error)) {
            ShowProblem(w, error);
            return;
        }
        FollowValues(w, before);
    }
    if (!RemoveOldIdleDropIn(old, &error)) {
        ShowProblem(w, error);
        return;
    }
    RunUserSystemctl({"daemon-reload"}, w.Jobs, OldDropInForgotten, &w);
}

void AboutClicked(GtkButton*, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    GtkWidget* about = adw_about_window_new();
    AdwAboutWindow* a = ADW_ABOUT_WINDOW(about);
    adw_about_window_set_application_name(a, "Mirrowen");
    adw_about_window_set_application_icon(a, MIRROWEN_APP_ID);
    adw_about_window_set_version(a, MIRROWEN_VERSION);
    adw_about_window_set_developer_name(a, "Pelloquin");
    adw_about_window_set_copyright(a, "Copyright (C) 2026 Pelloquin");
    // The Windows About box's text, line for line.
    adw_about_window_set_comments(a,
                                  "Mirrowen Screen Saver v1.0\n"
                                  "Copyright (C) 2026 Pelloquin\n"
                                  "Send comments by e-mail to:\n"
                                  "mirrowen@example.org\n"
                                  "Find updates on the web at:\n"
                                  "https://mirrowen.example.org/");
    adw_about_window_set_website(a, "https://mirrowen.example.org/");
    adw_about_window_set_support_url(a, "mailto:mirrowen@example.org");
    gtk_window_set_transient_for(GTK_WINDOW(about), w.Window);
    gtk_window_present(GTK_WINDOW(about));
}

void WindowGone(GtkWidget*, gpointer data) {
    SettingsWindow& w = *static_cast<SettingsWindow*>(data);
    // The tick callback goes with the picture.
    w.Preview.TickId = 0;
    w.Preview.Picture = nullptr;
    w.Window = nullptr;
}

AdwPreferencesGroup* Group(AdwPreferencesPage* page, const char* title, const char* description) {
    GtkWidget* group = adw_preferences_group_new();
    adw_preferences_group_set_title(ADW_PREFERENCES_GROUP(group), title);
    if (description != nullptr) adw_preferences_group_set_description(ADW_PREFERENCES_GROUP(group), description);
    adw_preferences_page_add(page, ADW_PREFERENCES_GROUP(group));
    return ADW_PREFERENCES_GROUP(group);
}

void AddSlider(SettingsWindow& w, AdwPreferencesGroup* group, std::size_t i) {
    const SliderBinding& b = DialogSliders[i];
    const double low = SliderValue(b.Min, b.Divisor, b.Offset);
    const double high = SliderValue(b.Max, b.Divisor, b.Offset);
    GtkWidget* scale = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, low, high, b.Divisor);
    gtk_scale_set_digits(GTK_SCALE(scale), 0);
    gtk_scale_set_draw_value(GTK_SCALE(scale), TRUE);
    gtk_scale_set_value_pos(GTK_SCALE(scale), GTK_POS_RIGHT);
    gtk_widget_set_size_request(scale, 220, -1);
    gtk_widget_set_valign(scale, GTK_ALIGN_CENTER);
    g_object_set_data(G_OBJECT(scale), "slider", GINT_TO_POINTER(static_cast<int>(i)));
    g_signal_connect(scale, "value-changed", G_CALLBACK(SliderMoved), &w);
    GtkWidget* row = adw_action_row_new();
    adw_preferences_row_set_title(ADW_PREFERENCES_ROW(row), SliderTitles[i]);
    adw_action_row_add_suffix(ADW_ACTION_ROW(row), scale);
    gtk_accessible_update_property(GTK_ACCESSIBLE(scale), GTK_ACCESSIBLE_PROPERTY_LABEL, SliderTitles[i], -1);
    adw_preferences_group_add(group, row);
    w.Sliders[i] = GTK_RANGE(scale);
}

// The record fields the switches set, reached from each switch.
std::int32_t SaverSettings::*const LensFlareField = &SaverSettings::LensFlare;
std::int32_t SaverSettings::*const BounceBottomField = &SaverSettings::BounceBottom;
std::int32_t SaverSettings::*const BounceTopField = &SaverSettings::BounceTop;
std::int32_t SaverSettings::*const BounceSidesField = &SaverSettings::BounceSides;

GtkSwitch* AddSwitch(SettingsWindow& w, AdwPreferencesGroup* group, const char* title,
                     std::int32_t SaverSettings::*const* field) {
    GtkWidget* toggle = gtk_switch_new();
    gtk_widget_set_valign(toggle, GTK_ALIGN_CENTER);
    g_object_set_data(G_OBJECT(toggle), "field", const_cast<std::int32_t SaverSettings::**>(field));
    g_signal_connect(toggle, "notify::active", G_CALLBACK(SwitchFlipped), &w);
    GtkWidget* row = adw_action_row_new();
    adw_preferences_row_set_title(ADW_PREFERENCES_ROW(row), title);
    adw_action_row_add_suffix(ADW_ACTION_ROW(row), toggle);
    adw_action_row_set_activatable_widget(ADW_ACTION_ROW(row), toggle);
    adw_preferences_group_add(group, row);
    return GTK_SWITCH(toggle);
}

AdwComboRow* AddList(SettingsWindow& w, AdwPreferencesGroup* group, const char* title,
                     const std::vector<std::string>& names) {
    GtkStringList* model = gtk_string_list_new(nullptr);
    for (const std::string& name : names) gtk_string_list_append(model, name.c_str());
    GtkWidget* row = adw_combo_row_new();
    adw_preferences_row_set_title(ADW_PREFERENCES_ROW(row), title);
    adw_combo_row_set_model(ADW_COMBO_ROW(row), G_LIST_MODEL(model));
    g_object_unref(model);
    g_signal_connect(row, "notify::selected", G_CALLBACK(ListPicked), &w);
    adw_preferences_group_add(group, row);
    return ADW_COMBO_ROW(row);
}

bool WaylandSession() {
    GdkDisplay* display = gdk_display_get_default();
    return display != nullptr && std::string(G_OBJECT_TYPE_NAME(display)) == "GdkWaylandDisplay";
}

GtkWidget* BuildPage(SettingsWindow& w) {
    GtkWidget* pageWidget = adw_preferences_page_new();
    AdwPreferencesPage* page = ADW_PREFERENCES_PAGE(pageWidget);

    AdwPreferencesGroup* presets = Group(page, "Presets", nullptr);
    std::vector<std::string> presetNames;
    for (const PresetRow& row : PresetTable) presetNames.push_back(row.Name);
    w.Preset = AddList(w, presets, "Preset", presetNames);
    GtkWidget* defaults = gtk_button_new_with_mnemonic("_Restore Defaults");
    gtk_widget_set_halign(defaults, GTK_ALIGN_START);
    gtk_widget_set_margin_top(defaults, 12);
    g_signal_connect(defaults, "clicked", G_CALLBACK(DefaultsClicked), &w);
    adw_preferences_group_add(presets, defaults);
    w.Defaults = GTK_BUTTON(defaults);

    AdwPreferencesGroup* stars = Group(page, "Stars", nullptr);
    for (std::size_t i : {0, 1, 3, 4, 5, 2}) AddSlider(w, stars, i);
    w.Colours = AddList(w, stars, "Colour scheme", std::vector<std::string>(ColourNames, ColourNames + ColourNameCount));
    w.Shape = AddList(w, stars, "Star shape", std::vector<std::string>(ShapeNames, ShapeNames + ShapeNameCount));

    AdwPreferencesGroup* origins = Group(page, "Origins", nullptr);
    for (std::size_t i : {6, 7, 8}) AddSlider(w, origins, i);
    w.LensFlare = AddSwitch(w, origins, "Draw lens flare", &LensFlareField);

    AdwPreferencesGroup* bouncing = Group(page, "Bouncing", nullptr);
    w.BounceBottom = AddSwitch(w, bouncing, "Bounce at the bottom of the screen", &BounceBottomField);
    w.BounceTop = AddSwitch(w, bouncing, "Bounce at the top of the screen", &BounceTopField);
    w.BounceSides = AddSwitch(w, bouncing, "Bounce at the sides of the screen", &BounceSidesField);

    AdwPreferencesGroup* screen =
        Group(page, "Screen Mode", "The size the stars are first scattered over and the origins start in");
    std::vector<std::string> sizes;
    for (const Resolution& r : ResolutionList) sizes.push_back(SizeLabel(r.Width, r.Height));
    w.Resolution = AddList(w, screen, "Resolution", sizes);

    AdwPreferencesGroup* program =
        Group(page, "Linux Program", "XScreenSaver's own frame-rate slider, where it is used, goes before this");
    std::vector<std::string> rates;
    for (int delay : FrameRateChoices) rates.push_back(FrameRateLabel(delay));
    w.FrameRate = AddList(w, program, "Frame rate", rates);
    // The idle service runs in both kinds of session (mirrowen --idle picks its own).
    {
        AdwPreferencesGroup* idle =
            Group(page, "Start When Idle", "Mirrowen covers the screens when the seat has been idle this long");
        GtkWidget* toggle = gtk_switch_new();
        gtk_widget_set_valign(toggle, GTK_ALIGN_CENTER);
        // Off and still until systemctl has told whether the service is on.
        gtk_widget_set_sensitive(toggle, FALSE);
        g_signal_connect(toggle, "state-set", G_CALLBACK(IdleSwitchSet), &w);
        GtkWidget* row = adw_action_row_new();
        adw_preferences_row_set_title(ADW_PREFERENCES_ROW(row), "Start when idle");
        adw_action_row_add_suffix(ADW_ACTION_ROW(row), toggle);
        adw_action_row_set_activatable_widget(ADW_ACTION_ROW(row), toggle);
        adw_preferences_group_add(idle, row);
        GtkWidget* minutes = gtk_spin_button_new_with_range(1, static_cast<double>(MaxIdleSeconds / 60), 1);
        gtk_widget_set_valign(minutes, GTK_ALIGN_CENTER);
        g_signal_connect(minutes, "value-changed", G_CALLBACK(IdleMinutesChanged), &w);
        GtkWidget* minutesRow = adw_action_row_new();
        adw_preferences_row_set_title(ADW_PREFERENCES_ROW(minutesRow), "Minutes idle");
        adw_action_row_add_suffix(ADW_ACTION_ROW(minutesRow), minutes);
        adw_preferences_group_add(idle, minutesRow);
        w.IdleSwitch = GTK_SWITCH(toggle);
        w.IdleMinutes = GTK_SPIN_BUTTON(minutes);
        w.IdleMinutesRow = ADW_ACTION_ROW(minutesRow);
        RunUserSystemctl({"is-enabled", "--quiet", IdleServiceUnit}, w.Jobs, IdleServiceKnown, &w);
    }
    if (!WaylandSession()) {
        GtkWidget* how = gtk_label_new(
            "The switch needs a session that starts graphical-session.target (GNOME, KDE Plasma); elsewhere "
            "(Cinnamon, i3) add \"mirrowen --idle\" to the session's startup programs. XScreenSaver, MATE and "
            "Xfce can start Mirrowen themselves instead: choose Mirrowen in their screen-saver settings (for "
            "XScreenSaver, add it to the programs list in ~/.xscreensaver first).");
        gtk_label_set_wrap(GTK_LABEL(how), TRUE);
        gtk_label_set_xalign(GTK_LABEL(how), 0.0f);
        gtk_widget_add_css_class(how, "dim-label");
        gtk_widget_set_margin_top(how, 12);
        adw_preferences_group_add(program, how);
    }
    return pageWidget;
}

}  // namespace

std::int32_t MatchingPreset(const SaverSettings& s) {
    for (const PresetRow& row : PresetTable) {
        SaverSettings applied = s;
        ApplyPresetRow(applied, row);
        if (applied.StarVel == s.StarVel && applied.StarSize == s.StarSize && applied.DecayRate == s.DecayRate &&
            applied.PulsateRate == s.PulsateRate && applied.Gravity == s.Gravity && applied.Colours == s.Colours &&
            applied.Shape == s.Shape && applied.Origins == s.Origins && applied.OriginSpeed == s.OriginSpeed &&
            applied.Corona == s.Corona && (applied.LensFlare != 0) == (s.LensFlare != 0) &&
            (applied.BounceTop != 0) == (s.BounceTop != 0) && (applied.BounceSides != 0) == (s.BounceSides != 0) &&
            (applied.BounceBottom != 0) == (s.BounceBottom != 0))
            return row.Number;
    }
    return 0;
}

SettingsWindow* CreateSettingsWindow(GtkApplication* app, const std::string& path) {
    SettingsWindow* created = new SettingsWindow;
    SettingsWindow& w = *created;
    w.Jobs = g_cancellable_new();
    std::string problem;
    if (!LoadSettingsDocument(w.Document, path))
        problem = "Could not read " + path + "; showing the defaults";
    else if (!w.Document.Problems.empty())
        problem = "Some lines of " + path + " could not be read; they are kept as they are";
    Settings = &w.Document.Values;

    GtkWidget* window = adw_application_window_new(app);
    w.Window = GTK_WINDOW(window);
    gtk_window_set_title(w.Window, "Mirrowen");
    gtk_window_set_default_size(w.Window, 1180, 760);
    g_signal_connect(window, "destroy", G_CALLBACK(WindowGone), &w);

    GtkWidget* header = adw_header_bar_new();
    GtkWidget* test = gtk_button_new_with_mnemonic("_Test");
    gtk_widget_set_tooltip_text(test, "Run the screen saver full screen until a key is pressed");
    g_signal_connect(test, "clicked", G_CALLBACK(TestClicked), &w);
    adw_header_bar_pack_start(ADW_HEADER_BAR(header), test);
    GtkWidget* about = gtk_button_new_from_icon_name("help-about-symbolic");
    gtk_widget_set_tooltip_text(about, "About Mirrowen");
    g_signal_connect(about, "clicked", G_CALLBACK(AboutClicked), &w);
    adw_header_bar_pack_end(ADW_HEADER_BAR(header), about);
    w.Test = GTK_BUTTON(test);
    w.About = GTK_BUTTON(about);

    GtkWidget* errorText = gtk_label_new("");
    gtk_label_set_wrap(GTK_LABEL(errorText), TRUE);
    gtk_widget_add_css_class(errorText, "error");
    gtk_widget_set_margin_top(errorText, 6);
    gtk_widget_set_margin_bottom(errorText, 6);
    GtkWidget* errorBar = gtk_revealer_new();
    gtk_revealer_set_child(GTK_REVEALER(errorBar), errorText);
    w.ErrorBar = GTK_REVEALER(errorBar);
    w.ErrorText = GTK_LABEL(errorText);

    GtkWidget* picture = gtk_picture_new();
    gtk_widget_set_size_request(picture, PreviewWidth, PreviewHeight);
    gtk_picture_set_can_shrink(GTK_PICTURE(picture), FALSE);
    gtk_widget_set_valign(picture, GTK_ALIGN_START);
    gtk_widget_set_margin_start(picture, 18);
    gtk_widget_set_margin_top(picture, 18);
    gtk_widget_set_margin_end(picture, 6);
    w.Preview.Picture = GTK_PICTURE(picture);
    GtkWidget* previewColumn = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_box_append(GTK_BOX(previewColumn), picture);

    GtkWidget* columns = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_box_append(GTK_BOX(columns), previewColumn);
    GtkWidget* page = BuildPage(w);
    gtk_widget_set_hexpand(page, TRUE);
    gtk_box_append(GTK_BOX(columns), page);
    gtk_widget_set_vexpand(columns, TRUE);

    GtkWidget* content = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_box_append(GTK_BOX(content), header);
    gtk_box_append(GTK_BOX(content), errorBar);
    gtk_box_append(GTK_BOX(content), columns);
    adw_application_window_set_content(ADW_APPLICATION_WINDOW(window), content);

    ShowValues(w);
    ShowProblem(w, problem);
    WatchFile(w, path);
    const std::string target = SaveTargetPath(path);
    if (!target.empty() && target != path) WatchFile(w, target);
    TakeOldDropIn(w);

    if (OpenPreview(w.Preview, PreviewWidth, PreviewHeight, &w.PreviewError)) {
        w.Preview.FrameDelay = w.Document.FrameDelay;
        RestartPreviewField();
        StartPreviewTicks(w.Preview);
    } else {
        gtk_box_append(GTK_BOX(previewColumn), gtk_label_new(("No preview: " + w.PreviewError).c_str()));
    }
    return created;
}

void DestroySettingsWindow(SettingsWindow* window) {
    g_cancellable_cancel(window->Jobs);
    g_object_unref(window->Jobs);
    for (GFileMonitor* monitor : window->Monitors) {
        g_signal_handlers_disconnect_by_data(monitor, window);
        g_object_unref(monitor);
    }
    if (window->RereadId != 0) g_source_remove(window->RereadId);
    StopPreviewTicks(window->Preview);
    if (window->Window != nullptr) gtk_window_destroy(window->Window);
    ClosePreview(window->Preview);
    if (Settings == &window->Document.Values) Settings = nullptr;
    delete window;
}
