// Key events on a keyboard whose map the backend knows: virtual key codes become the keys
// of the map in use, text becomes the character it names whatever the layout (on a spare
// key bound for it when no key carries it), and an event with explicit flags carries
// exactly those modifiers. The backend supplies the map and the transitions (KeyLayout);
// X11 and Wayland share everything else.
//   MyLayout layout(...);  KeyTyper typer(layout);  typer.Post(event);
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>

#include "platform/event_services.h"
#include "platform/unix_input/key_symbols.h"

namespace hovra::platform::unix_input {

// The keyboard map a KeyTyper posts through. Codes are the backend's own key codes.
class KeyLayout {
 public:
  using Code = uint32_t;
  struct Place {
    Code code = 0;
    bool needsShift = false;
  };

  virtual ~KeyLayout() = default;
  // Where `symbol` is typed: at the plain level if any key has it there, else at Shift.
  virtual std::optional<Place> Find(KeySymbol symbol) = 0;
  // The key that has `symbols.plain` at the plain level and, when the key has a second
  // level, `symbols.shifted` at Shift: the key behaves like its US counterpart.
  virtual std::optional<Code> FindKey(const KeySymbols& symbols) = 0;
  // A spare key bound to `symbols` for the moment, never one of `pressed`; nothing when no
  // key can be spared.
  virtual std::optional<Code> Bind(const KeySymbols& symbols, const std::set<Code>& pressed) = 0;
  virtual void Send(Code code, bool down) = 0;
};

class KeyTyper {
 public:
  explicit KeyTyper(KeyLayout& layout) : layout_(layout) {}

  void Post(const KeyEvent& event);
  // Lets go of every key this typer still holds (before the keyboard goes away).
  void ReleaseAll();
  // The keyboard is gone, and with it every key it held.
  void Forget();

 private:
  using Code = KeyLayout::Code;

  void PostKeyCode(const KeyEvent& event);
  void PostText(const KeyEvent& event);
  void PostCharacter(char32_t character, bool down);
  // Sends one key transition with exactly the modifiers of `flags` down (the event's own
  // modifier key aside): others held are let go around it and pressed again after.
  void SendWithFlags(Code code, bool down, std::optional<Modifier> own,
                     std::optional<uint64_t> flags);
  std::set<Code> PressedCodes() const;

  KeyLayout& layout_;
  std::map<uint16_t, Code> keysDown_;                 // virtual key code -> the key it pressed
  std::map<char32_t, Code> charsDown_;                // typed character -> the key it pressed
  std::array<std::optional<Code>, 4> modifiersDown_;  // by Modifier, pressed by key events
  char16_t pendingHigh_ = 0;                          // first half of a surrogate pair being typed
};

}  // namespace hovra::platform::unix_input
