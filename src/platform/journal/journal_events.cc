#include "platform/journal/journal_events.h"

#include "platform/journal/json_line.h"

namespace hovra::platform::journal {

void JournalEvents::PostKey(const KeyEvent& event) {
  if (!journal_.Enabled()) return;
  JsonLine line;
  line.Text("kind", "key")
      .Integer("code", event.code)
      .Bool("down", event.down)
      .Text("source", event.source == EventSource::kHid ? "hid" : "none");
  if (event.flags) line.Integer("flags", static_cast<int64_t>(*event.flags));
  if (!event.unicode.empty()) line.Units("unicode", event.unicode);
  journal_.Write(line.Finish());
}

void JournalEvents::PostMouse(const MouseEvent& event) {
  desktop_.MovePointerToEventPosition(event.position);
  if (event.type == kLeftMouseDown) desktop_.SetLeftButton(true);
  if (event.type == kLeftMouseUp) desktop_.SetLeftButton(false);
  if (!journal_.Enabled()) return;
  JsonLine line;
  line.Text("kind", "mouse")
      .Integer("type", event.type)
      .Number("x", event.position.x)
      .Number("y", event.position.y)
      .Integer("button", event.button);
  if (event.clickState) line.Integer("clickState", *event.clickState);
  journal_.Write(line.Finish());
}

void JournalEvents::PostScroll(const ScrollEvent& event) {
  if (!journal_.Enabled()) return;
  journal_.Write(JsonLine()
                     .Text("kind", "scroll")
                     .Integer("vertical", event.vertical)
                     .Integer("horizontal", event.horizontal)
                     .Finish());
}

}  // namespace hovra::platform::journal
