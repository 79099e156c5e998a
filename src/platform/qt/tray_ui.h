// The user interface of a desktop session: a status icon with the status menu
// (StatusNotifierItem with DBusMenu where a tray host is registered on the session bus,
// XEmbed otherwise), the About, address, password and message windows, modal alerts, and
// the notification panel. Runs on the Qt main thread; calls from other threads are
// carried over to it.
#pragma once

#include <QMenu>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <string>

#include "platform/qt/about_window.h"
#include "platform/qt/address_window.h"
#include "platform/qt/message_window.h"
#include "platform/qt/notice_hooks.h"
#include "platform/qt/notification_panel.h"
#include "platform/qt/password_window.h"
#include "platform/user_interface.h"

namespace hovra::platform::qt {

class TrayUi : public UserInterface {
 public:
  TrayUi();
  ~TrayUi() override;

  void SetDesktopNotices(DesktopNotices notices) { desktopNotices_ = std::move(notices); }
  void SetNoticeRecord(NoticeRecord record) { record_ = std::move(record); }

  void ShowNotificationPanel(std::string_view message, std::string_view url) override;
  void CloseNotificationPanel() override;
  bool IsNotificationPanelVisible() override;
  void ShowMessage(std::string_view text) override;
  int RunAlert(std::string_view message, std::string_view informative,
               const std::vector<std::string_view>& buttons) override;
  void SetAutoStartMark(bool on) override;

  void AttachShell(ShellBindings bindings) override;
  void ShowAboutWindow() override;
  void ShowAddressWindow() override;
  void ShowPasswordWindow() override;

  // What the tests and the screenshots look at; null until made.
  QSystemTrayIcon* TrayIcon() { return trayIcon_.get(); }
  QMenu* Menu() { return menu_.get(); }
  NotificationPanel& Panel() { return panel_; }
  AboutWindow* About() { return about_.get(); }
  AddressWindow* Addresses() { return addresses_.get(); }
  PasswordWindow* Password() { return password_.get(); }
  MessageWindow* Message() { return message_.get(); }

 private:
  // Runs `work` now on the GUI thread, or queues it there from any other thread.
  void OnGuiThread(std::function<void()> work);

  ShellBindings bindings_;
  DesktopNotices desktopNotices_;
  NoticeRecord record_;
  std::unique_ptr<QMenu> menu_;
  std::unique_ptr<QSystemTrayIcon> trayIcon_;
  NotificationPanel panel_;
  std::unique_ptr<AboutWindow> about_;
  std::unique_ptr<AddressWindow> addresses_;
  std::unique_ptr<PasswordWindow> password_;
  std::unique_ptr<MessageWindow> message_;
};

}  // namespace hovra::platform::qt
