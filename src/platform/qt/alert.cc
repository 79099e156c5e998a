#include "platform/qt/alert.h"

#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/product_icon.h"

namespace hovra::platform::qt {
namespace {

constexpr int kFirstButton = 1000;

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

int RunAlert(std::string_view message, std::string_view informative,
             const std::vector<std::string_view>& buttons) {
  QMessageBox box(QMessageBox::Warning, "Hovra Server", Text(message));
  box.setObjectName("alert");
  box.setWindowIcon(ProductIcon());
  box.setInformativeText(Text(informative));
  std::vector<QPushButton*> added;
  for (size_t i = 0; i < buttons.size(); ++i) {
    auto role = i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
    added.push_back(box.addButton(Text(buttons[i]), role));
  }
  if (added.empty()) added.push_back(box.addButton(QMessageBox::Ok));
  box.setDefaultButton(added.front());
  box.setEscapeButton(added.back());
  box.exec();
  for (size_t i = 0; i < added.size(); ++i) {
    if (box.clickedButton() == added[i]) return kFirstButton + static_cast<int>(i);
  }
  return kFirstButton + static_cast<int>(added.size()) - 1;
}

}  // namespace hovra::platform::qt
