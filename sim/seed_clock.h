// The calendar clock that seeds the star field. Tools and tests replace it to
// make a run reproducible.
#pragma once

#include <cstdint>

// Calendar time in whole seconds.
using CalendarClock = std::int64_t (*)();

// The system's calendar time, time(NULL).
std::int64_t SystemCalendarTime();

// The clock SeedStars reads; SystemCalendarTime unless replaced.
extern CalendarClock SeedClock;
