// Key events on an X display through XTEST: virtual key codes become the keycodes of the
// running keyboard map, text becomes the character it names whatever the layout, and an
// event with explicit flags carries exactly those modifiers. Requests are queued, not
// flushed; the caller flushes once per posted event.
#pragma once

#include <X11/Xlib.h>

#include <array>
#include <map>
#include <optional>
#include <set>

#include "platform/event_services.h"
#include "platform/x11/key_map.h"

namespace hovra::platform::x11 {

class Keyboard {
 public:
  explicit Keyboard(KeyMap& map) : map_(map) {}

  void Post(Display* display, const KeyEvent& event);
  // Lets go of every key this keyboard still holds (before the connection is closed).
  void ReleaseAll(Display* display);
  // The connection is gone, and with it every key it held.
  void Forget();

 private:
  void PostKeyCode(Display* display, const KeyEvent& event);
  void PostText(Display* display, const KeyEvent& event);
  void PostCharacter(Display* display, char32_t character, bool down);
  // Sends one key transition with exactly the modifiers of `flags` down (the event's own
  // modifier key aside): others held are let go around it and pressed again after.
  void SendWithFlags(Display* display, KeyCode code, bool down, std::optional<Modifier> own,
                     std::optional<uint64_t> flags);
  void Send(Display* display, KeyCode code, bool down);
  std::optional<KeyCode> ModifierKeyCode(Modifier modifier) const;
  std::set<KeyCode> PressedCodes() const;

  KeyMap& map_;
  std::map<uint16_t, KeyCode> keysDown_;   // virtual key code -> the keycode it pressed
  std::map<char32_t, KeyCode> charsDown_;  // typed character -> the keycode it pressed
  std::array<std::optional<KeyCode>, 4> modifiersDown_;  // by Modifier, pressed by key events
  char16_t pendingHigh_ = 0;  // first half of a surrogate pair being typed
};

}  // namespace hovra::platform::x11
