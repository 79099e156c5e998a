#include "platform/qt/address_window.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/product_icon.h"

namespace hovra::platform::qt {
namespace {

constexpr int kRefreshMs = 1000;

QLabel* Value(QWidget* parent, const char* name, bool fixedPitch = false) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (fixedPitch) label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return label;
}

}  // namespace

QString AddressListText(const std::string& list) {
  QString text = QString::fromStdString(list);
  while (text.endsWith('\n')) text.chop(1);
  return text;
}

QString PinProtectionText(bool on, int64_t pin) {
  if (!on) return "off";
  if (pin == 0) return "on (no PIN drawn yet)";
  return QString("on, PIN %1").arg(pin);
}

QString PhonesText(const std::vector<std::string>& phones) {
  if (phones.empty()) return "none";
  QStringList lines;
  for (const std::string& phone : phones) lines << QString::fromStdString(phone);
  return lines.join('\n');
}

AddressWindow::AddressWindow(std::function<ConnectionFacts()> facts)
    : facts_(std::move(facts)),
      addresses_(Value(this, "addresses", true)),
      port_(Value(this, "port")),
      protection_(Value(this, "protection")),
      backends_(Value(this, "backends")),
      phones_(Value(this, "phones")) {
  setWindowTitle("IP Address");
  setWindowIcon(ProductIcon());

  auto* intro = new QLabel("Enter one of these addresses in the Taplume app on your phone:", this);
  intro->setObjectName("intro");
  intro->setWordWrap(true);

  auto* form = new QFormLayout;
  form->addRow("Port:", port_);
  form->addRow("PIN protection:", protection_);
  form->addRow("Backends:", backends_);
  form->addRow("Phones connected now:", phones_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
  connect(buttons, &QDialogButtonBox::accepted, this, &QWidget::close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(intro);
  layout->addWidget(addresses_);
  layout->addLayout(form);
  layout->addWidget(buttons);

  refresh_.setInterval(kRefreshMs);
  connect(&refresh_, &QTimer::timeout, this, [this] { Refresh(); });
  Refresh();
}

void AddressWindow::Refresh() {
  if (!facts_) return;
  ConnectionFacts facts = facts_();
  addresses_->setText(AddressListText(facts.addressList));
  port_->setText(QString::number(facts.port));
  protection_->setText(PinProtectionText(facts.pinProtection, facts.pin));
  backends_->setText(QString("input %1, desktop %2")
                         .arg(QString::fromStdString(facts.inputBackend),
                              QString::fromStdString(facts.desktopBackend)));
  phones_->setText(PhonesText(facts.connectedPhones));
}

void AddressWindow::showEvent(QShowEvent* event) {
  Refresh();
  refresh_.start();
  QWidget::showEvent(event);
}

void AddressWindow::hideEvent(QHideEvent* event) {
  refresh_.stop();
  QWidget::hideEvent(event);
}

}  // namespace hovra::platform::qt
