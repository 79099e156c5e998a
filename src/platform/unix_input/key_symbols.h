// What each macOS virtual key code the system posts means on an X or Wayland desktop: the
// keysym of the key on a US layout without and with Shift. Command is Super, Option is Alt.
// Also the keysym that types one Unicode character. Keysym values are X's, which XKB (and
// so every Wayland keymap) shares.
#pragma once

#include <cstdint>
#include <optional>

namespace hovra::platform::unix_input {

using KeySymbol = unsigned long;  // an X or XKB keysym, without pulling Xlib into every includer

struct KeySymbols {
  KeySymbol plain = 0;    // the key's keysym
  KeySymbol shifted = 0;  // with Shift on a US layout; 0 when the key has no second level
};

// The keysyms of a virtual key code, or nothing for a code without an X counterpart (Fn).
std::optional<KeySymbols> SymbolsForVirtualKey(uint16_t code);

// The keysym that types `codePoint` (Latin-1 directly, anything else as a Unicode keysym).
KeySymbol SymbolForCharacter(char32_t codePoint);

// The modifiers an event's flags name, in the order they are pressed.
enum class Modifier { kShift, kControl, kOption, kCommand };
inline constexpr Modifier kModifiers[] = {Modifier::kShift, Modifier::kControl, Modifier::kOption,
                                          Modifier::kCommand};
uint64_t FlagOf(Modifier modifier);
// The modifier a virtual key code is, if it is one (Shift 56, Control 59, Option 58, Command 55).
std::optional<Modifier> ModifierOfKey(uint16_t code);
KeySymbol SymbolOfModifier(Modifier modifier);

}  // namespace hovra::platform::unix_input
