#include "server/command_table.h"

#include <array>
#include <cstring>

#include "actions/dock_queries.h"
#include "actions/files_and_apps.h"
#include "actions/media_players.h"
#include "actions/power.h"
#include "actions/presentations.h"
#include "actions/system_actions.h"
#include "base/decimal.h"
#include "input/gestures.h"
#include "input/held_input.h"
#include "input/keystrokes.h"
#include "input/pointer.h"
#include "server/replies.h"
#include "server/reports.h"

namespace hovra {
namespace {

using namespace actions;

template <void (*F)()>
void Call(CommandContext&) {
  F();
}

template <void (*F)(int), int N>
void CallWith(CommandContext&) {
  F(N);
}

// The presentation commands come with and without an application index.
constexpr void (*kPptExit)() = &PPTExit;
constexpr void (*kPptPlay)() = &PPTPlay;
constexpr void (*kPptStop)() = &PPTStop;
constexpr void (*kPptPgDn)() = &PPTPgDn;
constexpr void (*kPptPgUp)() = &PPTPgUp;
constexpr void (*kPptExitAt)(int) = &PPTExit;
constexpr void (*kPptPlayAt)(int) = &PPTPlay;
constexpr void (*kPptStopAt)(int) = &PPTStop;
constexpr void (*kPptPgDnAt)(int) = &PPTPgDn;
constexpr void (*kPptPgUpAt)(int) = &PPTPgUp;

// Whatever holds a key or button down goes through the client's HeldInput, so that it is
// let go when the client vanishes.
void SlideBeginRow(CommandContext& c) { c.client.Held().SlideBegin(); }
void SlideEndRow(CommandContext& c) { c.client.Held().SlideEnd(); }
void SlideLeftRow(CommandContext& c) { c.client.Held().SlideLeft(); }
void SlideRightRow(CommandContext& c) { c.client.Held().SlideRight(); }
void SlideUpRow(CommandContext& c) { c.client.Held().SlideUp(); }
void DragStartRow(CommandContext& c) { c.client.Held().DragStart(); }
void DragEndRow(CommandContext& c) { c.client.Held().DragEnd(); }

// "drag X Y": without a space after the first number the line does nothing.
void DragMoveRow(CommandContext& c) {
  const char* space = std::strchr(c.arg, ' ');
  if (space == nullptr) return;
  DragMove(ParseDecimal(c.arg), ParseDecimal(space + 1));
}

void Utf8Row(CommandContext& c) { HandleUtf8String(reinterpret_cast<const unsigned char*>(c.arg)); }
void NotifyRow(CommandContext& c) { HandleNotifyMsg(c.line); }
void OpenUrlRow(CommandContext& c) { BrowserNewURL(reinterpret_cast<const unsigned char*>(c.arg)); }
void DockInfoRow(CommandContext& c) { OnGetDockInfo(c.client); }
void IconRow(CommandContext& c) { OnGetIcon(c.arg, c.client); }
void LaunchRow(CommandContext& c) { LauchApp(c.arg); }
void Ping(CommandContext& c) { c.client.Reply("echo"); }
void DontReportRow(CommandContext& c) { c.client.SetReportApp(false); }
// The flag is set before the answer, so that no change between the two is missed.
void ReportRow(CommandContext& c) {
  c.client.SetReportApp(true);
  OnStartGetActivatedApp(c.client);
}
void BrowseRow(CommandContext& c) { OnBrowseFiles(c.arg, c.client); }
void OpenFileRow(CommandContext& c) { LaunchFile(c.arg); }

void VerifyPasswordRow(CommandContext& c) {
  c.client.Reply(c.client.VerifyPassword(c.arg) ? "verifypassword ok\n"
                                                : "verifypassword failed\n");
}

constexpr CommandRow Row(std::string_view keyword, CommandOp op) { return CommandRow{keyword, op}; }

// Every row of a player command family: the digit is part of the keyword.
#define HOVRA_PLAYER_ROWS(word, fn)                                       \
  Row(word " 0", &CallWith<fn, 0>), Row(word " 1", &CallWith<fn, 1>),     \
      Row(word " 2", &CallWith<fn, 2>), Row(word " 3", &CallWith<fn, 3>), \
      Row(word " 4", &CallWith<fn, 4>), Row(word " 5", &CallWith<fn, 5>), \
      Row(word " 6", &CallWith<fn, 6>)
#define HOVRA_PRESENTATION_ROWS(word, fn) \
  Row(word " 0", &CallWith<fn, 0>), Row(word " 1", &CallWith<fn, 1>)

// The protocol's order: the first row whose keyword begins the line wins, which matters
// where one keyword begins another ("drag start" before "drag ", "MUTE" before "MUTEX").
constexpr std::array kRows = {
    Row("zoomin", &Call<ZoomIn>),
    Row("zoomout", &Call<ZoomOut>),
    Row("slide begin", &SlideBeginRow),
    Row("slide end", &SlideEndRow),
    Row("slideleft", &SlideLeftRow),
    Row("slideright", &SlideRightRow),
    Row("slideup", &SlideUpRow),
    Row("slidedown", &Call<SlideDown>),
    Row("drag start", &DragStartRow),
    Row("drag end", &DragEndRow),
    Row("drag ", &DragMoveRow),
    Row("utf8 ", &Utf8Row),
    Row("Msg||", &NotifyRow),
    Row("MUTE", &Call<Mute>),
    Row("VOLUMEUP", &Call<VolumeUp>),
    Row("VOLUMEDN", &Call<VolumeDown>),
    Row("media play", &Call<MediaPlay>),
    Row("media next", &Call<MediaNext>),
    Row("media prev", &Call<MediaPrev>),
    Row("media volumeup", &Call<MediaVolumeUp>),
    Row("media volumedown", &Call<MediaVolumeDown>),
    Row("shutdown", &Call<Shutdown>),
    Row("poweroff", &Call<Poweroff>),
    Row("reboot", &Call<Reboot>),
    Row("logoff", &Call<Logoff>),
    Row("sleep", &Call<SleepSystem>),
    Row("browser forward", &Call<BrowserForward>),
    Row("browser back", &Call<BrowserBack>),
    Row("browser home", &Call<BrowserHome>),
    Row("browser search", &Call<BrowserSearch>),
    Row("browser refresh", &Call<BrowserRefresh>),
    Row("browser stop", &Call<BrowserStop>),
    Row("browser favorite", &Call<BrowserFavorite>),
    Row("browser newtab", &Call<BrowserNewtab>),
    Row("browser closetab", &Call<BrowserClosetab>),
    Row("browser openurl ", &OpenUrlRow),
    Row("ppt run", &Call<PPTRun>),
    Row("ppt exit", &Call<kPptExit>),
    Row("ppt play", &Call<kPptPlay>),
    Row("ppt stop", &Call<kPptStop>),
    Row("ppt pgdn", &Call<kPptPgDn>),
    Row("ppt pgup", &Call<kPptPgUp>),
    Row("ppt switch", &Call<PPTSwitch>),
    Row("window close", &Call<OnCloseWindow>),
    Row("window minimize", &Call<OnMinizeWindow>),
    Row("window maximize", &Call<OnMaximizeWindow>),
    Row("get_dock_info", &DockInfoRow),
    Row("get_icon ", &IconRow),
    Row("launch ", &LaunchRow),
    HOVRA_PLAYER_ROWS("player play", setMediaPlay),
    HOVRA_PLAYER_ROWS("player max", setMaxPlayer),
    HOVRA_PLAYER_ROWS("player next", setPlayNext),
    HOVRA_PLAYER_ROWS("player prev", setPlayPre),
    HOVRA_PRESENTATION_ROWS("wppt prev", kPptPgUpAt),
    HOVRA_PRESENTATION_ROWS("wppt play", kPptPlayAt),
    HOVRA_PRESENTATION_ROWS("wppt next", kPptPgDnAt),
    HOVRA_PRESENTATION_ROWS("wppt close", kPptExitAt),
    HOVRA_PRESENTATION_ROWS("wppt stop", kPptStopAt),
    CommandRow{"ping", &Ping, true},
    Row("screenCapture", &Call<screenCapture>),
    Row("dontreportCurrentApp", &DontReportRow),
    Row("reportCurrentApp", &ReportRow),
    CommandRow{"verifypassword ", &VerifyPasswordRow, true},
    Row("fileexplorer ", &BrowseRow),
    Row("openfile ", &OpenFileRow),
};

#undef HOVRA_PLAYER_ROWS
#undef HOVRA_PRESENTATION_ROWS

static_assert(kRows.size() == 94, "the protocol has 94 command keywords");

}  // namespace

std::span<const CommandRow> CommandRows() { return kRows; }

const CommandRow* MatchCommand(std::string_view line) {
  for (const CommandRow& row : kRows) {
    if (line.starts_with(row.keyword)) return &row;
  }
  return nullptr;
}

}  // namespace hovra
