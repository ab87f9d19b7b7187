// The screen-saver command line: "/s", "/c[:hwnd]", "/a hwnd", "/p hwnd" or
// "/p scrprev", "/l ...", or nothing at all.
#pragma once

#include "windows/run_mode.h"

struct ParsedCommandLine {
    std::int32_t Mode;
    WindowHandle Parent;
};

// Lookups the parse needs from the window system, passed in so that the parse
// itself stays a pure function of the string.
struct CommandLineHooks {
    WindowHandle (*ForegroundWindow)();  // for a bare configure switch
    WindowHandle (*FindPreviewHost)();   // for "/p scrprev"
};

// `commandLine` is the whole line, program name first.
ParsedCommandLine ParseCommandLine(const char* commandLine, const CommandLineHooks& hooks);

// Reads a number the way the C library's atoi does (leading white space, an
// optional sign, decimal digits), but with a defined result where atoi has
// none: a value beyond the 32-bit range saturates at INT32_MAX or INT32_MIN,
// as the Windows C runtime's atoi does.
std::int32_t ParseAtoi(const char* text);

// A 32-bit handle number as a window handle: its bits sign-extended.
WindowHandle HandleFromNumber(std::int32_t number);
