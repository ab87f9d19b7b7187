#include "linux/service_log.h"

#include <cstdio>

void ServiceLog(const std::string& line) {
    std::fprintf(stderr, "mirrowen: %s\n", line.c_str());
    std::fflush(stderr);
}
