#include "server/command_table.h"

#include <array>
#include <cstring>

#include "base/decimal.h"
#include "base/log.h"
#include "input/gestures.h"
#include "input/keystrokes.h"
#include "input/pointer.h"
#include "server/hovra_svr_sock.h"
#include "server/reports.h"

namespace hovra {
namespace {

// Gestures. Whatever holds a key or button down goes through the client's HeldInput, so
// that it is let go when the client vanishes.
void Zoomin(CommandContext&) { ZoomIn(); }
void Zoomout(CommandContext&) { ZoomOut(); }
void SlideBeginRow(CommandContext& c) { c.client.held.SlideBegin(); }
void SlideEndRow(CommandContext& c) { c.client.held.SlideEnd(); }
void SlideLeftRow(CommandContext& c) { c.client.held.SlideLeft(); }
void SlideRightRow(CommandContext& c) { c.client.held.SlideRight(); }
void SlideUpRow(CommandContext& c) { c.client.held.SlideUp(); }
void SlideDownRow(CommandContext&) { SlideDown(); }
void DragStartRow(CommandContext& c) { c.client.held.DragStart(); }
void DragEndRow(CommandContext& c) { c.client.held.DragEnd(); }

// "drag X Y": without a space after the first number the line does nothing.
void DragMoveRow(CommandContext& c) {
  const char* space = std::strchr(c.arg, ' ');
  if (space == nullptr) return;
  DragMove(ParseDecimal(c.arg), ParseDecimal(space + 1));
}

void Utf8Row(CommandContext& c) { HandleUtf8String(reinterpret_cast<const unsigned char*>(c.arg)); }

void NotifyRow(CommandContext& c) { HandleNotifyMsg(c.line); }

void Ping(CommandContext& c) { c.ReplyOnce("echo", 4); }

// A client that connected under PIN protection gets this many wrong answers; the next
// wrong one closes its connection.
constexpr int kPinAttempts = 5;

void VerifyPasswordRow(CommandContext& c) {
  if (c.server.VerifyPassword(c.arg)) {
    c.client.mustVerify = false;
    c.ReplyOnce("verifypassword ok\n", 18);
    return;
  }
  c.ReplyOnce("verifypassword failed\n", 22);
  if (c.client.mustVerify && ++c.client.failedChecks > kPinAttempts) {
    Log("client %d: %d wrong PINs; closing the connection", c.client.sock, c.client.failedChecks);
    c.client.dropRequested = true;
  }
}

void DontReportRow(CommandContext& c) { c.client.reportApp = false; }

// Sets the flag first, so that no change between the answer and the flag is missed.
void ReportRow(CommandContext& c) {
  c.client.reportApp = true;
  std::string text = getLastActivatedapp();
  c.Reply(text.data(), text.size());
}

// The protocol's order; it matters where one keyword begins another ("drag start" before
// "drag ").
constexpr std::array kRows = {
    CommandRow{"zoomin", &Zoomin},
    CommandRow{"zoomout", &Zoomout},
    CommandRow{"slide begin", &SlideBeginRow},
    CommandRow{"slide end", &SlideEndRow},
    CommandRow{"slideleft", &SlideLeftRow},
    CommandRow{"slideright", &SlideRightRow},
    CommandRow{"slideup", &SlideUpRow},
    CommandRow{"slidedown", &SlideDownRow},
    CommandRow{"drag start", &DragStartRow},
    CommandRow{"drag end", &DragEndRow},
    CommandRow{"drag ", &DragMoveRow},
    CommandRow{"utf8 ", &Utf8Row},
    CommandRow{"Msg||", &NotifyRow},
    CommandRow{"ping", &Ping, true},
    CommandRow{"dontreportCurrentApp", &DontReportRow},
    CommandRow{"reportCurrentApp", &ReportRow},
    CommandRow{"verifypassword ", &VerifyPasswordRow, true},
};

}  // namespace

std::span<const CommandRow> CommandRows() { return kRows; }

const CommandRow* MatchCommand(std::string_view line) {
  for (const CommandRow& row : kRows) {
    if (line.starts_with(row.keyword)) return &row;
  }
  return nullptr;
}

}  // namespace hovra
