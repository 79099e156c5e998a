#include "platform/qt/about_window.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/product_icon.h"

namespace hovra::platform::qt {
namespace {

constexpr int kIconPixels = 64;
constexpr int kTextWidth = 340;

QLabel* Text(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignHCenter);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

AboutWindow::AboutWindow(const AboutFacts& facts) {
  QString name = QString::fromStdString(facts.name);
  setWindowTitle("About " + name);
  setWindowIcon(ProductIcon());

  auto* icon = new QLabel(this);
  icon->setObjectName("icon");
  icon->setPixmap(ProductPixmap(kIconPixels));
  icon->setAlignment(Qt::AlignHCenter);

  QLabel* title = Text(this, "name", name);
  QFont bigger = title->font();
  bigger.setBold(true);
  bigger.setPointSizeF(bigger.pointSizeF() * 1.4);
  title->setFont(bigger);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
  connect(buttons, &QDialogButtonBox::accepted, this, &QWidget::close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(icon);
  layout->addWidget(title);
  layout->addWidget(Text(this, "version", "Version " + QString::fromStdString(facts.version)));
  layout->addSpacing(6);
  layout->addWidget(Text(this, "description", QString::fromStdString(facts.description)));
  layout->addWidget(Text(this, "licence", QString::fromStdString(facts.licence)));
  layout->addWidget(buttons);
  setFixedWidth(kTextWidth);
  adjustSize();
}

}  // namespace hovra::platform::qt
