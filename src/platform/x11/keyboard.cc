#include "platform/x11/keyboard.h"

#include <X11/extensions/XTest.h>

#include "base/log.h"

namespace hovra::platform::x11 {
namespace {

size_t IndexOf(Modifier modifier) { return static_cast<size_t>(modifier); }

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void LogBrokenSurrogate() {
  static LogOnce broken;
  if (broken.First()) Log("typed text held an unpaired UTF-16 surrogate; it was skipped");
}

}  // namespace

void Keyboard::Post(Display* display, const KeyEvent& event) {
  if (!event.unicode.empty()) {
    PostText(display, event);
  } else {
    PostKeyCode(display, event);
  }
}

void Keyboard::PostKeyCode(Display* display, const KeyEvent& event) {
  std::optional<Modifier> own = ModifierOfKey(event.code);
  std::optional<KeyCode> code;
  if (!event.down) {
    auto held = keysDown_.find(event.code);
    if (held != keysDown_.end()) {
      code = held->second;  // the key it pressed, even if the map changed since
      keysDown_.erase(held);
    }
  }
  if (!code) {
    std::optional<KeySymbols> symbols = SymbolsForVirtualKey(event.code);
    if (!symbols) {
      static LogOnce unknown;
      if (unknown.First())
        Log("virtual key %u has no X key; its events are not posted", event.code);
      return;
    }
    code = map_.FindKey(*symbols);
    // A key this layout lacks (a US "=" on a German map) is typed on a spare keycode, but
    // only a press binds one: a release of a key never pressed has nothing to let go.
    if (!code && event.down) code = map_.Bind(display, *symbols, PressedCodes());
    if (!code) return;
  }
  if (event.down) keysDown_[event.code] = *code;
  SendWithFlags(display, *code, event.down, own, event.flags);
  if (own) modifiersDown_[IndexOf(*own)] = event.down ? code : std::nullopt;
}

void Keyboard::PostText(Display* display, const KeyEvent& event) {
  for (char16_t unit : event.unicode) {
    if (IsHighSurrogate(unit)) {
      if (event.down) {
        if (pendingHigh_ != 0) LogBrokenSurrogate();
        pendingHigh_ = unit;  // typed with the low half that follows
      }
      continue;
    }
    char32_t character = unit;
    if (IsLowSurrogate(unit)) {
      if (pendingHigh_ == 0) {
        LogBrokenSurrogate();
        continue;
      }
      character =
          0x10000 + ((static_cast<char32_t>(pendingHigh_) - 0xD800) << 10) + (unit - 0xDC00);
      if (!event.down) pendingHigh_ = 0;
    } else if (pendingHigh_ != 0) {
      LogBrokenSurrogate();
      pendingHigh_ = 0;
    }
    PostCharacter(display, character, event.down);
  }
}

void Keyboard::PostCharacter(Display* display, char32_t character, bool down) {
  std::optional<KeyCode> code;
  bool needsShift = false;
  if (!down) {
    auto held = charsDown_.find(character);
    if (held == charsDown_.end()) return;
    code = held->second;
    charsDown_.erase(held);
  } else {
    KeySymbol symbol = SymbolForCharacter(character);
    std::optional<KeyMap::Place> place = map_.Find(symbol);
    if (place) {
      code = place->code;
      needsShift = place->needsShift;
    } else {
      code = map_.Bind(display, KeySymbols{symbol, 0}, PressedCodes());
    }
    if (!code) return;
    charsDown_[character] = *code;
  }
  // Text carries no modifiers but the Shift its character needs, whatever is held.
  SendWithFlags(display, *code, down, std::nullopt, needsShift ? kFlagShift : 0);
}

void Keyboard::SendWithFlags(Display* display, KeyCode code, bool down, std::optional<Modifier> own,
                             std::optional<uint64_t> flags) {
  if (!flags) {
    Send(display, code, down);
    return;
  }
  std::array<std::optional<KeyCode>, 4> toRelease;
  std::array<std::optional<KeyCode>, 4> toPress;
  for (Modifier modifier : kModifiers) {
    if (modifier == own) continue;
    size_t i = IndexOf(modifier);
    bool wanted = (*flags & FlagOf(modifier)) != 0;
    if (modifiersDown_[i] && !wanted) toRelease[i] = modifiersDown_[i];
    if (!modifiersDown_[i] && wanted) toPress[i] = ModifierKeyCode(modifier);
  }
  for (size_t i = 0; i < 4; ++i) {
    if (toRelease[i]) Send(display, *toRelease[i], false);
    if (toPress[i]) Send(display, *toPress[i], true);
  }
  Send(display, code, down);
  for (size_t i = 4; i-- > 0;) {
    if (toPress[i]) Send(display, *toPress[i], false);
    if (toRelease[i]) Send(display, *toRelease[i], true);
  }
}

void Keyboard::Send(Display* display, KeyCode code, bool down) {
  XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
}

std::optional<KeyCode> Keyboard::ModifierKeyCode(Modifier modifier) const {
  return map_.FindKey(KeySymbols{SymbolOfModifier(modifier), 0});
}

std::set<KeyCode> Keyboard::PressedCodes() const {
  std::set<KeyCode> codes;
  for (const auto& [key, code] : keysDown_) codes.insert(code);
  for (const auto& [character, code] : charsDown_) codes.insert(code);
  return codes;
}

void Keyboard::ReleaseAll(Display* display) {
  for (const auto& [character, code] : charsDown_) Send(display, code, false);
  for (const auto& [key, code] : keysDown_) Send(display, code, false);
  Forget();
}

void Keyboard::Forget() {
  keysDown_.clear();
  charsDown_.clear();
  modifiersDown_ = {};
  pendingHigh_ = 0;
}

}  // namespace hovra::platform::x11
