// What one client holds down: keys pressed raw ("[R] SHIFT d"), mouse buttons ("R l d",
// "drag start") and the application switcher it opened (Command held by a slide). A
// client that vanishes must not leave any of them stuck, so each connection routes its
// holding actions through its own HeldInput and calls ReleaseAll() when it ends.
//
// ReleaseAll() lets go of exactly what this client still holds, most recently pressed
// first, the way a person would let go of a chord: keys with a key-up, buttons with a
// release at the pointer's current position (where the pointer is now, not where the
// press happened), and the switcher with its end script, only if the switcher Command
// this client started is still down (another client may have ended it or started a new
// one since). Something already let go by the client itself is not released again; a
// key or button pressed twice is released once. Nothing held, nothing posted.
// The destructor releases nothing: the server decides when a connection's input ends.
// Worker thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "input/pointer.h"

namespace hovra {

class HeldInput {
 public:
  void RawKey(short code, bool up);          // SendRawKeyInput, tracked
  void MouseButton(MouseKey_ key, bool up);  // SendMouseRawKey, tracked
  void DragStart();                          // holds the left button
  void DragEnd();                            // lets it go
  void SlideLeft();
  void SlideRight();
  void SlideBegin();
  void SlideEnd();
  void SlideUp();

  void ReleaseAll();

 private:
  enum class Kind { kKey, kButton, kSwitcher };
  struct Held {
    Kind kind;
    uint64_t id;  // key code, button, or the switcher start that holds Command
  };

  void Press(Kind kind, uint64_t id);
  void Forget(Kind kind, uint64_t id);
  void ForgetKind(Kind kind);
  void NoteSwitcherAfter(uint64_t holderBefore);

  std::vector<Held> held_;  // in press order
};

}  // namespace hovra
