// The process entry of Mirrowen.scr.
#include <windows.h>

#include <new>

#include "settings/saver_settings.h"
#include "windows/actions.h"
#include "windows/command_line.h"
#include "windows/instance.h"
#include "windows/registry_store.h"
#include "windows/settings_dialog.h"


namespace {

WindowHandle ForegroundWindow() { return FromHwnd(GetForegroundWindow()); }

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InstanceHandle = instance;

    const ParsedCommandLine parsed = ParseCommandLine(GetCommandLineA(), {ForegroundWindow, FindPreviewHost});
    RunMode = parsed.Mode;
    const WindowHandle parent = parsed.Parent;

    SaverSettings* settings = new (std::nothrow) SaverSettings();
    if (settings == nullptr) return 0;
    Settings = settings;

    const SettingsStore store = RegistryStore();
    settings->ReadSystemSaverSettings(store);
    settings->LoadSettings(store);

    if (RunMode == RunModeChangePassword) {
        ChangeSaverPassword(parent);
    } else if (RunMode == RunModeConfigure) {
        SettingsDialog dialog;
        dialog.Run(InstanceHandle, parent, settings);
    } else if (RunMode == RunModeSaver || RunMode == RunModePreview) {
        RunSaver(parent);
    }

    Settings = nullptr;
    delete settings;
    return 0;
}
