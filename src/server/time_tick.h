// The server's millisecond clock: unsigned 32-bit milliseconds since the server object
// was created, compared only by unsigned difference (it wraps after about 49.7 days).
#pragma once

#include <sys/time.h>

namespace hovra {

unsigned int GetTimeTick();
// Takes the current time as the clock's origin (the server's constructor calls it).
void ResetTimeTickOrigin();
// The tick for a given origin and time, with the clock's exact 32-bit arithmetic.
unsigned int TimeTickBetween(const timeval& start, const timeval& now);

}  // namespace hovra
