#include "platform/qt/tray_ui.h"

#include <QCoreApplication>
#include <QCursor>
#include <QThread>

#include "base/log.h"
#include "platform/qt/alert.h"
#include "platform/qt/product_icon.h"
#include "platform/qt/status_menu_builder.h"
#include "platform/qt/window_front.h"
#include "platform/services.h"

namespace hovra::platform::qt {

TrayUi::TrayUi() : panel_([](const std::string& url) { platform::GetWorkspace().OpenURL(url); }) {}

TrayUi::~TrayUi() {
  if (trayIcon_) trayIcon_->hide();
}

void TrayUi::OnGuiThread(std::function<void()> work) {
  if (QThread::currentThread() == QCoreApplication::instance()->thread()) {
    work();
  } else {
    // Queued on a member: work still queued when the UI goes is dropped with it.
    QMetaObject::invokeMethod(&panel_, std::move(work), Qt::QueuedConnection);
  }
}

void TrayUi::ShowNotificationPanel(std::string_view message, std::string_view url) {
  if (record_) record_(message, url);
  if (desktopNotices_ && desktopNotices_(message, url)) return;
  OnGuiThread([this, message = std::string(message), url = std::string(url)] {
    panel_.ShowMessage(message, url);
  });
}

void TrayUi::CloseNotificationPanel() {
  OnGuiThread([this] { panel_.close(); });
}

bool TrayUi::IsNotificationPanelVisible() { return panel_.isVisible(); }

void TrayUi::ShowMessage(std::string_view text) {
  OnGuiThread([this, text = std::string(text)] {
    if (!message_) message_ = std::make_unique<MessageWindow>();
    message_->SetText(text);
    ShowInFront(*message_);
  });
}

int TrayUi::RunAlert(std::string_view message, std::string_view informative,
                     const std::vector<std::string_view>& buttons) {
  if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
    // Nobody can answer from here: the safe answer, as a headless host gives.
    Log("alert asked for off the main thread: \"%.*s\" answered with its last button",
        static_cast<int>(message.size()), message.data());
    return 1000 + (buttons.empty() ? 0 : static_cast<int>(buttons.size()) - 1);
  }
  return qt::RunAlert(message, informative, buttons);
}

void TrayUi::SetAutoStartMark(bool on) {
  OnGuiThread([this, on] {
    // "Auto Start" is the menu's first item.
    if (!menu_ || menu_->actions().isEmpty()) return;
    QAction* autoStart = menu_->actions().front();
    if (autoStart->isCheckable()) autoStart->setChecked(on);
  });
}

void TrayUi::AttachShell(ShellBindings bindings) {
  OnGuiThread([this, bindings = std::move(bindings)]() mutable {
    bindings_ = std::move(bindings);
    trayIcon_.reset();  // before the menu it shows
    menu_ = BuildStatusMenu(bindings_.menu);
    trayIcon_ = std::make_unique<QSystemTrayIcon>(ProductIcon());
    trayIcon_->setToolTip(QString::fromStdString(bindings_.menu.toolTip));
    trayIcon_->setContextMenu(menu_.get());
    // A left click opens the menu too, as a click on a menu-bar item does.
    QObject::connect(trayIcon_.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                       if (reason == QSystemTrayIcon::Trigger) menu_->popup(QCursor::pos());
                     });
    trayIcon_->show();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
      Log("no tray host on this desktop yet: the status icon shows when one starts");
    }
  });
}

void TrayUi::ShowAboutWindow() {
  OnGuiThread([this] {
    if (!about_) about_ = std::make_unique<AboutWindow>(bindings_.about);
    ShowInFront(*about_);
  });
}

void TrayUi::ShowAddressWindow() {
  OnGuiThread([this] {
    if (!addresses_) addresses_ = std::make_unique<AddressWindow>(bindings_.connectionFacts);
    ShowInFront(*addresses_);
  });
}

void TrayUi::ShowPasswordWindow() {
  OnGuiThread([this] {
    if (!password_) {
      password_ = std::make_unique<PasswordWindow>(bindings_.passwordState,
                                                   bindings_.setPasswordProtection);
    }
    ShowInFront(*password_);
  });
}

}  // namespace hovra::platform::qt
