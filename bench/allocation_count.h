// Counts every allocation made through operator new in the program, so that a
// benchmark can show its loop allocates nothing.
#pragma once

long AllocationCount();
