#include "linux/mirrowen-settings/idle_service.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* const IdleServiceUnit = "mirrowen-idle.service";

std::string IdleDropInPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string base = config != nullptr && config[0] == '/' ? std::string(config)
                                                                   : std::string(g_get_home_dir()) + "/.config";
    return base + "/systemd/user/" + IdleServiceUnit + ".d/idle-time.conf";
}

int ReadIdleMinutes() {
    gchar* text = nullptr;
    int minutes = 5;
    if (g_file_get_contents(IdleDropInPath().c_str(), &text, nullptr, nullptr)) {
        const char* idle = std::strstr(text, "--idle ");
        if (idle != nullptr) {
            const long seconds = std::strtol(idle + 7, nullptr, 10);
            if (seconds >= 60) minutes = static_cast<int>(seconds / 60);
        }
        g_free(text);
    }
    return minutes;
}

bool WriteIdleMinutes(int minutes, const std::string& program, std::string* error) {
    const std::string path = IdleDropInPath();
    gchar* dir = g_path_get_dirname(path.c_str());
    const bool made = g_mkdir_with_parents(dir, 0755) == 0;
    g_free(dir);
    char text[512];
    // An empty ExecStart= first: a drop-in's command replaces the unit's.
    std::snprintf(text, sizeof text, "[Service]\nExecStart=\nExecStart=%s --wayland --idle %d\n", program.c_str(),
                  minutes * 60);
    GError* failure = nullptr;
    if (!made || !g_file_set_contents(path.c_str(), text, -1, &failure)) {
        *error = "Could not write " + path + (failure != nullptr ? std::string(": ") + failure->message : "");
        if (failure != nullptr) g_error_free(failure);
        return false;
    }
    return RunUserSystemctl({"daemon-reload"}, error);
}

bool RunUserSystemctl(const std::vector<std::string>& args, std::string* error) {
    std::vector<char*> argv{const_cast<char*>("systemctl"), const_cast<char*>("--user")};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    gint status = 0;
    GError* failure = nullptr;
    gchar* errors = nullptr;
    const bool ran = g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr,
                                  &errors, &status, &failure);
    bool ok = ran && g_spawn_check_wait_status(status, nullptr);
    if (!ran) {
        *error = std::string("Could not run systemctl: ") + failure->message;
        g_error_free(failure);
    } else if (!ok && error != nullptr) {
        *error = "systemctl --user";
        for (const std::string& arg : args) *error += " " + arg;
        *error += std::string(" failed") + (errors != nullptr && errors[0] != '\0' ? std::string(": ") + errors : "");
    }
    g_free(errors);
    return ok;
}

bool IdleServiceEnabled() {
    std::string ignored;
    return RunUserSystemctl({"is-enabled", "--quiet", IdleServiceUnit}, &ignored);
}
