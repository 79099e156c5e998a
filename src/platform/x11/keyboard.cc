#include "platform/x11/keyboard.h"

#include <X11/extensions/XTest.h>

namespace hovra::platform::x11 {

void Keyboard::Post(Display* display, const KeyEvent& event) {
  layout_.Use(display);
  typer_.Post(event);
}

void Keyboard::ReleaseAll(Display* display) {
  layout_.Use(display);
  typer_.ReleaseAll();
}

std::optional<Keyboard::Layout::Place> Keyboard::Layout::Find(unix_input::KeySymbol symbol) {
  std::optional<KeyMap::Place> place = map_.Find(symbol);
  if (!place) return std::nullopt;
  return Place{place->code, place->needsShift};
}

std::optional<Keyboard::Layout::Code> Keyboard::Layout::FindKey(
    const unix_input::KeySymbols& symbols) {
  return map_.FindKey(symbols);
}

std::optional<Keyboard::Layout::Code> Keyboard::Layout::Bind(const unix_input::KeySymbols& symbols,
                                                             const std::set<Code>& pressed) {
  std::set<KeyCode> codes;
  for (Code code : pressed) codes.insert(static_cast<KeyCode>(code));
  return map_.Bind(display_, symbols, codes);
}

void Keyboard::Layout::Send(Code code, bool down) {
  XTestFakeKeyEvent(display_, static_cast<unsigned>(code), down ? True : False, CurrentTime);
}

}  // namespace hovra::platform::x11
