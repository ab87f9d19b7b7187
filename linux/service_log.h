// The idle service's log: one line on standard error for each thing a user
// may want to know afterwards (a cover started or ended, an inhibition taken
// or released, an idle period held off and by whom), which the user
// service's journal keeps: `journalctl --user -u mirrowen-idle`.
#pragma once

#include <string>

void ServiceLog(const std::string& line);
