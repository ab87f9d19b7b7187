// Shared by the password-hook test programs: the fixture libraries built
// beside them (lib\), placing them in the prefix's system directory under the
// system's names, the record the libraries keep, and the captured traces.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "windows/debug_trace.h"

namespace pwtest {

inline std::string ProgramDir() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\'));
}

inline std::string SystemDir() {
    char path[MAX_PATH];
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

inline std::string SystemPath(const char* name) { return SystemDir() + "\\" + name; }

// A fixture library as built: verify_password, verify_no_entry,
// change_password or change_no_entry.
inline std::string FixturePath(const char* fixture) { return ProgramDir() + "\\lib\\" + fixture + ".dll"; }

inline std::string RecordPath() { return ProgramDir() + "\\password-record.txt"; }

// Every line the fixture libraries wrote since the last ClearRecord; empty
// when none was loaded.
inline std::vector<std::string> RecordLines() {
    std::vector<std::string> lines;
    std::ifstream in(RecordPath());
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

inline bool RecordExists() { return GetFileAttributesA(RecordPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

inline void ClearRecord() {
    DeleteFileA(RecordPath().c_str());
    SetEnvironmentVariableA("MIRROWEN_PW_RECORD", RecordPath().c_str());
}

inline bool Copy(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

inline std::vector<std::string>& Traces() {
    static std::vector<std::string> traces;
    return traces;
}

inline void CaptureTrace(const char* text) { Traces().emplace_back(text); }

inline void StartTraceCapture() {
    Traces().clear();
    SetDebugTraceSink(CaptureTrace);
}

inline void StopTraceCapture() { SetDebugTraceSink(nullptr); }

// A window handle as the fixture libraries write it.
inline std::string HandleText(HWND window) {
    return std::to_string(static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(window)));
}

// True while a module of that full path is mapped in this process.
inline bool Loaded(const std::string& path) { return GetModuleHandleA(path.c_str()) != nullptr; }

}  // namespace pwtest
