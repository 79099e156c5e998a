#include "platform/macos/mac_application.h"

#include "platform/macos/apple_forwarders.h"

namespace hovra::platform::macos {
namespace {

MacApplication* s_current = nullptr;

// NSApplication has to exist before the run loop or any window does.
DispatchCalls& PreparedDispatch() {
  PrepareApplication();
  return AppleDispatch();
}

}  // namespace

MacApplication::MacApplication()
    : loop_(PreparedDispatch()),
      host_(AppleHost()),
      gate_(AppleTrust()),
      events_(AppleQuartz(), &gate_),
      workspace_(AppleWorkspace(), host_.HomeDirectory()),
      ui_(AppleStatusUi(), AppleQuartz(), workspace_, loop_),
      loginList_(AppleLoginService(), MainBundlePath()),
      login_(loginList_, MainBundlePath()) {
  s_current = this;
}

MacApplication::~MacApplication() {
  if (s_current == this) s_current = nullptr;
}

MacApplication* MacApplication::Current() { return s_current; }

void MacApplication::ProvideDesktop(Services& services) {
  services.scripts = &scripts_;
  services.workspace = &workspace_;
  services.host = &host_;
}

void MacApplication::ShowStatusItem(std::function<void(MenuCommand)> chosen,
                                    std::function<bool()> autoStart) {
  ui_.Install(std::move(chosen), std::move(autoStart));
}

}  // namespace hovra::platform::macos
