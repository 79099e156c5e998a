// What each status menu item does (its layout and "Auto Start": tray_dbus_test.cc).
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "app/product_links.h"
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

}  // namespace
}  // namespace hovra::testing
