#include "windows/command_line.h"

#include <cstring>

std::int32_t RunMode = RunModeNone;

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

const char* SkipBlanks(const char* p) {
    while (*p == ' ') ++p;
    return p;
}

const char* SkipBlanksAndColons(const char* p) {
    while (*p == ' ' || *p == ':') ++p;
    return p;
}

WindowHandle HandleFromText(const char* p) { return HandleFromNumber(ParseAtoi(p)); }

}  // namespace

std::int32_t ParseAtoi(const char* text) {
    const char* p = text;
    while (IsCSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    // Accumulate the magnitude in 64 bits and stop growing it once it is past
    // the 32-bit range, so no digit string can overflow.
    std::int64_t magnitude = 0;
    const std::int64_t limit = std::int64_t{INT32_MAX} + 1;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (magnitude <= limit) magnitude = magnitude * 10 + (*p - '0');
    }
    if (negative) {
        if (magnitude >= limit) return INT32_MIN;
        return static_cast<std::int32_t>(-magnitude);
    }
    if (magnitude > INT32_MAX) return INT32_MAX;
    return static_cast<std::int32_t>(magnitude);
}

WindowHandle HandleFromNumber(std::int32_t number) { return static_cast<WindowHandle>(number); }

ParsedCommandLine ParseCommandLine(const char* commandLine, const CommandLineHooks& hooks) {
    const char* p = commandLine;

    // The program name, quoted or not; only the blank separates words here.
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') ++p;
    } else {
        while (*p != '\0' && *p != ' ') ++p;
    }
    if (*p != '\0') ++p;  // the closing quote or the blank after the name
    p = SkipBlanks(p);

    if (*p == '\0') return {RunModeConfigure, 0};
    if (*p == '-' || *p == '/') ++p;

    switch (*p) {
        case 'S':
        case 's':
            return {RunModeSaver, 0};
        case 'C':
        case 'c': {
            p = SkipBlanksAndColons(p + 1);
            WindowHandle owner = (*p == '\0') ? hooks.ForegroundWindow() : HandleFromText(p);
            return {RunModeConfigure, owner};
        }
        case 'A':
        case 'a':
            p = SkipBlanksAndColons(p + 1);
            return {RunModeChangePassword, HandleFromText(p)};
        case 'P':
        case 'p':
        case 'L':
        case 'l': {
            p = SkipBlanksAndColons(p + 1);
            const bool named = std::strcmp(p, "scrprev") == 0 || std::strcmp(p, "ScrPrev") == 0 ||
                               std::strcmp(p, "SCRPREV") == 0;
            return {RunModePreview, named ? hooks.FindPreviewHost() : HandleFromText(p)};
        }
        default:
            return {RunModeNone, 0};
    }
}
