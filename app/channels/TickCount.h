// The millisecond tick count of the scan cycle.
#pragma once

#include <cstdint>

// A 32-bit millisecond counter that wraps after about 49.7 days; only differences of two
// readings mean anything.
uint32_t TickCount();

// Milliseconds from `earlier` to `now`, right across a wrap of the counter.
inline uint32_t TicksSince(uint32_t now, uint32_t earlier) { return now - earlier; }
