// The tray's windows, the menu's items and the notification panel.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "app/password.h"
#include "app/product_links.h"
#include "app/shell_bindings.h"
#include "app/update_check.h"
#include "server/notice_hand_over.h"
#include "tests/qt/tray_fixture.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

QString Title(QAction* action) { return action->text().replace("&&", "&"); }

QAction& Item(QMenu& menu, const QString& title) {
  for (QAction* action : menu.actions()) {
    if (Title(action) == title) return *action;
  }
  ADD_FAILURE() << "no item " << title.toStdString();
  return *menu.menuAction();
}

class TrayUiTest : public TrayFixture {
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
  QMenu& Menu() { return *ui_.Menu(); }
  QMenu& Apps(const QString& platform) {
    return *Item(*Item(Menu(), "Taplume apps").menu(), platform).menu();
  }
  platform::qt::NotificationPanel& Panel() { return ui_.Panel(); }
  // Started, with the start-up notice shown by the first tick and its journal line taken.
  void StartAndShowAddresses() {
    StartDelegate();
    platform_.Take();
    Tick();
  }
};
using WindowsTest = TrayUiTest;
using MenuTest = TrayUiTest;
using PanelTest = TrayUiTest;

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

TEST_F(MenuTest, LinksMailWindowsAndQuit) {
  StartDelegate();
  ASSERT_NE(ui_.Menu(), nullptr);
  const std::pair<QAction*, std::string> links[] = {
      {&Item(Apps("Android"), "Taplume Pro"), app::kAndroidTaplumeProUrl},
      {&Item(Apps("Android"), "Taplume"), app::kAndroidTaplumeUrl},
      {&Item(Apps("iPhone & iPod Touch"), "Taplume Pro"), app::kIosTaplumeProUrl},
      {&Item(Apps("iPhone & iPod Touch"), "Taplume"), app::kIosTaplumeUrl},
      {&Item(Apps("iPad"), "Taplume HD"), app::kIosTaplumeHdUrl},
      {&Item(Apps("iPad"), "Taplume HD Free"), app::kIosTaplumeHdFreeUrl},
      {&Item(Menu(), "Our Website"), app::kWebsiteUrl},
      {&Item(Menu(), "Our Facebook"), app::kFacebookUrl},
      {&Item(Menu(), "Mail To Us"), "mailto:support@hovra.example?subject=Taplume%20Support"},
  };
  platform_.Take();
  for (const auto& [action, url] : links) {
    action->trigger();
    EXPECT_EQ(platform_.Take(), Lines{R"({"kind":"openURL","url":")" + url + "\"}"})
        << Title(action).toStdString();
  }
  Item(Menu(), "IP Address...").trigger();
  Item(Menu(), "Password...").trigger();
  Item(Menu(), "About Hovra Server").trigger();
  EXPECT_TRUE(ui_.Addresses()->isVisible() && ui_.Password()->isVisible() &&
              ui_.About()->isVisible());
  EXPECT_EQ(quits_, 0);
  Item(Menu(), "Quit").trigger();
  EXPECT_EQ(quits_, 1);
}

TEST_F(PanelTest, ShowsAtTheTopRightUnderTheBarAndClosesOnTheFifthTickOrAClick) {
  StartAndShowAddresses();
  ASSERT_TRUE(Panel().isVisible());
  EXPECT_EQ(Panel().Message(), "  192.168.1.5");
  EXPECT_NEAR(Panel().windowOpacity(), 0.9, 1.0 / 255);  // kept in eight bits
  EXPECT_TRUE(Panel().windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(Panel().windowFlags() & Qt::WindowDoesNotAcceptFocus);
  QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(Panel().geometry().topRight(), QPoint(area.right(), area.top()));
  for (int tick = 1; tick <= 5; ++tick) Tick();
  EXPECT_FALSE(Panel().isVisible());

  for (const char* url : {"", "https://example.test/news"}) {
    OfferNotice(*url ? "news" : "plain", url);
    Tick();
    ASSERT_TRUE(Panel().isVisible());
    platform_.Take();
    QTest::mouseClick(&Panel(), Qt::LeftButton);
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_EQ(platform_.Take(),
              *url ? Lines{R"({"kind":"openURL","url":")" + std::string(url) + "\"}"} : Lines{})
        << "a link opens, no link: nothing";
  }
}

TEST_F(PanelTest, DesktopNotificationsServeInsteadWhereTheDesktopHasThem) {
  std::vector<std::string> shown;
  bool serviceThere = true;
  ui_.SetDesktopNotices([&](std::string_view message, std::string_view) {
    if (serviceThere) shown.emplace_back(message);
    return serviceThere;
  });
  StartAndShowAddresses();
  EXPECT_EQ(shown, std::vector<std::string>{"  192.168.1.5\n"});
  EXPECT_FALSE(Panel().isVisible());

  serviceThere = false;  // the service went away: the panel again
  OfferNotice("fallback", "");
  Tick();
  EXPECT_TRUE(Panel().isVisible());
  EXPECT_EQ(Panel().Message(), "fallback");
}

}  // namespace
}  // namespace hovra::testing
