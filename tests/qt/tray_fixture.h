// The tray's user interface offscreen, with settings in a file the subcommands change too.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>

#include "app/app_delegate.h"
#include "platform/posix/file_settings_store.h"
#include "platform/qt/tray_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {

inline constexpr char kTraySim[] = R"({"addresses":["192.168.1.5","127.0.0.1"]})";

class TrayFixture : public ::testing::Test {
 protected:
  TrayFixture() : platform_(kTraySim), settings_(dir_ / "config/settings.json") {
    ::setenv("XDG_CONFIG_HOME", (dir_ / "xdg").c_str(), 1);  // the autostart folder
    platform::Services services = platform::Current();
    services.ui = &ui_;
    services.settings = &settings_;
    previous_ = platform::Install(services);
    options_.port = 0;
    options_.discoveryPort = 0;
    options_.configDir = dir_ / "config";
    options_.updateUrl = "http://127.0.0.1:9/version.json";  // fails at once, stays here
  }
  ~TrayFixture() override {
    delegate_.reset();
    platform::Install(previous_);
  }

  // The application started up, its start-up tasks done, its shell attached to the tray.
  app::AppDelegate& StartDelegate() {
    delegate_ = std::make_unique<app::AppDelegate>(options_);
    EXPECT_TRUE(delegate_->applicationDidFinishLaunching());
    delegate_->WaitForBackgroundTasks();
    ui_.AttachShell(delegate_->MakeShellBindings([this] { ++quits_; }, "journal", "journal"));
    return *delegate_;
  }
  void Tick() { platform_.MainQueue().Tick(); }

  TestPlatform platform_;
  TempDir dir_;
  platform::posix::FileSettingsStore settings_;
  platform::qt::TrayUi ui_;
  Options options_;
  std::unique_ptr<app::AppDelegate> delegate_;
  int quits_ = 0;
  platform::Services previous_;
};

inline QString LabelText(QWidget* window, const char* name) {
  if (window == nullptr) return "(no window)";
  auto* label = window->findChild<QLabel*>(name);
  return label ? label->text() : QString("(no label %1)").arg(name);
}

// What a modal alert showed before it was answered.
struct SeenAlert {
  QString title;
  QString text;
  QString informative;
  QStringList buttons;
};

// Answers the next modal alert as it shows with `button` (empty: Escape), seen into `seen`.
inline void AnswerNextAlert(const QString& button, SeenAlert& seen) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, button, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    seen = {box->windowTitle(), box->text(), box->informativeText(), {}};
    QAbstractButton* chosen = nullptr;
    for (QAbstractButton* b : box->buttons()) {
      seen.buttons << b->text();
      if (b->text() == button) chosen = b;
    }
    if (chosen != nullptr) {
      chosen->click();
    } else {
      QTest::keyClick(box, Qt::Key_Escape);
    }
  });
  poll->start(5);
}

}  // namespace hovra::testing
