#include "app/macos/status_menu_actions.h"

#include <string>

#include "app/address_list.h"
#include "app/password.h"
#include "platform/services.h"

namespace hovra::app {
namespace {

using platform::macos::MenuCommand;

constexpr const char* kSupportAddress = "support@hovra.example";

const char* LinkOf(MenuCommand command) {
  switch (command) {
    case MenuCommand::kAndroidTaplumePro:
      return "http://www.hovra.example/taplume/android-pro";
    case MenuCommand::kAndroidTaplume:
      return "http://www.hovra.example/taplume/android";
    case MenuCommand::kIosTaplumePro:
      return "http://www.hovra.example/taplume/ios-pro";
    case MenuCommand::kIosTaplume:
      return "http://www.hovra.example/taplume/ios";
    case MenuCommand::kIosTaplumeHd:
      return "http://www.hovra.example/taplume/ipad";
    case MenuCommand::kIosTaplumeHdFree:
      return "http://www.hovra.example/taplume/ipad-free";
    case MenuCommand::kVisitWebsite:
      return "http://www.hovra.example/";
    case MenuCommand::kFollowOnFacebook:
      return "http://www.facebook.com/hovra.example";
    default:
      return nullptr;
  }
}

void RunSupportScript() {
  std::string source =
      "tell application \"Mail\"\nset newmail to make new outgoing message with properties "
      "{visible:true, subject:\"Taplume Support\", content:\"\"}\ntell newmail\nmake new to "
      "recipient with properties {address:\"";
  source += kSupportAddress;
  source += "\"}\nend tell\nactivate\nend tell";
  platform::GetScripts().Run(platform::Script("Support", source));
}

// The password window of a headless host's "password" command, as an alert.
void ShowPassword() {
  platform::UserInterface& ui = platform::GetUi();
  const bool on = isPasswordProtection();
  std::string info = on ? "Clients enter the PIN " +
                              std::to_string(platform::GetSettings().GetInteger(kPasswordKey)) +
                              " before they control this computer."
                        : "Any client on the network may control this computer.";
  if (ui.RunAlert("Password", info, {"OK", on ? "Turn off" : "Turn on"}) != 1001) return;
  std::optional<int> pin = onPasswordCheck(!on);
  if (!on && pin) ui.ShowMessage("The new PIN is " + std::to_string(*pin) + ".");
}

void Carry(MenuCommand command, platform::macos::MacApplication& mac, AppDelegate& delegate) {
  platform::UserInterface& ui = platform::GetUi();
  if (const char* link = LinkOf(command)) {
    platform::GetWorkspace().OpenURL(link);
    return;
  }
  switch (command) {
    case MenuCommand::kAutoStart:
      if (std::optional<bool> on = mac.LoginItems().setLaunchOnLogin(ui)) delegate.SetAutoRun(*on);
      break;
    case MenuCommand::kCheckUpdate:
      delegate.downloadVersion();
      break;
    case MenuCommand::kShowAddresses:
      ui.ShowMessage(delegate.AddressList().empty() ? getIPAddrStr() : delegate.AddressList());
      break;
    case MenuCommand::kShowPassword:
      ShowPassword();
      break;
    case MenuCommand::kSupport:
      RunSupportScript();
      break;
    case MenuCommand::kAbout:
      ui.ShowMessage("Hovra Server " + platform::GetHost().AppVersion());
      break;
    case MenuCommand::kQuit:
      if (delegate.applicationShouldTerminate() == kTerminateNow) mac.Quit();
      break;
    default:
      break;
  }
}

}  // namespace

void ConnectStatusMenu(platform::macos::MacApplication& mac, AppDelegate& delegate) {
  delegate.SetAutoRunProbe([&mac] { return mac.LoginItems().isAutoRun(); });
  mac.ShowStatusItem([&mac, &delegate](MenuCommand command) { Carry(command, mac, delegate); },
                     [&delegate] { return delegate.IsAutoRun(); });
}

}  // namespace hovra::app
