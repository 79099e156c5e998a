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
    BuiltBackends built;
    const char* input;
    const char* desktop;
    const char* ui;
    bool warned;
  };
  SessionFacts bare;
  const Case cases[] = {
      {"X11 with XTEST", X11Session(true), Everything(), "x11", "linux", "tray", false},
      {"X11 without XTEST", X11Session(false), Everything(), "journal", "linux", "tray", false},
      {"wlroots compositor", WaylandSession(true, true), Everything(), "wayland", "linux", "tray",
       false},
      {"GNOME on Wayland", WaylandSession(false, true), Everything(), "portal", "linux", "tray",
       false},
      {"Wayland with neither", WaylandSession(false, false), Everything(), "journal", "linux",
       "tray", true},
      {"nothing at all", bare, Everything(), "journal", "journal", "headless", false},
      {"a build without backends", X11Session(true), BuiltBackends{}, "journal", "journal",
       "headless", false},
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
}

}  // namespace
}  // namespace hovra::app
