#include "platform/qt/password_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/product_icon.h"

namespace hovra::platform::qt {
namespace {

constexpr int kRefreshMs = 1000;
constexpr int kWindowWidth = 320;

}  // namespace

PasswordWindow::PasswordWindow(std::function<PasswordState()> read,
                               std::function<PasswordState(bool on)> setProtection)
    : read_(std::move(read)),
      setProtection_(std::move(setProtection)),
      protection_(new QCheckBox("Ask phones for this PIN", this)),
      pin_(new QLineEdit(this)) {
  setWindowTitle("Password");
  setWindowIcon(ProductIcon());
  protection_->setObjectName("protection");
  pin_->setObjectName("pin");
  pin_->setReadOnly(true);  // drawn by the server, never typed
  QFont large = pin_->font();
  large.setPointSizeF(large.pointSizeF() * 1.6);
  large.setBold(true);
  pin_->setFont(large);
  pin_->setAlignment(Qt::AlignCenter);

  auto* intro = new QLabel(
      "When the protection is on, a phone that connects must enter this PIN in the "
      "Taplume app. Each time it is switched on, a new PIN is drawn.",
      this);
  intro->setObjectName("intro");
  intro->setWordWrap(true);

  auto* form = new QFormLayout;
  form->addRow("PIN:", pin_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
  connect(buttons, &QDialogButtonBox::accepted, this, &QWidget::close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addLayout(form);
  layout->addWidget(protection_);
  layout->addWidget(buttons);
  setFixedWidth(kWindowWidth);

  // clicked, not toggled: only the user's change draws a PIN, never a refresh.
  connect(protection_, &QCheckBox::clicked, this, [this](bool on) {
    if (setProtection_) Apply(setProtection_(on));
  });
  refresh_.setInterval(kRefreshMs);
  connect(&refresh_, &QTimer::timeout, this, [this] { Refresh(); });
  Refresh();
}

void PasswordWindow::Refresh() {
  if (read_) Apply(read_());
}

void PasswordWindow::Apply(const PasswordState& state) {
  protection_->setChecked(state.protection);
  // The field shows a PIN once one was drawn, and keeps it while protection is off.
  if (state.pin != 0) pin_->setText(QString::number(state.pin));
}

void PasswordWindow::showEvent(QShowEvent* event) {
  Refresh();
  refresh_.start();
  QWidget::showEvent(event);
}

void PasswordWindow::hideEvent(QHideEvent* event) {
  refresh_.stop();
  QWidget::hideEvent(event);
}

}  // namespace hovra::platform::qt
