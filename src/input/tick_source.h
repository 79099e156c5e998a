// The millisecond clock that times quick successive clicks. The server installs its own
// GetTimeTick at start-up; tests install a fake clock so that click timing never depends
// on real time. Ticks are unsigned 32-bit and wrap; compare them by unsigned difference.
#pragma once

#include <cstdint>

namespace hovra {

using TickSource = uint32_t (*)();

// Installs `source`; nullptr restores the default (milliseconds since the process started).
void SetTickSource(TickSource source);

// The current tick of the installed source.
uint32_t CurrentTick();

}  // namespace hovra
