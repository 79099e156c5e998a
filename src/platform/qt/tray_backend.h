// The tray as a backend: the QApplication, Qt's event loop as the main loop, and the tray
// user interface, made together and ended in the right order (windows, then the loop,
// then the application). No Qt header is needed to use it.
//   std::string error;
//   auto tray = TrayBackend::Open(error);   // null: `error` says why (no display ...)
//   services.mainQueue = &tray->Loop();
//   services.ui = &tray->Ui();
#pragma once

#include <memory>
#include <string>

#include "platform/main_loop.h"
#include "platform/qt/notice_hooks.h"
#include "platform/user_interface.h"

class QApplication;

namespace hovra::platform::qt {

class QtMainLoop;
class TrayUi;

class TrayBackend {
 public:
  static std::unique_ptr<TrayBackend> Open(std::string& error);
  ~TrayBackend();

  MainLoop& Loop();
  UserInterface& Ui();
  void SetDesktopNotices(DesktopNotices notices);
  void SetNoticeRecord(NoticeRecord record);

 private:
  TrayBackend() = default;

  std::unique_ptr<QApplication> app_;  // first made, last ended
  std::unique_ptr<QtMainLoop> loop_;
  std::unique_ptr<TrayUi> ui_;
};

}  // namespace hovra::platform::qt
