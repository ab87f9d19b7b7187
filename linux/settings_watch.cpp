#include "linux/settings_watch.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Folder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

void Watch(int fd, const std::string& folder) {
    inotify_add_watch(fd, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM);
}

}  // namespace

void StartSettingsWatch(SettingsWatch& watch, const std::string& path) {
    watch.Path = path;
    if (path.empty()) return;
    watch.Fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch.Fd < 0) return;
    // The folder is made as a save would make it, so that the first save is seen.
    const std::string folder = Folder(path);
    mkdir(Folder(folder).c_str(), 0755);
    mkdir(folder.c_str(), 0755);
    Watch(watch.Fd, folder);
    char target[PATH_MAX];
    if (realpath(path.c_str(), target) != nullptr && Folder(target) != folder) Watch(watch.Fd, Folder(target));
}

void StopSettingsWatch(SettingsWatch& watch) {
    if (watch.Fd >= 0) close(watch.Fd);
    watch = SettingsWatch{};
}

int PrepareSettingsWatch(const SettingsWatch& watch, pollfd* fds, int room) {
    if (watch.Fd < 0 || room < 1) return 0;
    fds[0] = pollfd{watch.Fd, POLLIN, 0};
    return 1;
}

bool SettingsWatchChanged(SettingsWatch& watch, const pollfd* fds, int count) {
    if (watch.Fd < 0 || count < 1 || (fds[0].revents & POLLIN) == 0) return false;
    char events[4096];
    while (read(watch.Fd, events, sizeof events) > 0) {
    }
    // A link may now point elsewhere: its target's folder is watched too.
    char target[PATH_MAX];
    if (realpath(watch.Path.c_str(), target) != nullptr && Folder(target) != Folder(watch.Path))
        Watch(watch.Fd, Folder(target));
    return true;
}
