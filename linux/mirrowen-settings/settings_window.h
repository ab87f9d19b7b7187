// The settings window: every saver value that applies on Linux, grouped as
// the Windows dialog groups them, the presets, the frame rate of the Linux
// program, the live preview, and buttons for the defaults, a test run and
// About. A change goes to the settings file at once; a change that someone
// else makes to the file is shown.
#pragma once

#include <adwaita.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "linux/mirrowen-settings/preview.h"
#include "linux/mirrowen-settings/settings_document.h"
#include "settings/presets.h"

struct SettingsWindow {
    SettingsDocument Document;
    GtkWindow* Window = nullptr;
    // In the order of DialogSliders.
    GtkRange* Sliders[DialogSliderCount] = {};
    AdwComboRow* Shape = nullptr;
    AdwComboRow* Colours = nullptr;
    AdwComboRow* Preset = nullptr;
    AdwComboRow* Resolution = nullptr;
    AdwComboRow* FrameRate = nullptr;
    GtkSwitch* LensFlare = nullptr;
    GtkSwitch* BounceBottom = nullptr;
    GtkSwitch* BounceTop = nullptr;
    GtkSwitch* BounceSides = nullptr;
    GtkButton* Defaults = nullptr;
    GtkButton* Test = nullptr;
    GtkButton* About = nullptr;
    // Start when idle, in Wayland sessions only (else null). The switch's
    // state is the service's, known once systemctl has told.
    GtkSwitch* IdleSwitch = nullptr;
    GtkSpinButton* IdleMinutes = nullptr;
    AdwActionRow* IdleMinutesRow = nullptr;
    GtkRevealer* ErrorBar = nullptr;
    GtkLabel* ErrorText = nullptr;
    SettingsPreview Preview;
    std::string PreviewError;  // why there is no preview, when there is none
    bool Showing = false;      // the controls are being set from the values
    // The settings file, and the file at the end of its links, watched for
    // changes made by others; read again a moment after they are seen.
    std::vector<GFileMonitor*> Monitors;
    guint RereadId = 0;
    // Cancelled with the window: systemctl runs it started report to no one.
    GCancellable* Jobs = nullptr;
};

// Reads the settings file at `path` and builds the window for `app`. The
// record is published as Settings for the preview's drawing. Free it with
// DestroySettingsWindow once the window is gone.
SettingsWindow* CreateSettingsWindow(GtkApplication* app, const std::string& path);
void DestroySettingsWindow(SettingsWindow* window);

// The frame delays the frame-rate list offers, in microseconds, and the
// frames a second each stands for (0: as fast as the machine allows).
constexpr int FrameRateChoiceCount = 6;
extern const int FrameRateChoices[FrameRateChoiceCount];

// The preset whose fourteen values the record holds, or 0.
std::int32_t MatchingPreset(const SaverSettings& settings);
