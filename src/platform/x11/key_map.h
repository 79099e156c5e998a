// The running X server's keyboard map as typing needs it: the keycode that gives a keysym
// at the plain or the Shift level, and spare keycodes (bound to no keysym) that can be bound
// to any keysym for a while. Bindings are kept until their keycode is needed for another
// keysym, so that a client which reads the map late still finds the character it was sent,
// and are all restored by RestoreAll(). Core keyboard map, first group.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "platform/unix_input/key_symbols.h"

namespace hovra::platform::x11 {

using unix_input::KeySymbol;
using unix_input::KeySymbols;

class KeyMap {
 public:
  struct Place {
    KeyCode code = 0;
    bool needsShift = false;
  };

  // Reads the map (one round trip). Bindings the map no longer shows are forgotten.
  void Load(Display* display);
  void Clear();  // the connection is gone; nothing is bound any more

  // Where `symbol` is typed: at the plain level if any key has it there, else at Shift.
  std::optional<Place> Find(KeySymbol symbol) const;
  // The key that has `symbols.plain` at the plain level and, when the key has a second
  // level, `symbols.shifted` at Shift: the key behaves like its US counterpart.
  std::optional<KeyCode> FindKey(const KeySymbols& symbols) const;
  // A spare keycode bound to `symbols` (both levels `plain` when there is no shifted one);
  // reuses an existing binding, else takes a free spare or the least recently used binding
  // not in `pressed`. Nothing when no keycode can be spared.
  std::optional<KeyCode> Bind(Display* display, const KeySymbols& symbols,
                              const std::set<KeyCode>& pressed);
  void RestoreAll(Display* display);

 private:
  struct Binding {
    KeyCode code;
    KeySymbols symbols;
    uint64_t lastUse;
  };

  KeySymbol At(int code, int level) const;
  bool IsUnbound(int code) const;
  void Write(Display* display, KeyCode code, KeySymbol plain, KeySymbol shifted);
  std::optional<size_t> ChooseSlot(const std::set<KeyCode>& pressed);

  int minCode_ = 0;
  int maxCode_ = -1;
  int perCode_ = 0;
  std::vector<KeySym> symbols_;  // perCode_ keysyms for each keycode from minCode_
  std::vector<Binding> bindings_;
  uint64_t uses_ = 0;
};

}  // namespace hovra::platform::x11
