// Key events on an X display through XTEST, typed by the shared KeyTyper over the running
// X keyboard map (KeyMap). Requests are queued, not flushed; the caller flushes once per
// posted event.
#pragma once

#include <X11/Xlib.h>

#include "platform/event_services.h"
#include "platform/unix_input/key_typer.h"
#include "platform/x11/key_map.h"

namespace hovra::platform::x11 {

class Keyboard {
 public:
  explicit Keyboard(KeyMap& map) : layout_(map) {}

  void Post(Display* display, const KeyEvent& event);
  // Lets go of every key this keyboard still holds (before the connection is closed).
  void ReleaseAll(Display* display);
  // The connection is gone, and with it every key it held.
  void Forget() { typer_.Forget(); }

 private:
  // The X keyboard map as the typer sees it, on the display of the current call.
  class Layout : public unix_input::KeyLayout {
   public:
    explicit Layout(KeyMap& map) : map_(map) {}
    void Use(Display* display) { display_ = display; }
    std::optional<Place> Find(unix_input::KeySymbol symbol) override;
    std::optional<Code> FindKey(const unix_input::KeySymbols& symbols) override;
    std::optional<Code> Bind(const unix_input::KeySymbols& symbols,
                             const std::set<Code>& pressed) override;
    void Send(Code code, bool down) override;

   private:
    KeyMap& map_;
    Display* display_ = nullptr;
  };

  Layout layout_;
  unix_input::KeyTyper typer_{layout_};
};

}  // namespace hovra::platform::x11
