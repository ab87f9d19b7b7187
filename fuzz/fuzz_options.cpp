// Fuzz entry for the Linux program's option parser: the input, split at its
// zero bytes, is the argument list. A refused list must say why; an accepted
// one must leave every field in its range, and the values it gives must
// reach the settings record through the option overlay exactly when they
// pass their acceptance tests.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "linux/options.h"
#include "settings/memory_store.h"
#include "settings/saver_settings.h"

namespace {

void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args{"mirrowen"};
    std::string current;
    for (std::size_t i = 0; i < size && args.size() < 64; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (!current.empty() && args.size() < 64) args.push_back(current);
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    argv.push_back(nullptr);

    SaverOptions options;
    std::string error;
    std::vector<std::string> warnings;
    if (!ParseSaverOptions(static_cast<int>(args.size()), argv.data(), options, &error, &warnings)) {
        if (error.empty()) Fail("a refused argument list without a reason");
        return 0;
    }
    if (options.Width < 1 || options.Width > 32767 || options.Height < 1 || options.Height > 32767)
        Fail("-geometry size out of range");
    if (options.X < -32768 || options.X > 32767 || options.Y < -32768 || options.Y > 32767)
        Fail("-geometry position out of range");
    if (options.Delay < 0 || options.Delay > MaxFrameDelay) Fail("-delay out of range");
    if (options.Frames < -1) Fail("-frames negative");
    if (options.Target == DrawTarget::WindowId && (options.WindowId == 0 || options.WindowId > 0xFFFFFFFFul))
        Fail("-window-id out of range");
    for (const auto& value : options.Values)
        if (FindSaverValue(value.first.c_str()) == nullptr) Fail("an option set a value the record does not have");

    // The values over an empty store, as the program reads them.
    MemoryStore memory;
    const SettingsStore base = MemoryStoreInterface(memory);
    OptionOverlay overlay{&base, &options};
    SaverSettings settings;
    settings.LoadSettings(OptionOverlayInterface(overlay));
    if (memory.OpenKeys != 0) Fail("a key left open");
    SaverSettings defaults;
    SetDefaultSaverValues(defaults);
    for (const StoredSaverValue& value : SaverValues) {
        const std::uint32_t loaded = static_cast<std::uint32_t>(settings.*value.Field) + static_cast<std::uint32_t>(value.Bias);
        SaverSettings scratch;
        if (!AcceptStoredValue(scratch, value, loaded)) Fail("a loaded value fails its own acceptance test");
        const auto given = options.Values.find(value.Name);
        const bool taken = given != options.Values.end() && given->second.has_value() &&
                           AcceptStoredValue(scratch, value, *given->second);
        const std::int32_t expected = taken ? scratch.*value.Field : defaults.*value.Field;
        if (settings.*value.Field != expected) Fail("a value did not come through the overlay as given");
    }
    return 0;
}
