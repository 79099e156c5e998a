// The notification panel (the count of its ticks is AppDelegateTest's).
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "server/notice_hand_over.h"
#include "tests/qt/tray_fixture.h"

namespace hovra::testing {
namespace {

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
