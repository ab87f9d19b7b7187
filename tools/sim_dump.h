// The text dump of the simulation state. Other tools compare dumps byte for
// byte, so the format is fixed: one record a line, fields separated by one
// space, floats as the 8 lowercase hex digits of their bit pattern.
#pragma once

#include <cstdio>

// field, the four origin lines, one star line per live slot, corona, rand.
void WriteSimDump(std::FILE* out);
