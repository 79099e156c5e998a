// What "auto" chooses for each seam, and what a name this build lacks does.
#include "app/backend_choice.h"

#include <gtest/gtest.h>

namespace hovra::app {
namespace {

BuiltBackends Everything() { return {true, true, true, true, true}; }

SessionFacts X11Session(bool xtest) {
  SessionFacts f;
  f.sessionType = "x11";
  f.x11Display = ":0";
  f.sessionBus = "unix:path=/run/user/1000/bus";
  f.x11HasXTest = [xtest] { return xtest; };
  f.trayHostPresent = [] { return true; };
  return f;
}

SessionFacts WaylandSession(bool virtualInput, bool portal) {
  SessionFacts f = X11Session(true);  // Xwayland offers XTEST, which reaches no Wayland window
  f.sessionType = "wayland";
  f.waylandDisplay = "wayland-1";
  f.waylandHasVirtualInput = [virtualInput] { return virtualInput; };
  f.portalHasRemoteDesktop = [portal] { return portal; };
  return f;
}

TEST(BackendChoice, AutoFollowsTheSession) {
  struct Case {
    const char* what;
    SessionFacts facts;
    const char* input;
    const char* desktop;
    const char* ui;
    bool warned = false;
    BuiltBackends built = Everything();
  };
  const Case cases[] = {
      {"X11 with XTEST", X11Session(true), "x11", "linux", "tray"},
      {"X11 without XTEST", X11Session(false), "journal", "linux", "tray"},
      {"wlroots compositor", WaylandSession(true, true), "wayland", "linux", "tray"},
      {"GNOME on Wayland", WaylandSession(false, true), "portal", "linux", "tray"},
      {"Wayland with neither", WaylandSession(false, false), "journal", "linux", "tray", true},
      {"nothing at all", SessionFacts{}, "journal", "journal", "headless"},
      {"a build without backends", X11Session(true), "journal", "journal", "headless", false,
       BuiltBackends{}},
      {"the Mac build", X11Session(true), "macos", "macos", "macos", false, {.macos = true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BackendChoice choice = ChooseBackends(Options{}, c.facts, c.built);
    EXPECT_EQ(choice.input.name, c.input);
    EXPECT_EQ(choice.desktop.name, c.desktop);
    EXPECT_EQ(choice.ui.name, c.ui);
    EXPECT_EQ(!choice.warning.empty(), c.warned);
    EXPECT_EQ(choice.error, "");
    EXPECT_FALSE(choice.input.reason.empty());
  }
}

TEST(BackendChoice, AskedForNamesWinButOneThisBuildLacksIsAnError) {
  Options asked;
  asked.input = "x11";  // auto never picks it on Wayland (the table above)
  EXPECT_EQ(ChooseBackends(asked, WaylandSession(true, true), Everything()).input.name, "x11");
  asked.ui = "tray";
  BackendChoice choice = ChooseBackends(asked, X11Session(true), BuiltBackends{});
  EXPECT_NE(choice.error.find("tray"), std::string::npos);
  asked.ui = "headless";
  asked.input = asked.desktop = "journal";
  EXPECT_EQ(ChooseBackends(asked, SessionFacts{}, BuiltBackends{}).error, "");
  asked.input = "macos";
  EXPECT_EQ(ChooseBackends(asked, X11Session(true), Everything()).error,
            "the macos backend is not part of this build");
}

}  // namespace
}  // namespace hovra::app
