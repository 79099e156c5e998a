#include "platform/linux/scripts/linux_scripts.h"

#include "base/log.h"
#include "platform/linux/scripts/desktop_ids.h"
#include "platform/linux/session/desktop_shell.h"
#include "platform/linux/session/screen_capture.h"
#include "platform/linux/shortcuts/linux_shortcuts.h"
#include "platform/linux/sound/volume_click.h"
#include "platform/services.h"

namespace hovra::platform::linux_desktop {

// clang-format off
const LinuxScripts::Route LinuxScripts::kRoutes[] = {
    {"Mute", &LinuxScripts::Sound},           {"VolumeUp", &LinuxScripts::Sound},
    {"VolumeDown", &LinuxScripts::Sound},
    {"MediaPlay", &LinuxScripts::GenericMedia}, {"MediaNext", &LinuxScripts::GenericMedia},
    {"MediaPrev", &LinuxScripts::GenericMedia}, {"MediaVolumeUp", &LinuxScripts::GenericMedia},
    {"MediaVolumeDown", &LinuxScripts::GenericMedia},
    {"PlayerPlay", &LinuxScripts::PlayerMedia}, {"PlayerNext", &LinuxScripts::PlayerMedia},
    {"PlayerPrev", &LinuxScripts::PlayerMedia}, {"PlayerMax", &LinuxScripts::PlayerMedia},
    {"PPTPlay", &LinuxScripts::Presentation}, {"PPTStop", &LinuxScripts::Presentation},
    {"PPTPgDn", &LinuxScripts::Presentation}, {"PPTPgUp", &LinuxScripts::Presentation},
    {"PPTExit", &LinuxScripts::Presentation},
    {"Shutdown", &LinuxScripts::Power},       {"PowerOff", &LinuxScripts::Power},
    {"Reboot", &LinuxScripts::Power},         {"Logoff", &LinuxScripts::Power},
    {"Sleep", &LinuxScripts::Power},
    // Carried out by the workspace's own script services (launching and opening).
    {"BrowserNewURL", nullptr}, {"OpenFile", nullptr}, {"LaunchApp", nullptr},
    {"BrowserFavorite", &LinuxScripts::Shortcut}, {"BrowserSearch", &LinuxScripts::Shortcut},
    {"BrowserStop", &LinuxScripts::Shortcut},
    {"StartSwitchingWindow", &LinuxScripts::Shortcut}, {"SwitchWindow", &LinuxScripts::Shortcut},
    {"EndSwitchingWindow", &LinuxScripts::Shortcut},
    {"MissionControl", &LinuxScripts::Overview},
    {"ScreenCapture", &LinuxScripts::Capture},
};
// clang-format on

void LinuxScripts::Run(const Script& script) {
  journal_.Run(script);  // recorded whatever happens next
  ScriptName name = ParseScriptName(script.name);
  for (const Route& route : kRoutes) {
    if (route.operation == name.operation) {
      if (route.handler) (this->*route.handler)(name, script);
      return;
    }
  }
  LogUnknown(script.name);
}

bool LinuxScripts::IsFirstOfItsCommand(const ScriptName& name) const {
  return CarriesOutItsCommand(name, [](std::string_view bundleId) {
    return !GetWorkspace().AbsolutePathForAppBundle(bundleId).empty();
  });
}

void LinuxScripts::LogUnknown(std::string_view name) {
  std::lock_guard<std::mutex> lock(unknownMutex_);
  if (unknownLogged_.emplace(name).second) {
    Log("script %.*s has no Linux counterpart; it is only recorded", static_cast<int>(name.size()),
        name.data());
  }
}

void LinuxScripts::Sound(const ScriptName& name, const Script&) {
  std::optional<bool> click = name.operation == "Mute"
                                  ? parts_.volume.ToggleMute()
                                  : parts_.volume.Step(name.operation == "VolumeUp");
  if (click.value_or(false)) PlayVolumeClick();
}

void LinuxScripts::GenericMedia(const ScriptName& name, const Script&) {
  if (IsFirstOfItsCommand(name)) media_.RunGeneric(name, apps_);
}

void LinuxScripts::PlayerMedia(const ScriptName& name, const Script& script) {
  media_.RunPlayer(name, script.name, apps_);
}

bool LinuxScripts::ImpressIsFrontmost() {
  std::string frontmost = apps_ ? apps_->FrontmostAppId() : std::string();
  if (frontmost.empty()) return false;
  std::vector<std::string> ids = ImpressIds();
  for (std::string_view target : {"Keynote", "PowerPoint"}) {  // the desktop's stand-ins
    if (std::optional<std::string> id = apps_->InstalledAppFor(BundleIdOf(target))) {
      ids.push_back(*id);
    }
  }
  for (const std::string& id : ids) {
    if (SameId(id, frontmost)) return true;
  }
  return false;
}

void LinuxScripts::Presentation(const ScriptName& name, const Script&) {
  // The keys go to the frontmost window: only Impress may take them, as the scripts
  // themselves act only when their application is frontmost.
  if (!IsFirstOfItsCommand(name) || !ImpressIsFrontmost()) return;
  PostLinuxShortcut(name.operation);
  if (name.operation == "PPTPlay") WakeScreen(parts_.session);
}

void LinuxScripts::Power(const ScriptName& name, const Script&) {
  if (name.operation == "Shutdown") {
    parts_.power.AskToShutDown();
  } else if (name.operation == "PowerOff") {
    parts_.power.PowerOff();
  } else if (name.operation == "Reboot") {
    parts_.power.Reboot();
  } else if (name.operation == "Logoff") {
    parts_.power.LogOut();
  } else {
    parts_.power.Suspend();
  }
}

void LinuxScripts::Shortcut(const ScriptName& name, const Script& script) {
  if (IsFirstOfItsCommand(name)) PostLinuxShortcut(script.name);
}

void LinuxScripts::Overview(const ScriptName&, const Script& script) {
  if (!ShowOverviewByBus(parts_.session)) PostLinuxShortcut(script.name);
}

void LinuxScripts::Capture(const ScriptName&, const Script&) { CaptureScreen(parts_.session); }

}  // namespace hovra::platform::linux_desktop
