#include "platform/unix_input/key_typer.h"

#include "base/log.h"

namespace hovra::platform::unix_input {
namespace {

size_t IndexOf(Modifier modifier) { return static_cast<size_t>(modifier); }

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void LogBrokenSurrogate() {
  static LogOnce broken;
  if (broken.First()) Log("typed text held an unpaired UTF-16 surrogate; it was skipped");
}

}  // namespace

void KeyTyper::Post(const KeyEvent& event) {
  if (!event.unicode.empty()) {
    PostText(event);
  } else {
    PostKeyCode(event);
  }
}

void KeyTyper::PostKeyCode(const KeyEvent& event) {
  std::optional<Modifier> own = ModifierOfKey(event.code);
  std::optional<Code> code;
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
        Log("virtual key %u has no key on this desktop; its events are not posted", event.code);
      return;
    }
    code = layout_.FindKey(*symbols);
    // A key this layout lacks (a US "=" on a German map) is typed on a spare key, but only
    // a press binds one: a release of a key never pressed has nothing to let go.
    if (!code && event.down) code = layout_.Bind(*symbols, PressedCodes());
    if (!code) return;
  }
  if (event.down) keysDown_[event.code] = *code;
  SendWithFlags(*code, event.down, own, event.flags);
  if (own) modifiersDown_[IndexOf(*own)] = event.down ? code : std::nullopt;
}

void KeyTyper::PostText(const KeyEvent& event) {
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
    PostCharacter(character, event.down);
  }
}

void KeyTyper::PostCharacter(char32_t character, bool down) {
  std::optional<Code> code;
  bool needsShift = false;
  if (!down) {
    auto held = charsDown_.find(character);
    if (held == charsDown_.end()) return;
    code = held->second;
    charsDown_.erase(held);
  } else {
    KeySymbol symbol = SymbolForCharacter(character);
    std::optional<KeyLayout::Place> place = layout_.Find(symbol);
    if (place) {
      code = place->code;
      needsShift = place->needsShift;
    } else {
      code = layout_.Bind(KeySymbols{symbol, 0}, PressedCodes());
    }
    if (!code) return;
    charsDown_[character] = *code;
  }
  // Text carries no modifiers but the Shift its character needs, whatever is held.
  SendWithFlags(*code, down, std::nullopt, needsShift ? kFlagShift : 0);
}

void KeyTyper::SendWithFlags(Code code, bool down, std::optional<Modifier> own,
                             std::optional<uint64_t> flags) {
  if (!flags) {
    layout_.Send(code, down);
    return;
  }
  std::array<std::optional<Code>, 4> toRelease;
  std::array<std::optional<Code>, 4> toPress;
  for (Modifier modifier : kModifiers) {
    if (modifier == own) continue;
    size_t i = IndexOf(modifier);
    bool wanted = (*flags & FlagOf(modifier)) != 0;
    if (modifiersDown_[i] && !wanted) toRelease[i] = modifiersDown_[i];
    if (!modifiersDown_[i] && wanted) {
      toPress[i] = layout_.FindKey(KeySymbols{SymbolOfModifier(modifier), 0});
    }
  }
  for (size_t i = 0; i < 4; ++i) {
    if (toRelease[i]) layout_.Send(*toRelease[i], false);
    if (toPress[i]) layout_.Send(*toPress[i], true);
  }
  layout_.Send(code, down);
  for (size_t i = 4; i-- > 0;) {
    if (toPress[i]) layout_.Send(*toPress[i], false);
    if (toRelease[i]) layout_.Send(*toRelease[i], true);
  }
}

std::set<KeyTyper::Code> KeyTyper::PressedCodes() const {
  std::set<Code> codes;
  for (const auto& [key, code] : keysDown_) codes.insert(code);
  for (const auto& [character, code] : charsDown_) codes.insert(code);
  return codes;
}

void KeyTyper::ReleaseAll() {
  for (const auto& [character, code] : charsDown_) layout_.Send(code, false);
  for (const auto& [key, code] : keysDown_) layout_.Send(code, false);
  Forget();
}

void KeyTyper::Forget() {
  keysDown_.clear();
  charsDown_.clear();
  modifiersDown_ = {};
  pendingHigh_ = 0;
}

}  // namespace hovra::platform::unix_input
