#include "windows/debug_trace.h"

namespace {

DebugTraceSink Sink = nullptr;

}  // namespace

void DebugTrace(const char* text) {
    if (Sink != nullptr) Sink(text);
}

void SetDebugTraceSink(DebugTraceSink sink) { Sink = sink; }
