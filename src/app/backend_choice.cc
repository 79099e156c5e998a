#include "app/backend_choice.h"

#include <array>
#include <span>

namespace hovra::app {
namespace {

constexpr std::array<std::string_view, 6> kInputNames{"auto",    "journal", "x11",
                                                      "wayland", "portal",  "macos"};
constexpr std::array<std::string_view, 4> kDesktopNames{"auto", "journal", "linux", "macos"};
constexpr std::array<std::string_view, 4> kUiNames{"auto", "headless", "tray", "macos"};

std::span<const std::string_view> Names(Seam seam) {
  switch (seam) {
    case Seam::kInput:
      return kInputNames;
    case Seam::kDesktop:
      return kDesktopNames;
    case Seam::kUi:
      return kUiNames;
  }
  return {};
}

bool Ask(const std::function<bool()>& probe) { return probe && probe(); }

bool IsBuilt(const BuiltBackends& built, std::string_view name) {
  if (name == "x11") return built.x11;
  if (name == "wayland") return built.wayland;
  if (name == "portal") return built.portal;
  if (name == "linux") return built.linuxDesktop;
  if (name == "tray") return built.tray;
  if (name == "macos") return built.macos;
  return true;  // journal and headless are always there
}

// A Mac build is the home platform: every seam is the Mac's own.
const SeamChoice kHomePlatform{"macos", "the home platform"};

SeamChoice AutoInput(const SessionFacts& facts, const BuiltBackends& built, std::string& warning) {
  if (built.macos) return kHomePlatform;
  if (facts.IsWayland()) {
    // XTEST through Xwayland reaches no Wayland-native window: never pick x11 here.
    if (built.wayland && Ask(facts.waylandHasVirtualInput)) {
      return {"wayland", "the Wayland compositor offers virtual pointer and keyboard"};
    }
    if (built.portal && !facts.sessionBus.empty() && Ask(facts.portalHasRemoteDesktop)) {
      return {"portal", "the desktop portal offers remote desktop input"};
    }
    warning =
        "no input backend reaches this Wayland session: pointer and keys go to the journal only";
    return {"journal", "Wayland session without virtual input or a remote desktop portal"};
  }
  if (built.x11 && !facts.x11Display.empty() && Ask(facts.x11HasXTest)) {
    return {"x11", "the X display " + facts.x11Display + " offers XTEST"};
  }
  return {"journal", facts.x11Display.empty() ? "no display" : "the X display has no XTEST"};
}

SeamChoice AutoDesktop(const SessionFacts& facts, const BuiltBackends& built) {
  if (built.macos) return kHomePlatform;
  if (built.linuxDesktop && !facts.sessionBus.empty()) {
    return {"linux", "a session bus is reachable"};
  }
  return {"journal", built.linuxDesktop ? "no session bus" : "the linux desktop is not built"};
}

SeamChoice AutoUi(const SessionFacts& facts, const BuiltBackends& built) {
  if (built.macos) return kHomePlatform;
  bool display = !facts.x11Display.empty() || !facts.waylandDisplay.empty();
  if (built.tray && display && Ask(facts.trayHostPresent)) {
    return {"tray", "a display with a tray host"};
  }
  return {"headless", !built.tray ? "the tray is not built"
                      : !display  ? "no display"
                                  : "no tray host"};
}

}  // namespace

bool IsBackendName(Seam seam, std::string_view name) {
  for (std::string_view n : Names(seam)) {
    if (n == name) return true;
  }
  return false;
}

std::string BackendNames(Seam seam) {
  std::string text;
  for (std::string_view n : Names(seam)) {
    if (!text.empty()) text += ", ";
    text += n;
  }
  return text;
}

BackendChoice ChooseBackends(const Options& options, const SessionFacts& facts,
                             const BuiltBackends& built) {
  BackendChoice choice;
  auto named = [&](const std::string& name, SeamChoice& out) {
    if (!IsBuilt(built, name)) {
      choice.error = "the " + name + " backend is not part of this build";
    }
    out = {name, "asked for"};
  };
  if (options.input == "auto") {
    choice.input = AutoInput(facts, built, choice.warning);
  } else {
    named(options.input, choice.input);
  }
  if (options.desktop == "auto") {
    choice.desktop = AutoDesktop(facts, built);
  } else {
    named(options.desktop, choice.desktop);
  }
  if (options.ui == "auto") {
    choice.ui = AutoUi(facts, built);
  } else {
    named(options.ui, choice.ui);
  }
  return choice;
}

}  // namespace hovra::app
