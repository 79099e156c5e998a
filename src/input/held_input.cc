#include "input/held_input.h"

#include <algorithm>

#include "input/gestures.h"
#include "input/keystrokes.h"

namespace hovra {

void HeldInput::Press(Kind kind, uint64_t id) {
  auto same = [&](const Held& h) { return h.kind == kind && h.id == id; };
  if (std::none_of(held_.begin(), held_.end(), same)) held_.push_back(Held{kind, id});
}

void HeldInput::Forget(Kind kind, uint64_t id) {
  std::erase_if(held_, [&](const Held& h) { return h.kind == kind && h.id == id; });
}

void HeldInput::ForgetKind(Kind kind) {
  std::erase_if(held_, [&](const Held& h) { return h.kind == kind; });
}

void HeldInput::RawKey(short code, bool up) {
  SendRawKeyInput(code, up);
  if (code < 0) return;  // nothing was posted
  if (up) {
    Forget(Kind::kKey, static_cast<uint64_t>(code));
  } else {
    Press(Kind::kKey, static_cast<uint64_t>(code));
  }
}

void HeldInput::MouseButton(MouseKey_ key, bool up) {
  SendMouseRawKey(key, up);
  if (key != kMouseLeft && key != kMouseRight && key != kMouseMiddle) return;  // nothing was posted
  if (up) {
    Forget(Kind::kButton, static_cast<uint64_t>(key));
  } else {
    Press(Kind::kButton, static_cast<uint64_t>(key));
  }
}

void HeldInput::DragStart() {
  ::hovra::DragStart();
  Press(Kind::kButton, kMouseLeft);
}

void HeldInput::DragEnd() {
  ::hovra::DragEnd();
  Forget(Kind::kButton, kMouseLeft);
}

// A slide that started the switcher makes this client the holder of its Command; one
// that ended it leaves nothing to let go.
void HeldInput::NoteSwitcherAfter(uint64_t holderBefore) {
  uint64_t holder = SwitcherHoldingCommand();
  if (holder == holderBefore) return;
  ForgetKind(Kind::kSwitcher);
  if (holder != 0) held_.push_back(Held{Kind::kSwitcher, holder});
}

void HeldInput::SlideLeft() {
  uint64_t before = SwitcherHoldingCommand();
  ::hovra::SlideLeft();
  NoteSwitcherAfter(before);
}

void HeldInput::SlideRight() {
  uint64_t before = SwitcherHoldingCommand();
  ::hovra::SlideRight();
  NoteSwitcherAfter(before);
}

void HeldInput::SlideBegin() { ::hovra::SlideBegin(); }  // Command stays down: still ours to let go

void HeldInput::SlideEnd() {
  uint64_t before = SwitcherHoldingCommand();
  ::hovra::SlideEnd();
  NoteSwitcherAfter(before);
}

void HeldInput::SlideUp() {
  uint64_t before = SwitcherHoldingCommand();
  ::hovra::SlideUp();
  NoteSwitcherAfter(before);
}

void HeldInput::ReleaseAll() {
  std::vector<Held> held;
  held.swap(held_);
  for (auto it = held.rbegin(); it != held.rend(); ++it) {
    switch (it->kind) {
      case Kind::kKey:
        SendRawKeyInput(static_cast<short>(it->id), true);
        break;
      case Kind::kButton:
        SendMouseRawKey(static_cast<MouseKey_>(it->id), true);
        break;
      case Kind::kSwitcher:
        if (SwitcherHoldingCommand() == it->id) EndSwitchingWindow();
        break;
    }
  }
}

}  // namespace hovra
