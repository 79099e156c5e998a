// The address window: the computer's addresses as taken at start, and what else a user
// needs to connect a phone - the port, whether a PIN is asked (and which), the backends in
// use and the phones connected now. Kept current once a second while it shows.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

#include "platform/shell_bindings.h"

class QLabel;

namespace hovra::platform::qt {

class AddressWindow : public QWidget {
 public:
  explicit AddressWindow(std::function<ConnectionFacts()> facts);
  void Refresh();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  std::function<ConnectionFacts()> facts_;
  QLabel* addresses_;
  QLabel* port_;
  QLabel* protection_;
  QLabel* backends_;
  QLabel* phones_;
  QTimer refresh_;
};

// The texts of its lines, also used where the facts are printed.
QString AddressListText(const std::string& list);  // the list without its last line feed
QString PinProtectionText(bool on, int64_t pin);
QString PhonesText(const std::vector<std::string>& phones);

}  // namespace hovra::platform::qt
