#include "platform/qt/notification_panel.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

#include "platform/qt/product_icon.h"

namespace hovra::platform::qt {
namespace {

constexpr int kPanelWidth = 320;
constexpr int kPanelMinHeight = 64;
constexpr int kIconPixels = 32;

}  // namespace

NotificationPanel::NotificationPanel(std::function<void(const std::string& url)> openLink)
    : QFrame(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint),
      openLink_(std::move(openLink)),
      text_(new QLabel(this)) {
  setObjectName("notificationPanel");
  setAttribute(Qt::WA_ShowWithoutActivating, true);
  setFrameShape(QFrame::Box);
  setAutoFillBackground(true);
  setWindowOpacity(kPanelOpacity);
  setCursor(Qt::PointingHandCursor);
  auto* icon = new QLabel(this);
  icon->setPixmap(ProductPixmap(kIconPixels));
  icon->setAlignment(Qt::AlignTop);
  text_->setObjectName("message");
  text_->setWordWrap(true);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(12, 10, 12, 10);
  layout->setSpacing(10);
  layout->addWidget(icon);
  layout->addWidget(text_, 1);
  setFixedWidth(kPanelWidth);
  setMinimumHeight(kPanelMinHeight);
}

QString NotificationPanel::Message() const { return text_->text(); }

void NotificationPanel::ShowMessage(std::string_view message, std::string_view url) {
  QString text = QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
  while (text.endsWith('\n')) text.chop(1);  // the address list ends with a line feed
  text_->setText(text);
  url_ = std::string(url);
  adjustSize();
  PlaceAtTopRight();
  show();
  raise();
}

void NotificationPanel::PlaceAtTopRight() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  // The available area leaves out the top bar (and panels at the side).
  QRect area = screen->availableGeometry();
  move(area.x() + area.width() - width(), area.y());
}

void NotificationPanel::mousePressEvent(QMouseEvent* event) {
  event->accept();
  close();
  if (!url_.empty() && openLink_) openLink_(url_);
}

}  // namespace hovra::platform::qt
