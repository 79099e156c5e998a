// The windows the status menu opens, and the password window beside the command line.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/password.h"
#include "app/shell_bindings.h"
#include "app/update_check.h"
#include "tests/qt/tray_fixture.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

class WindowsTest : public TrayFixture {
 protected:
  // The real binary's `password` subcommand on this test's settings file.
  CommandResult Password(const std::string& action) {
    return RunHovraCommand({"password", action, "--config-dir", dir_ / "config"}, dir_.path());
  }
  // Clicks OK and tells whether that closed the window.
  static bool OkCloses(QWidget* window) {
    auto* ok = window ? window->findChild<QPushButton*>("ok") : nullptr;
    if (ok == nullptr || !window->isVisible()) return false;
    QTest::mouseClick(ok, Qt::LeftButton);
    return !window->isVisible();
  }
};

TEST_F(WindowsTest, AboutAndMessageWindowsShowTheirTextsAndAreMadeOnce) {
  StartDelegate();
  ui_.ShowAboutWindow();
  QWidget* about = ui_.About();
  ASSERT_TRUE(about && about->isVisible());
  EXPECT_TRUE(about->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(about->windowTitle(), "About Hovra Server");
  EXPECT_EQ(LabelText(about, "name"), "Hovra Server");
  EXPECT_EQ(LabelText(about, "version"),
            "Version " + QString::fromStdString(platform::GetHost().AppVersion()));
  EXPECT_EQ(LabelText(about, "description"), app::kProductDescription);
  EXPECT_EQ(LabelText(about, "licence"), app::kProductLicence);
  EXPECT_TRUE(OkCloses(about));
  ui_.ShowAboutWindow();  // the same window again
  EXPECT_TRUE(ui_.About() == about && about->isVisible());

  app::showNoVersionDialog();
  QWidget* window = ui_.Message();
  ASSERT_TRUE(window && window->isVisible());
  EXPECT_EQ(LabelText(window, "text"), app::kNoNewVersionText);
  ui_.ShowMessage("another");  // the same window, the new text
  EXPECT_TRUE(ui_.Message() == window && LabelText(window, "text") == "another");
  EXPECT_TRUE(OkCloses(window));
}

TEST_F(WindowsTest, AddressWindowShowsHowToConnectAndKeepsCurrent) {
  app::AppDelegate& delegate = StartDelegate();
  ui_.ShowAddressWindow();
  QWidget* window = ui_.Addresses();
  ASSERT_TRUE(window && window->isVisible());
  EXPECT_EQ(window->windowTitle(), "IP Address");
  EXPECT_EQ(LabelText(window, "addresses"), "  192.168.1.5");  // the list taken at start
  EXPECT_EQ(LabelText(window, "port"), QString::number(delegate.Server()->ListeningPort()));
  EXPECT_EQ(LabelText(window, "protection"), "off");
  EXPECT_EQ(LabelText(window, "backends"), "input journal, desktop journal");
  EXPECT_EQ(LabelText(window, "phones"), "none");

  // While it shows, protection is switched on elsewhere, then a phone connects.
  std::optional<int> pin = app::onPasswordCheck(true);
  ASSERT_TRUE(pin.has_value());
  SocketClient phone(delegate.Server()->ListeningPort());
  EXPECT_TRUE(QTest::qWaitFor([&] { return LabelText(window, "phones") == "127.0.0.1"; }, 5000));
  EXPECT_EQ(LabelText(window, "protection"), QString("on, PIN %1").arg(*pin));
  EXPECT_TRUE(OkCloses(window));
}

TEST_F(WindowsTest, PasswordCheckBoxActsAsTheCommandLineDoesAndEachSeesTheOther) {
  StartDelegate();
  ui_.ShowPasswordWindow();
  QWidget* window = ui_.Password();
  ASSERT_TRUE(window && window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Password");
  auto* box = window->findChild<QCheckBox*>("protection");
  auto* pin = window->findChild<QLineEdit*>("pin");
  ASSERT_TRUE(box && pin);
  EXPECT_FALSE(box->isChecked());
  EXPECT_EQ(pin->text(), "") << "no PIN drawn yet";

  // On: a new PIN, stored and shown, that the command line reads. Off: the PIN stays.
  box->click();
  std::string first = pin->text().toStdString();
  EXPECT_EQ(Password("show").out, "PIN: " + first + "\nPassword protection: on\n");
  box->click();
  EXPECT_EQ(Password("show").out, "PIN: " + first + "\nPassword protection: off\n");

  // The command line draws a PIN: the window shows it within a second or two.
  CommandResult on = Password("on");
  ASSERT_EQ(on.exitCode, 0);
  std::string drawn = on.out.substr(5, 4);  // "PIN: dddd\n..."
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return box->isChecked() && pin->text().toStdString() == drawn; }, 5000))
      << on.out;
  EXPECT_TRUE(app::verifyPassword(app::Md5Hex(drawn).c_str()));
  EXPECT_TRUE(OkCloses(window));
}

}  // namespace
}  // namespace hovra::testing
