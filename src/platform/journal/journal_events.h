// Event services of the journal backend: every posted event becomes a journal line, and
// mouse events move the simulated pointer.
#pragma once

#include "platform/event_services.h"
#include "platform/journal/journal_writer.h"
#include "platform/journal/sim_desktop.h"

namespace hovra::platform::journal {

class JournalEvents : public EventServices {
 public:
  JournalEvents(JournalWriter& journal, SimDesktop& desktop)
      : journal_(journal), desktop_(desktop) {}

  void PostKey(const KeyEvent& event) override;
  void PostMouse(const MouseEvent& event) override;
  void PostScroll(const ScrollEvent& event) override;
  Point PointerLocation() override { return desktop_.Pointer(); }
  Point PointerEventLocation() override { return desktop_.PointerInEventSpace(); }
  uint32_t PressedMouseButtons() override { return desktop_.PressedButtons(); }
  std::vector<Rect> ScreenFrames() override { return desktop_.Screens(); }

 private:
  JournalWriter& journal_;
  SimDesktop& desktop_;
};

}  // namespace hovra::platform::journal
