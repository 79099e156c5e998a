// The windows the status menu opens: their content, their buttons, and the password
// window and the command line seeing each other's changes.
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

using namespace std::chrono_literals;

class WindowsTest : public TrayFixture {
 protected:
  // The real binary's subcommand on this test's settings.
  CommandResult Command(std::vector<std::string> args) {
    args.insert(args.end(), {"--config-dir", dir_ + "/config"});
    return RunHovraCommand(args, dir_ + "/home");
  }
  static void ClickOk(QWidget* window) {
    auto* ok = window->findChild<QPushButton*>("ok");
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
  }
};

bool IsDrawnPin(const QString& text) {
  bool number = false;
  int pin = text.toInt(&number);
  return number && pin >= 1111 && pin <= 9999 && !text.contains('0') && text.size() == 4;
}

TEST_F(WindowsTest, AboutShowsNameVersionDescriptionAndLicenceAndClosesOnOk) {
  StartDelegate();
  ui_.ShowAboutWindow();
  QWidget* about = ui_.About();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_TRUE(about->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(about->windowTitle(), "About Hovra Server");
  EXPECT_EQ(LabelText(about, "name"), "Hovra Server");
  EXPECT_EQ(LabelText(about, "version"),
            "Version " + QString::fromStdString(platform::GetHost().AppVersion()));
  EXPECT_EQ(LabelText(about, "description"), app::kProductDescription);
  EXPECT_EQ(LabelText(about, "licence"), app::kProductLicence);
  ClickOk(about);
  EXPECT_FALSE(about->isVisible());
  ui_.ShowAboutWindow();  // shown again, the same window
  EXPECT_EQ(ui_.About(), about);
  EXPECT_TRUE(about->isVisible());
}

TEST_F(WindowsTest, AddressWindowShowsHowToConnectAndWhoIsConnected) {
  app::AppDelegate& delegate = StartDelegate();
  ui_.ShowAddressWindow();
  QWidget* window = ui_.Addresses();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "IP Address");
  EXPECT_EQ(LabelText(window, "addresses"), "  192.168.1.5");  // the list taken at start
  EXPECT_EQ(LabelText(window, "port"), QString::number(delegate.Server()->ListeningPort()));
  EXPECT_EQ(LabelText(window, "protection"), "off");
  EXPECT_EQ(LabelText(window, "backends"), "input journal, desktop journal");
  EXPECT_EQ(LabelText(window, "phones"), "none");

  // Kept current while it shows: phones connecting, protection switched on elsewhere.
  SocketClient v4(delegate.Server()->ListeningPort());
  SocketClient v6(delegate.Server()->ListeningPort(), /*ipv6=*/true);
  ASSERT_TRUE(v4.Connected() && v6.Connected());
  std::optional<int> pin = app::onPasswordCheck(true);
  ASSERT_TRUE(pin.has_value());
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return LabelText(window, "phones").split('\n').size() == 2; }, 5000));
  QStringList phones = LabelText(window, "phones").split('\n');
  phones.sort();
  EXPECT_EQ(phones, (QStringList{"127.0.0.1", "::1"}));
  EXPECT_EQ(LabelText(window, "protection"), QString("on, PIN %1").arg(*pin));

  ClickOk(window);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowsTest, PasswordCheckBoxDrawsAPinLikeTheCommandLineAndEachSeesTheOther) {
  StartDelegate();
  ui_.ShowPasswordWindow();
  QWidget* window = ui_.Password();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Password");
  auto* box = window->findChild<QCheckBox*>("protection");
  auto* pin = window->findChild<QLineEdit*>("pin");
  ASSERT_TRUE(box && pin);
  EXPECT_FALSE(box->isChecked());
  EXPECT_EQ(pin->text(), "") << "no PIN drawn yet";
  EXPECT_TRUE(pin->isReadOnly());

  // On: a new PIN, stored and shown; the command line reads the same.
  box->click();
  EXPECT_TRUE(box->isChecked());
  EXPECT_TRUE(IsDrawnPin(pin->text())) << pin->text().toStdString();
  QString first = pin->text();
  CommandResult shown = Command({"password", "show"});
  EXPECT_EQ(shown.out, "PIN: " + first.toStdString() + "\nPassword protection: on\n");

  // Off: only the protection changes; the PIN stays stored and shown.
  box->click();
  EXPECT_FALSE(box->isChecked());
  EXPECT_EQ(pin->text(), first);
  EXPECT_EQ(Command({"password", "show"}).out,
            "PIN: " + first.toStdString() + "\nPassword protection: off\n");

  // The command line switches it on: the window shows the new PIN within a second or two.
  CommandResult on = Command({"password", "on"});
  ASSERT_EQ(on.exitCode, 0);
  std::string drawn = on.out.substr(5, 4);  // "PIN: dddd\n..."
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return box->isChecked() && pin->text().toStdString() == drawn; }, 5000))
      << on.out;
  EXPECT_TRUE(app::verifyPassword(app::Md5Hex(drawn).c_str()));
}

TEST_F(WindowsTest, NoNewVersionWindowShowsItsMessageAndClosesOnOk) {
  StartDelegate();
  app::showNoVersionDialog();
  QWidget* window = ui_.Message();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(LabelText(window, "text"), app::kNoNewVersionText);
  ui_.ShowMessage("another");  // the same window, the new text
  EXPECT_EQ(ui_.Message(), window);
  EXPECT_EQ(LabelText(window, "text"), "another");
  ClickOk(window);
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace hovra::testing
