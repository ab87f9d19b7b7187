// The process entry of `mirrowen` (X11, or Wayland with --wayland): the options, the settings
// from the file store with the options over them, then the drawing run, a cover or the idle service.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "linux/cover_child.h"
#include "linux/idle_run.h"
#include "linux/options.h"
#include "linux/stored_values.h"
#include "linux/x11/cover.h"
#include "linux/x11/run_idle.h"
#include "linux/x11/run_saver.h"
#include "settings/file_store.h"
#include "settings/saver_settings.h"
#ifdef MIRROWEN_WAYLAND
#include "linux/wayland/run_saver.h"
#else
namespace {
int WithoutWayland() {
    std::fprintf(stderr, "mirrowen: built without Wayland support\n");
    return 1;
}
int RunWaylandIdle(const IdleServiceOptions&) { return WithoutWayland(); }
int RunWaylandSaver(const SaverOptions&) { return WithoutWayland(); }
}  // namespace
#endif

int main(int argc, char** argv) {
    SaverOptions options;
    std::string error;
    std::vector<std::string> warnings;
    const bool parsed = ParseSaverOptions(argc, argv, options, &error, &warnings);
    for (const std::string& w : warnings) std::fprintf(stderr, "%s\n", w.c_str());
    if (!parsed) {
        std::fprintf(stderr, "%s\n%s", error.c_str(), SaverOptionsUsage());
        return 1;
    }
    if (options.Help) {
        std::fputs(SaverOptionsUsage(), stdout);
        return 0;
    }

    FileStore file;
    const std::string path = SettingsFilePath();
    if (!path.empty() && !LoadFileStore(file, path))
        std::fprintf(stderr, "mirrowen: cannot read %s; using the defaults\n", path.c_str());
    const SettingsStore fileStore = FileStoreInterface(file);
    // The settings window's frame-rate choice; XScreenSaver's slider (-delay) goes first.
    if (!options.DelayGiven) options.Delay = ReadStoredFrameDelay(fileStore);
    OptionOverlay overlay{&fileStore, &options};
    const SettingsStore store = OptionOverlayInterface(overlay);

    SaverSettings settings;
    settings.ReadSystemSaverSettings(store);
    settings.LoadSettings(store);
    Settings = &settings;

    int result = 0;
    if (options.SaveSettings) {
        // The values as they now stand, options included, written for the next runs.
        if (path.empty()) {
            std::fprintf(stderr, "mirrowen: no home directory to keep the settings in\n");
            result = 1;
        } else {
            settings.SaveSettings(fileStore);
            std::printf("%s\n", path.c_str());
        }
    } else if (options.Idle) {
        // The waiting service: each cover is this program run afresh, so the
        // settings are the file's as they are at that moment.
        IdleServiceOptions service;
        service.IdleSeconds = options.IdleSeconds;
        service.SettingsPath = path;
        const bool wayland = IdleInWayland(options, std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_RUNTIME_DIR"));
        service.CoverCommand = CoverCommandFor(OwnProgramPath(argv[0]), argc, argv,
                                               wayland ? std::vector<std::string>{"--wayland", "--cover"}
                                                       : std::vector<std::string>{"--cover"});
        result = wayland ? RunWaylandIdle(service) : RunX11Idle(service, options.DisplayName);
    } else if (options.Wayland) {
        result = RunWaylandSaver(options);
    } else if (options.Cover) {
        result = RunX11Cover(options);
    } else {
        result = RunX11Saver(options);
    }
    Settings = nullptr;
    return result;
}
