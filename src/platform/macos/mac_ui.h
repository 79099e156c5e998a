// The user interface on AppKit: the status item with its menu, the notification panel
// under the right end of the menu bar, message windows and alerts. Everything AppKit does
// happens on the main thread; calls from other threads are handed to it.
//   MacUserInterface ui(uiCalls, quartzCalls, workspace, mainQueue);
//   ui.Install([](MenuCommand c) {...}, [] { return isAutoRun; });
#pragma once

#include <atomic>
#include <functional>
#include <span>
#include <string>

#include "platform/geometry.h"
#include "platform/macos/quartz_calls.h"
#include "platform/macos/status_menu.h"
#include "platform/main_queue.h"
#include "platform/user_interface.h"
#include "platform/workspace.h"

namespace hovra::platform::macos {

inline constexpr double kPanelAlpha = 0.9;

// The AppKit calls, on the main thread only.
class StatusUiCalls {
 public:
  virtual ~StatusUiCalls() = default;
  // A variable-length status item with the named image, the tool tip and this menu.
  // `chosen` gets the command of each item picked; `willOpen` runs whenever the menu opens.
  virtual void InstallStatusItem(std::span<const MenuItem> menu, std::string_view imageName,
                                 std::string_view toolTip, std::function<void(MenuCommand)> chosen,
                                 std::function<void()> willOpen) = 0;
  virtual void SetItemState(MenuCommand command, bool on) = 0;
  virtual double MenuBarThickness() = 0;
  virtual double PanelWidth() = 0;
  // Shows the panel (not key, not movable) with its top-left corner at (left, top) in
  // screen space. A click closes it and then calls `clicked`.
  virtual void ShowPanel(std::string_view message, double left, double top, double alpha,
                         std::function<void()> clicked) = 0;
  virtual void ClosePanel() = 0;
  virtual bool PanelVisible() = 0;
  // A small window with the text, brought to the front though the program is not active.
  virtual void ShowTextWindow(std::string_view text) = 0;
  virtual int RunAlert(std::string_view message, std::string_view informative,
                       const std::vector<std::string_view>& buttons) = 0;
};

// Where the panel's top-left corner goes: flush with the right edge of the main display,
// directly under the menu bar.
Point PanelTopLeft(const quartz::Rect& mainDisplay, double panelWidth, double menuBarThickness);

class MacUserInterface : public UserInterface {
 public:
  MacUserInterface(StatusUiCalls& calls, QuartzCalls& quartz, Workspace& workspace,
                   MainQueue& mainQueue)
      : calls_(calls), quartz_(quartz), workspace_(workspace), mainQueue_(mainQueue) {}

  // Creates the status item (main thread). `autoStart` is asked each time the menu opens
  // for the "Auto Start" check mark; without it the last mark set stays.
  void Install(std::function<void(MenuCommand)> chosen, std::function<bool()> autoStart = {});

  void ShowNotificationPanel(std::string_view message, std::string_view url) override;
  void CloseNotificationPanel() override;
  bool IsNotificationPanelVisible() override;
  void ShowMessage(std::string_view text) override;
  int RunAlert(std::string_view message, std::string_view informative,
               const std::vector<std::string_view>& buttons) override;
  void SetAutoStartMark(bool on) override;

 private:
  void OnMain(std::function<void()> work);

  StatusUiCalls& calls_;
  QuartzCalls& quartz_;
  Workspace& workspace_;
  MainQueue& mainQueue_;
  std::function<bool()> autoStart_;
  std::atomic<bool> mark_{false};
};

}  // namespace hovra::platform::macos
