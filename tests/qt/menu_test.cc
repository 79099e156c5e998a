// The status menu's items (layout, "Auto Start": tray_dbus_test.cc) and the notification
// panel (the count of its ticks: AppDelegateTest).
#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include "app/product_links.h"
#include "server/notice_hand_over.h"
#include "tests/qt/tray_fixture.h"

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

class MenuTest : public TrayFixture {
 protected:
  void SetUp() override {
    StartDelegate();
    ASSERT_NE(ui_.Menu(), nullptr);
  }
  QMenu& Menu() { return *ui_.Menu(); }
  QMenu& Apps(const QString& platform) {
    return *Item(*Item(Menu(), "Taplume apps").menu(), platform).menu();
  }
};

TEST_F(MenuTest, LinksMailWindowsAndQuit) {
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

class PanelTest : public TrayFixture {
 protected:
  platform::qt::NotificationPanel& Panel() { return ui_.Panel(); }
  // Started, with the start-up notice shown by the first tick and its journal line taken.
  void StartAndShowAddresses() {
    StartDelegate();
    platform_.Take();
    Tick();
  }
};

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
