#include "platform/linux/services/linux_services.h"

#include "base/log.h"

namespace hovra::platform::linux_desktop {

LinuxServices::LinuxServices(ScriptServices& journalScripts, UserInterface& headlessUi)
    : notifier_(session_, [this](const std::string& url) { OpenLink(url); }),
      scripts_(journalScripts, ScriptParts{volume_, players_, power_, session_}),
      ui_(headlessUi, notifier_) {}

void LinuxServices::UseApps(LinuxApps* apps) {
  apps_ = apps;
  scripts_.UseApps(apps);
}

void LinuxServices::Start() {
  players_.StartFollowing();
  notifier_.Start();
}

void LinuxServices::OpenLink(const std::string& url) {
  if (apps_ == nullptr) {
    Log("a notice's link was clicked, but this build has no application service to open %s",
        url.c_str());
    return;
  }
  apps_->OpenUri(url);
}

}  // namespace hovra::platform::linux_desktop
