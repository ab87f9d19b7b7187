#include "linux/mirrowen-settings/idle_service.h"

#include <glib/gstdio.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

const char* const IdleServiceUnit = "mirrowen-idle.service";

namespace {

struct SystemctlRun {
    SystemctlDone Done;
    gpointer Data;
};

void TaskEnded(GObject*, GAsyncResult* result, gpointer data) {
    SystemctlRun* run = static_cast<SystemctlRun*>(data);
    GError* failure = nullptr;
    const bool ok = g_task_propagate_boolean(G_TASK(result), &failure);
    // A cancelled run has no one left to tell.
    if (!g_error_matches(failure, G_IO_ERROR, G_IO_ERROR_CANCELLED))
        run->Done(ok, ok ? std::string() : std::string(failure->message), run->Data);
    if (failure != nullptr) g_error_free(failure);
    delete run;
}

void ProcessEnded(GObject* source, GAsyncResult* result, gpointer data) {
    GTask* task = G_TASK(data);
    GSubprocess* process = G_SUBPROCESS(source);
    gchar* errors = nullptr;
    GError* failure = nullptr;
    if (!g_subprocess_communicate_utf8_finish(process, result, nullptr, &errors, &failure)) {
        g_task_return_error(task, failure);
    } else if (g_subprocess_get_successful(process)) {
        g_task_return_boolean(task, TRUE);
    } else {
        std::string why = errors != nullptr ? errors : "";
        while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
        g_task_return_new_error(task, G_IO_ERROR, G_IO_ERROR_FAILED, "%s failed%s%s",
                                static_cast<const char*>(g_task_get_task_data(task)), why.empty() ? "" : ": ",
                                why.c_str());
    }
    g_free(errors);
    g_object_unref(task);
}

}  // namespace

void RunUserSystemctl(const std::vector<std::string>& args, GCancellable* cancellable, SystemctlDone done,
                      gpointer data) {
    std::vector<const char*> argv{"systemctl", "--user"};
    std::string command = "systemctl --user";
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
        command += " " + arg;
    }
    argv.push_back(nullptr);
    // The task tells `done` in the main loop, even of a failure to start.
    GTask* task = g_task_new(nullptr, cancellable, TaskEnded, new SystemctlRun{done, data});
    g_task_set_task_data(task, g_strdup(command.c_str()), g_free);
    GError* failure = nullptr;
    GSubprocess* process = g_subprocess_newv(argv.data(),
                                             static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDOUT_SILENCE |
                                                                           G_SUBPROCESS_FLAGS_STDERR_PIPE),
                                             &failure);
    if (process == nullptr) {
        g_task_return_new_error(task, G_IO_ERROR, G_IO_ERROR_FAILED, "Could not run systemctl: %s", failure->message);
        g_error_free(failure);
        g_object_unref(task);
        return;
    }
    g_subprocess_communicate_utf8_async(process, nullptr, cancellable, ProcessEnded, task);
    g_object_unref(process);
}

OldIdleDropIn FindOldIdleDropIn() {
    OldIdleDropIn dropIn;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string base = config != nullptr && config[0] == '/' ? std::string(config)
                                                                   : std::string(g_get_home_dir()) + "/.config";
    dropIn.Path = base + "/systemd/user/" + IdleServiceUnit + ".d/idle-time.conf";
    gchar* contents = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(dropIn.Path.c_str(), &contents, &length, nullptr)) return dropIn;
    dropIn.Found = true;
    const std::string text(contents, length);
    g_free(contents);
    const std::string head = "[Service]\nExecStart=\nExecStart=";
    const std::string option = " --wayland --idle ";
    const std::size_t at = text.rfind(option);
    if (text.compare(0, head.size(), head) != 0 || at == std::string::npos || at <= head.size() ||
        text.back() != '\n')
        return dropIn;
    const std::string program = text.substr(head.size(), at - head.size());
    const std::string number = text.substr(at + option.size(), text.size() - 1 - at - option.size());
    if (program.find('\n') != std::string::npos || number.empty() || number.size() > 4 ||
        number.find_first_not_of("0123456789") != std::string::npos || number[0] == '0')
        return dropIn;
    const std::int64_t seconds = std::atoi(number.c_str());
    if (seconds % 60 == 0 && seconds >= 60 && seconds <= 120 * 60) dropIn.Seconds = seconds;
    return dropIn;
}

bool RemoveOldIdleDropIn(const OldIdleDropIn& dropIn, std::string* error) {
    if (g_unlink(dropIn.Path.c_str()) != 0 && errno != ENOENT) {
        *error = "Could not remove " + dropIn.Path + ": " + std::strerror(errno);
        return false;
    }
    gchar* dir = g_path_get_dirname(dropIn.Path.c_str());
    g_rmdir(dir);  // only when empty: a drop-in of the user's own keeps it
    g_free(dir);
    return true;
}
