// The password window: the PIN phones must enter, and the check box that switches the
// protection. Switching it on draws a new PIN (as `hovra-server password on` does); off
// keeps the PIN shown. The state is read again each second while the window shows, so a
// change made from the command line appears here too.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

#include "platform/shell_bindings.h"

class QCheckBox;
class QLineEdit;

namespace hovra::platform::qt {

class PasswordWindow : public QWidget {
 public:
  PasswordWindow(std::function<PasswordState()> read,
                 std::function<PasswordState(bool on)> setProtection);
  void Refresh();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void Apply(const PasswordState& state);

  std::function<PasswordState()> read_;
  std::function<PasswordState(bool)> setProtection_;
  QCheckBox* protection_;
  QLineEdit* pin_;
  QTimer refresh_;
};

}  // namespace hovra::platform::qt
