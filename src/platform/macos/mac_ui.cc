#include "platform/macos/mac_ui.h"

namespace hovra::platform::macos {

Point PanelTopLeft(const quartz::Rect& mainDisplay, double panelWidth, double menuBarThickness) {
  return Point{mainDisplay.origin.x + mainDisplay.size.width - panelWidth,
               mainDisplay.origin.y + mainDisplay.size.height - menuBarThickness};
}

void MacUserInterface::OnMain(std::function<void()> work) {
  if (mainQueue_.IsMainThread()) {
    work();
  } else {
    mainQueue_.Post(std::move(work));
  }
}

void MacUserInterface::Install(std::function<void(MenuCommand)> chosen,
                               std::function<bool()> autoStart) {
  autoStart_ = std::move(autoStart);
  calls_.InstallStatusItem(kStatusMenu, kStatusImageName, kStatusToolTip, std::move(chosen),
                           [this] {
                             bool on = autoStart_ ? autoStart_() : mark_.load();
                             calls_.SetItemState(MenuCommand::kAutoStart, on);
                           });
}

void MacUserInterface::ShowNotificationPanel(std::string_view message, std::string_view url) {
  OnMain([this, message = std::string(message), url = std::string(url)] {
    const quartz::Rect main = quartz_.DisplayBounds(quartz_.MainDisplayID());
    Point at = PanelTopLeft(main, calls_.PanelWidth(), calls_.MenuBarThickness());
    calls_.ShowPanel(message, at.x, at.y, kPanelAlpha, [this, url] {
      // A click always dismisses the panel; it opens a link only when one came with it.
      if (!url.empty()) workspace_.OpenURL(url);
    });
  });
}

void MacUserInterface::CloseNotificationPanel() {
  OnMain([this] { calls_.ClosePanel(); });
}

bool MacUserInterface::IsNotificationPanelVisible() {
  bool visible = false;
  mainQueue_.RunAndWait([&] { visible = calls_.PanelVisible(); });
  return visible;
}

void MacUserInterface::ShowMessage(std::string_view text) {
  OnMain([this, text = std::string(text)] { calls_.ShowTextWindow(text); });
}

int MacUserInterface::RunAlert(std::string_view message, std::string_view informative,
                               const std::vector<std::string_view>& buttons) {
  int answer = 0;
  mainQueue_.RunAndWait([&] { answer = calls_.RunAlert(message, informative, buttons); });
  return answer;
}

void MacUserInterface::SetAutoStartMark(bool on) {
  mark_ = on;
  OnMain([this, on] { calls_.SetItemState(MenuCommand::kAutoStart, on); });
}

}  // namespace hovra::platform::macos
