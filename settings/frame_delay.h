// The frame delay kept beside the saver values: microseconds each frame (and
// so each step of the field) takes at least. The Linux program's -delay and
// the page's step rate; the Windows saver does not read it.
#pragma once

#include <cstdint>

constexpr const char* FrameDelayValueName = "FrameDelay";
constexpr std::int64_t DefaultFrameDelay = 16667;  // at most 60 frames a second, the designed speed
constexpr std::int64_t MaxFrameDelay = 100000;     // the largest delay accepted
