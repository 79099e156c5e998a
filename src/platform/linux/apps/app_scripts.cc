#include "platform/linux/apps/app_scripts.h"

#include "base/log.h"

namespace hovra::platform::linux_desktop {

void AppScripts::Run(const Script& script) {
  recorder_.Run(script);
  if (script.name == "LaunchApp.Dock") {
    std::optional<std::string> id = idForLabel_ ? idForLabel_(script.argument) : std::nullopt;
    if (id) {
      apps_.Launch(*id);
    } else {
      Log("launch: no application is named \"%.*s\"", static_cast<int>(script.argument.size()),
          script.argument.data());
    }
  } else if (script.name == "OpenFile.Finder") {
    apps_.OpenFile(script.argument);
  } else if (script.name == "BrowserNewURL.Safari") {
    apps_.OpenUri(script.argument);  // Safari stands for the default browser
  } else if (script.name == "BrowserNewURL.Chrome") {
    // With a default browser the address is open already; one tab is enough.
    if (apps_.InstalledAppFor("com.apple.Safari")) return;
    if (std::optional<std::string> chrome = apps_.InstalledAppFor("com.google.Chrome"))
      apps_.OpenUriWith(*chrome, script.argument);
  }
}

}  // namespace hovra::platform::linux_desktop
