// Fuzz entry for the screen-saver command line, compiled natively: any line
// gives one of the five run modes with the window the mode asks for, and
// its number reading matches the C library's strtoll clamped to 32 bits.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "windows/command_line.h"

namespace {

constexpr WindowHandle Foreground = 0x7F000001;
constexpr WindowHandle PreviewHost = 0x7F000002;

WindowHandle ForegroundWindow() { return Foreground; }
WindowHandle FindPreviewHost() { return PreviewHost; }

void Fail(const char* what, const std::string& line) {
    std::fprintf(stderr, "%s: \"%s\"\n", what, line.c_str());
    std::abort();
}

std::int32_t ClampedStrtoll(const char* text) {
    const long long n = std::strtoll(text, nullptr, 10);
    if (n > INT32_MAX) return INT32_MAX;
    if (n < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The line ends at its first zero byte, as a Windows command line does.
    const std::string line(reinterpret_cast<const char*>(data), size);
    const char* text = line.c_str();
    const ParsedCommandLine parsed = ParseCommandLine(text, CommandLineHooks{ForegroundWindow, FindPreviewHost});
    switch (parsed.Mode) {
        case RunModeNone:
        case RunModeSaver:
            if (parsed.Parent != 0) Fail("a window for a mode that takes none", line);
            break;
        case RunModeConfigure:
        case RunModeChangePassword:
        case RunModePreview:
            break;
        default:
            Fail("not a run mode", line);
    }
    // The number reading from each of the first places in the line.
    for (std::size_t at = 0; at < 32 && at < std::strlen(text); ++at) {
        if (ParseAtoi(text + at) != ClampedStrtoll(text + at)) Fail("ParseAtoi differs from strtoll", text + at);
    }
    return 0;
}
