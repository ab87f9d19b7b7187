#include "sim/seed_clock.h"

#include <ctime>

std::int64_t SystemCalendarTime() { return static_cast<std::int64_t>(std::time(nullptr)); }

CalendarClock SeedClock = SystemCalendarTime;
