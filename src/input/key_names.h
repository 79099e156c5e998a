// Key names to macOS virtual key codes. The two maps are empty until start-up calls
// FillKeyNameMaps() (once, before the server starts); afterwards they are only read, so
// lookups from the worker thread need no lock.
#pragma once

#include <string>

#include "input/key_tables.h"

namespace hovra {

inline constexpr short kNoKey = -1;  // "there is no such key"
inline constexpr short kShiftKeyCode = 56;

// Inserts every row of both tables, in table order. Calling it again changes nothing.
void FillKeyNameMaps();

// The code of `name`, or kNoKey. A name of the lower table wins and stores false in
// `needsShift`, a name of the upper table stores true; an unknown name leaves the flag
// untouched. `needsShift` may be null. Names are matched exactly (no case folding).
short StringToVKValue(const std::string& name, bool* needsShift);

}  // namespace hovra
