#include "linux/mirrowen-settings/test_run.h"

#include <unistd.h>

#include <climits>
#include <cstdio>

std::string SaverProgram() {
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        std::string path(self, static_cast<std::size_t>(n));
        path = path.substr(0, path.find_last_of('/') + 1) + "mirrowen";
        if (access(path.c_str(), X_OK) == 0) return path;
    }
    return "mirrowen";
}

std::vector<std::string> TestRunCommand(const std::string& program, GtkWindow* window) {
    GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window));
    if (std::string(G_OBJECT_TYPE_NAME(display)) == "GdkWaylandDisplay") return {program, "--wayland"};
    GdkRectangle area{0, 0, 1024, 768};
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window));
    GdkMonitor* monitor = surface != nullptr ? gdk_display_get_monitor_at_surface(display, surface) : nullptr;
    if (monitor != nullptr) gdk_monitor_get_geometry(monitor, &area);
    char geometry[64];
    std::snprintf(geometry, sizeof geometry, "%dx%d+%d+%d", area.width, area.height, area.x, area.y);
    return {program, "-window", "-geometry", geometry};
}

bool StartTestRun(GtkWindow* window, std::string* error) {
    const std::vector<std::string> command = TestRunCommand(SaverProgram(), window);
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    GError* failure = nullptr;
    if (g_spawn_async(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &failure))
        return true;
    *error = std::string("Could not start the screen saver: ") + failure->message;
    g_error_free(failure);
    return false;
}
