// mirrowen-sim: runs the star field headless and prints its state.
//
//   mirrowen-sim [--time T] [--frames N] [--set NAME=V]...
//
// Settings start from the 18 defaults; each --set stands for the saver value
// NAME holding the 32-bit number V and passes the same acceptance tests as a
// stored value. The field is set up as the saver does it, then runs N frames
// (origins, stars, corona) without drawing, and the state is printed.
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "settings/memory_store.h"
#include "settings/saver_settings.h"
#include "sim/corona.h"
#include "sim/origins.h"
#include "sim/seed_clock.h"
#include "sim/star_seeding.h"
#include "sim/star_update.h"
#include "tools/sim_dump.h"

namespace {

constexpr int UsageError = 2;

std::int64_t FixedTime = 0;
std::int64_t FixedClock() { return FixedTime; }

// A whole decimal number, optionally negative, with nothing around it.
bool ParseDecimal(const char* text, std::int64_t min, std::int64_t max, std::int64_t* value) {
    const char* digits = text[0] == '-' ? text + 1 : text;
    if (digits[0] < '0' || digits[0] > '9') return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < min || parsed > max) return false;
    *value = parsed;
    return true;
}

int Fail(const char* what, const char* text) {
    std::fprintf(stderr, "mirrowen-sim: %s: %s\n", what, text);
    return UsageError;
}

}  // namespace

int main(int argc, char** argv) {
    MemoryStore store;
    bool timeGiven = false;
    std::int64_t frames = 0;

    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        const bool known = std::strcmp(option, "--time") == 0 || std::strcmp(option, "--frames") == 0 ||
                           std::strcmp(option, "--set") == 0;
        if (!known) return Fail("unknown option", option);
        if (i + 1 >= argc) return Fail("missing value after", option);
        const char* value = argv[++i];

        if (std::strcmp(option, "--time") == 0) {
            if (!ParseDecimal(value, INT64_MIN, INT64_MAX, &FixedTime)) return Fail("malformed time", value);
            timeGiven = true;
        } else if (std::strcmp(option, "--frames") == 0) {
            if (!ParseDecimal(value, 0, INT64_MAX, &frames)) return Fail("malformed frame count", value);
        } else {
            const char* equals = std::strchr(value, '=');
            if (equals == nullptr) return Fail("expected NAME=V", value);
            const std::string name(value, equals);
            if (FindSaverValue(name.c_str()) == nullptr) return Fail("unknown setting", name.c_str());
            std::int64_t number;
            // A negative number stands for its two's complement.
            if (!ParseDecimal(equals + 1, INT32_MIN, UINT32_MAX, &number)) return Fail("malformed value", value);
            PutDword(store, SaverKeyPath, name, static_cast<std::uint32_t>(number));
        }
    }

    SaverSettings settings;
    settings.LoadSettings(MemoryStoreInterface(store));
    if (timeGiven) SeedClock = FixedClock;

    ResetOrigins(settings.ScrWidth, settings.ScrHeight);
    SeedStars(settings);
    for (std::int64_t frame = 0; frame < frames; ++frame) {
        MoveOrigins(settings.OriginSpeed);
        UpdateStars(settings);
        StepCoronaAngle();
    }

#ifdef _WIN32
    // The dump is compared byte for byte: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    WriteSimDump(stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
