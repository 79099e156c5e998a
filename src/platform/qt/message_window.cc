#include "platform/qt/message_window.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/product_icon.h"

namespace hovra::platform::qt {
namespace {

constexpr int kIconPixels = 48;
constexpr int kTextWidth = 300;

}  // namespace

MessageWindow::MessageWindow() : text_(new QLabel(this)) {
  setWindowTitle("Hovra Server");
  setWindowIcon(ProductIcon());
  auto* icon = new QLabel(this);
  icon->setPixmap(ProductPixmap(kIconPixels));
  icon->setAlignment(Qt::AlignTop);
  text_->setObjectName("text");
  text_->setWordWrap(true);
  text_->setMinimumWidth(kTextWidth);
  text_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
  connect(buttons, &QDialogButtonBox::accepted, this, &QWidget::close);

  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addWidget(text_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}

void MessageWindow::SetText(std::string_view text) {
  text_->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  adjustSize();
}

}  // namespace hovra::platform::qt
