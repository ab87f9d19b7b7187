// The settings dialog shown in Configure mode.
#pragma once

#include "settings/window_handle.h"

struct SaverSettings;

struct SettingsDialog {
    // Initialises the common controls, so that the dialog's trackbars exist.
    SettingsDialog();
    // Shows the dialog modally over `parent`; returns when it closes.
    void Run(void* instance, WindowHandle parent, SaverSettings* settings);
};
