// Carries out the scripts that start applications and open things, by name, with the
// desktop's own means, after the script below has recorded them:
//   "LaunchApp.Dock"          the Dock item named by the argument is launched;
//   "OpenFile.Finder"         the file opens with its default application;
//   "BrowserNewURL.Safari"    the address opens in the default browser;
//   "BrowserNewURL.Chrome"    ... in Chrome, when there is no default browser to open it.
// Every other script only reaches the script below.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/linux/apps/desktop_apps.h"
#include "platform/script_services.h"

namespace hovra::platform::linux_desktop {

class AppScripts : public ScriptServices {
 public:
  // `idForLabel`: the application id of a Dock item's label.
  AppScripts(ScriptServices& recorder, DesktopApps& apps,
             std::function<std::optional<std::string>(std::string_view)> idForLabel)
      : recorder_(recorder), apps_(apps), idForLabel_(std::move(idForLabel)) {}

  void Run(const Script& script) override;

 private:
  ScriptServices& recorder_;
  DesktopApps& apps_;
  std::function<std::optional<std::string>(std::string_view)> idForLabel_;
};

}  // namespace hovra::platform::linux_desktop
