// mirrowen-settings: the settings window for Linux desktops.
#include <adwaita.h>

#include "linux/mirrowen-settings/preview.h"
#include "linux/mirrowen-settings/settings_window.h"
#include "settings/file_store.h"

namespace {

SettingsWindow* Shown = nullptr;
std::int64_t StartTime = 0;

void Activate(GtkApplication* app, gpointer) {
    if (Shown != nullptr && Shown->Window != nullptr) {
        gtk_window_present(Shown->Window);
        return;
    }
    Shown = CreateSettingsWindow(app, SettingsFilePath());
    Shown->Preview.StartTime = StartTime;
    gtk_window_present(Shown->Window);
}

}  // namespace

int main(int argc, char** argv) {
    StartTime = g_get_monotonic_time();
    ChooseGtkRenderer();
    AdwApplication* app = adw_application_new(MIRROWEN_APP_ID, G_APPLICATION_DEFAULT_FLAGS);
    g_signal_connect(app, "activate", G_CALLBACK(Activate), nullptr);
    const int status = g_application_run(G_APPLICATION(app), argc, argv);
    if (Shown != nullptr) DestroySettingsWindow(Shown);
    g_object_unref(app);
    return status;
}
