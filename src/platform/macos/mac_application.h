// The program as a macOS menu-bar application: NSApplication's run loop on the main
// thread is the main loop (the main dispatch queue its queue), and the backend's services
// are made here: Quartz events, scripts through osascript, NSWorkspace, the status item
// and its windows, the computer's facts, and launch at login through SMAppService.
// Apple platforms only; made on the main thread before anything else uses AppKit.
//   auto app = std::make_unique<MacApplication>();
//   app->ProvideInput(services); app->ProvideDesktop(services); app->ProvideUi(services);
//   app->AskForAccessibility();
#pragma once

#include <functional>

#include "platform/macos/accessibility_gate.h"
#include "platform/macos/login_items.h"
#include "platform/macos/mac_events.h"
#include "platform/macos/mac_host.h"
#include "platform/macos/mac_main_loop.h"
#include "platform/macos/mac_ui.h"
#include "platform/macos/mac_workspace.h"
#include "platform/macos/osascript_scripts.h"
#include "platform/services.h"

namespace hovra::platform::macos {

class MacApplication : public MainLoop {
 public:
  MacApplication();
  ~MacApplication() override;
  // The one application of this process, or null before it is made.
  static MacApplication* Current();

  void ProvideInput(Services& services) { services.events = &events_; }
  void ProvideDesktop(Services& services);
  void ProvideUi(Services& services) { services.ui = &ui_; }

  // Start-up: the system's Accessibility prompt (once), and a notice when refused.
  void AskForAccessibility() { macos::AskForAccessibility(gate_, ui_); }
  // Shows the status item; `chosen` gets the menu's commands, `autoStart` gives the check
  // mark of "Auto Start" whenever the menu opens.
  void ShowStatusItem(std::function<void(MenuCommand)> chosen, std::function<bool()> autoStart);
  LaunchAtLogin& LoginItems() { return login_; }

  void Post(std::function<void()> work) override { loop_.Post(std::move(work)); }
  bool RunAndWait(std::function<void()> work) override { return loop_.RunAndWait(std::move(work)); }
  void PostDelayed(std::chrono::milliseconds delay, std::function<void()> work) override {
    loop_.PostDelayed(delay, std::move(work));
  }
  void StartRepeatingTimer(std::chrono::milliseconds interval,
                           std::function<void()> tick) override {
    loop_.StartRepeatingTimer(interval, std::move(tick));
  }
  bool IsMainThread() const override { return loop_.IsMainThread(); }
  void Run() override { loop_.Run(); }
  void Quit() override { loop_.Quit(); }

 private:
  MacMainLoop loop_;
  MacHost host_;
  AccessibilityGate gate_;
  MacEventServices events_;
  OsascriptScripts scripts_;
  MacWorkspace workspace_;
  MacUserInterface ui_;
  ServiceLoginItemList loginList_;
  LaunchAtLogin login_;
};

}  // namespace hovra::platform::macos
