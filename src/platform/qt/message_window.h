// A small window with one message and an OK button: the answer to a check for updates
// that found nothing newer, and any other plain message. A new message replaces the old.
#pragma once

#include <QWidget>
#include <string_view>

class QLabel;

namespace hovra::platform::qt {

class MessageWindow : public QWidget {
 public:
  MessageWindow();
  void SetText(std::string_view text);

 private:
  QLabel* text_;
};

}  // namespace hovra::platform::qt
