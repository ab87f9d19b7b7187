// The saver's trace hook: every text is discarded unless a sink is set, so
// that a test (or a developer build) can see which path the program took.
#pragma once

using DebugTraceSink = void (*)(const char* text);

void DebugTrace(const char* text);
// Sets where DebugTrace sends its texts; null discards them again.
void SetDebugTraceSink(DebugTraceSink sink);
