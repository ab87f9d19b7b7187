// The page's settings in its address (the query string): every saver value
// by its stored name with its stored number, as the registry and the
// settings file keep it ("Gravity" 0 to 10), the frame delay, and the
// page's own switches. A link carries a picture's settings.
//
//   mirrowen.html?Preset=2&StarCount=2000&FrameDelay=33333&saver=1
//
// Unlike a stored value, which is dropped for its default when it fails its
// acceptance test, a number in the address is clamped into the test's
// range: StarCount=5000 draws 2000 stars. "Preset" applies that preset's
// values first, whatever its place; the other values lie over them.
#pragma once

#include <cstdint>
#include <string>

#include "settings/frame_delay.h"
#include "settings/saver_settings.h"

struct PageOptions {
    std::int64_t FrameDelay = DefaultFrameDelay;  // microseconds a step takes at least; 0: one step a frame shown
    bool Saver = false;           // saver=1: the field only, no panel, no cursor
    bool SeedGiven = false;       // seed=T: the calendar time the field is seeded from
    std::int64_t Seed = 0;
    std::int64_t Frames = -1;     // frames=N: the field stops after N steps, its picture held; -1: never
    bool Dump = false;            // dump=1: the state dump on the console once stopped
    bool Stats = false;           // stats=1: steps and frames a second on the console
};

// The defaults, then the address's values and switches. Names are matched
// exactly; unknown names and values that are not whole numbers are left
// out.
void ReadAddress(const std::string& query, SaverSettings& settings, PageOptions& page);

// The query (without "?") that ReadAddress reads back to the same settings
// and switches: the preset, then every value that differs from what the
// defaults and the preset give, then the switches given.
std::string AddressQuery(const SaverSettings& settings, const PageOptions& page);
