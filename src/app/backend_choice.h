// Which backend serves each platform seam: the names the command line takes, what this
// build contains, and the choice "auto" makes from the session the server runs in.
//   BackendChoice c = ChooseBackends(options, SessionFacts::FromEnvironment(), ThisBuild());
// The choice is a pure function of its inputs; the facts that need a connection (is there
// an X display with XTEST?) are asked through probes, and only when the choice needs them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/options.h"

namespace hovra::app {

enum class Seam { kInput, kDesktop, kUi };

bool IsBackendName(Seam seam, std::string_view name);  // "auto" included
std::string BackendNames(Seam seam);                   // "auto, journal, x11, ..." for messages

// The backends compiled into this program (a missing library leaves its backend out).
struct BuiltBackends {
  bool x11 = false;
  bool wayland = false;
  bool portal = false;
  bool linuxDesktop = false;
  bool tray = false;
  bool macos = false;  // the Apple build's application
};

// What is known of the session: the environment, and probes for the rest.
struct SessionFacts {
  std::string sessionType;     // XDG_SESSION_TYPE ("x11", "wayland", "tty", ...)
  std::string waylandDisplay;  // WAYLAND_DISPLAY
  std::string x11Display;      // DISPLAY
  std::string sessionBus;      // the session bus address; empty when none is reachable
  // Each probe answers whether that backend can reach the session; a missing probe is "no".
  std::function<bool()> x11HasXTest;
  std::function<bool()> waylandHasVirtualInput;  // the wlroots virtual pointer and keyboard
  std::function<bool()> portalHasRemoteDesktop;
  std::function<bool()> trayHostPresent;

  bool IsWayland() const { return sessionType == "wayland" || !waylandDisplay.empty(); }
};

struct SeamChoice {
  std::string name;    // a backend name, never "auto"
  std::string reason;  // why, in words for the start-up log
};

struct BackendChoice {
  SeamChoice input;
  SeamChoice desktop;
  SeamChoice ui;
  // Set when "auto" found no input backend that reaches the session (the server then
  // posts into the journal only and says so), or when a backend asked for is not built.
  std::string warning;
  std::string error;  // a backend asked for by name that this build lacks
};

BackendChoice ChooseBackends(const Options& options, const SessionFacts& facts,
                             const BuiltBackends& built);

}  // namespace hovra::app
