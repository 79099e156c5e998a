// The notification panel: a small frameless panel at the top right of the main screen,
// under the top bar, 0.9 opaque, that takes no focus. A new message replaces text and
// link. A click anywhere on it closes it and, when the message came with a link, opens
// the link. Closing after five ticks is the main-thread timer's business.
#pragma once

#include <QFrame>
#include <functional>
#include <string>
#include <string_view>

class QLabel;

namespace hovra::platform::qt {

inline constexpr double kPanelOpacity = 0.9;

class NotificationPanel : public QFrame {
 public:
  explicit NotificationPanel(std::function<void(const std::string& url)> openLink);
  void ShowMessage(std::string_view message, std::string_view url);
  const std::string& Url() const { return url_; }
  QString Message() const;

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void PlaceAtTopRight();

  std::function<void(const std::string&)> openLink_;
  QLabel* text_;
  std::string url_;
};

}  // namespace hovra::platform::qt
