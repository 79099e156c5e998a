#include "platform/x11/key_map.h"

#include <X11/keysym.h>

#include <algorithm>

#include "base/log.h"

namespace hovra::platform::x11 {
namespace {

constexpr size_t kMaxBindings = 24;  // spare keycodes in use at once; a real keymap has few free
constexpr int kLevels = 2;           // plain and Shift: the levels a core map entry starts with

}  // namespace

void KeyMap::Load(Display* display) {
  symbols_.clear();
  XDisplayKeycodes(display, &minCode_, &maxCode_);
  int count = maxCode_ - minCode_ + 1;
  KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(minCode_), count, &perCode_);
  if (map == nullptr) {
    static LogOnce unreadable;
    if (unreadable.First()) Log("X keyboard map could not be read; keys are not typed");
    maxCode_ = minCode_ - 1;
    perCode_ = 0;
    bindings_.clear();
    return;
  }
  symbols_.assign(map, map + static_cast<size_t>(count) * static_cast<size_t>(perCode_));
  XFree(map);
  // A new layout (setxkbmap) replaces the whole map: bindings it overwrote are gone.
  std::erase_if(bindings_, [&](const Binding& binding) {
    return At(binding.code, 0) != binding.symbols.plain;
  });
}

void KeyMap::Clear() {
  symbols_.clear();
  bindings_.clear();
  maxCode_ = minCode_ - 1;
  perCode_ = 0;
}

KeySymbol KeyMap::At(int code, int level) const {
  if (code < minCode_ || code > maxCode_ || level >= perCode_) return NoSymbol;
  return symbols_[static_cast<size_t>((code - minCode_) * perCode_ + level)];
}

bool KeyMap::IsUnbound(int code) const {
  for (int level = 0; level < perCode_; ++level) {
    if (At(code, level) != NoSymbol) return false;
  }
  return true;
}

std::optional<KeyMap::Place> KeyMap::Find(KeySymbol symbol) const {
  for (int level = 0; level < kLevels; ++level) {
    for (int code = minCode_; code <= maxCode_; ++code) {
      if (At(code, level) == symbol) return Place{static_cast<KeyCode>(code), level == 1};
    }
  }
  return std::nullopt;
}

std::optional<KeyCode> KeyMap::FindKey(const KeySymbols& symbols) const {
  for (int code = minCode_; code <= maxCode_; ++code) {
    if (At(code, 0) != symbols.plain) continue;
    // A second level that is empty or repeats the first counts as the same key.
    KeySymbol shifted = At(code, 1);
    if (symbols.shifted == 0 || shifted == symbols.shifted) return static_cast<KeyCode>(code);
    if (shifted == NoSymbol && symbols.shifted == XK_A + (symbols.plain - XK_a)) {
      return static_cast<KeyCode>(code);  // a letter key listed once: the server cases it
    }
  }
  return std::nullopt;
}

std::optional<KeyCode> KeyMap::Bind(Display* display, const KeySymbols& symbols,
                                    const std::set<KeyCode>& pressed) {
  ++uses_;
  for (Binding& binding : bindings_) {
    if (binding.symbols.plain == symbols.plain && binding.symbols.shifted == symbols.shifted) {
      binding.lastUse = uses_;
      return binding.code;
    }
  }
  std::optional<size_t> slot = ChooseSlot(pressed);
  if (!slot) {
    static LogOnce noSpare;
    if (noSpare.First()) Log("X keyboard map has no spare keycode; a character could not be typed");
    return std::nullopt;
  }
  Binding& binding = bindings_[*slot];
  binding.symbols = symbols;
  binding.lastUse = uses_;
  Write(display, binding.code, symbols.plain,
        symbols.shifted != 0 ? symbols.shifted : symbols.plain);
  return binding.code;
}

std::optional<size_t> KeyMap::ChooseSlot(const std::set<KeyCode>& pressed) {
  if (bindings_.size() < kMaxBindings) {
    for (int code = maxCode_; code >= minCode_; --code) {  // high keycodes: rarely on keyboards
      auto kc = static_cast<KeyCode>(code);
      bool taken = std::any_of(bindings_.begin(), bindings_.end(),
                               [&](const Binding& b) { return b.code == kc; });
      if (!taken && IsUnbound(code) && !pressed.contains(kc)) {
        bindings_.push_back({kc, {}, 0});
        return bindings_.size() - 1;
      }
    }
  }
  std::optional<size_t> oldest;
  for (size_t i = 0; i < bindings_.size(); ++i) {
    if (pressed.contains(bindings_[i].code)) continue;
    if (!oldest || bindings_[i].lastUse < bindings_[*oldest].lastUse) oldest = i;
  }
  return oldest;
}

void KeyMap::Write(Display* display, KeyCode code, KeySymbol plain, KeySymbol shifted) {
  if (perCode_ < kLevels) return;
  std::vector<KeySym> row(static_cast<size_t>(perCode_), NoSymbol);
  row[0] = plain;
  row[1] = shifted;
  XChangeKeyboardMapping(display, code, perCode_, row.data(), 1);
  std::copy(row.begin(), row.end(), symbols_.begin() + (code - minCode_) * perCode_);
}

void KeyMap::RestoreAll(Display* display) {
  for (const Binding& binding : bindings_) Write(display, binding.code, NoSymbol, NoSymbol);
  bindings_.clear();
}

}  // namespace hovra::platform::x11
