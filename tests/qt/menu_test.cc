// The status icon and its menu, read back from Qt's menu model: titles, order, separators,
// submenus, the "Auto Start" mark as the menu opens, and what each item does.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <filesystem>

#include "app/login_items.h"
#include "app/product_links.h"
#include "app/shell_commands.h"
#include "tests/qt/tray_fixture.h"

namespace hovra::testing {
namespace {

// One line per item: "-" for a separator, "title >" for an item holding a submenu,
// "[x] title" / "[ ] title" for an item with a check mark.
QStringList Describe(QMenu& menu) {
  QStringList lines;
  for (QAction* action : menu.actions()) {
    QString title = action->text().replace("&&", "&");
    if (action->isSeparator()) {
      lines << "-";
    } else if (action->menu() != nullptr) {
      lines << title + " >";
    } else if (action->isCheckable()) {
      lines << (action->isChecked() ? "[x] " : "[ ] ") + title;
    } else {
      lines << title;
    }
  }
  return lines;
}

QAction* Find(QMenu& menu, const QString& title) {
  for (QAction* action : menu.actions()) {
    if (action->text().replace("&&", "&") == title) return action;
  }
  return nullptr;
}

QMenu& Sub(QMenu& menu, const QString& title) {
  QAction* holder = Find(menu, title);
  EXPECT_TRUE(holder && holder->menu()) << title.toStdString();
  return *holder->menu();
}

void Open(QMenu& menu) { Q_EMIT menu.aboutToShow(); }

class MenuTest : public TrayFixture {
 protected:
  QMenu& Menu() {
    EXPECT_NE(ui_.Menu(), nullptr);
    return *ui_.Menu();
  }
  std::string OpenedBy(const QString& title, QMenu* in = nullptr) {
    platform_.Take();
    QAction* action = Find(in ? *in : Menu(), title);
    if (action == nullptr) return "(no item " + title.toStdString() + ")";
    action->trigger();
    Lines lines = platform_.Take();
    return lines.size() == 1 ? lines[0] : "(" + std::to_string(lines.size()) + " lines)";
  }
  static std::string OpenUrlLine(const std::string& url) {
    return R"({"kind":"openURL","url":")" + url + "\"}";
  }
};

TEST_F(MenuTest, IconAndMenuHoldEveryItemInOrder) {
  StartDelegate();
  ASSERT_NE(ui_.TrayIcon(), nullptr);
  EXPECT_EQ(ui_.TrayIcon()->toolTip(), "Hovra Server");
  EXPECT_FALSE(ui_.TrayIcon()->icon().isNull());
  EXPECT_EQ(ui_.TrayIcon()->contextMenu(), ui_.Menu());
  Open(Menu());
  EXPECT_EQ(Describe(Menu()),
            (QStringList{"[ ] Auto Start", "Check update", "IP Address...", "-", "Password...", "-",
                         "Taplume apps >", "-", "Our Website", "Our Facebook", "Mail To Us",
                         "About Hovra Server", "-", "Quit"}));
  QMenu& apps = Sub(Menu(), "Taplume apps");
  EXPECT_EQ(Describe(apps), (QStringList{"Android >", "iPhone & iPod Touch >", "iPad >"}));
  EXPECT_EQ(Describe(Sub(apps, "Android")), (QStringList{"Taplume Pro", "Taplume"}));
  EXPECT_EQ(Describe(Sub(apps, "iPhone & iPod Touch")), (QStringList{"Taplume Pro", "Taplume"}));
  EXPECT_EQ(Describe(Sub(apps, "iPad")), (QStringList{"Taplume HD", "Taplume HD Free"}));
}

TEST_F(MenuTest, AutoStartTogglesTheEntryAndTheMarkFollowsTheFolderAsTheMenuOpens) {
  StartDelegate();
  namespace fs = std::filesystem;
  fs::path autostart = fs::path(dir_) / "xdg/autostart";
  auto entries = [&] {
    std::error_code ec;
    return std::distance(fs::directory_iterator(autostart, ec), fs::directory_iterator());
  };
  QAction* autoStart = Menu().actions().front();
  Open(Menu());
  EXPECT_FALSE(autoStart->isChecked());

  autoStart->trigger();
  EXPECT_TRUE(autoStart->isChecked());
  EXPECT_EQ(entries(), 1);
  EXPECT_TRUE(delegate_->IsAutoRun());

  // Another process removes the entry while the tray runs: the next opening shows it.
  fs::remove_all(autostart);
  EXPECT_TRUE(autoStart->isChecked()) << "not refreshed until the menu opens";
  Open(Menu());
  EXPECT_FALSE(autoStart->isChecked());

  // The command line and the tray's toggle act on the same entry.
  app::LoginItems items = app::LoginItems::ForCurrentUser();
  autoStart->trigger();
  EXPECT_TRUE(items.isAutoRun());
  ASSERT_EQ(app::RunAutostartCommand("off", items), app::kExitOk);
  EXPECT_FALSE(autoStart->isChecked()) << "the command's toggle sets the mark too";
  EXPECT_EQ(entries(), 0);
}

TEST_F(MenuTest, LinksMailWindowsAndQuit) {
  StartDelegate();
  QMenu& apps = Sub(Menu(), "Taplume apps");
  struct LinkCase {
    QMenu* menu;
    const char* title;
    const char* url;
  } links[] = {
      {&Sub(apps, "Android"), "Taplume Pro", app::kAndroidTaplumeProUrl},
      {&Sub(apps, "Android"), "Taplume", app::kAndroidTaplumeUrl},
      {&Sub(apps, "iPhone & iPod Touch"), "Taplume Pro", app::kIosTaplumeProUrl},
      {&Sub(apps, "iPhone & iPod Touch"), "Taplume", app::kIosTaplumeUrl},
      {&Sub(apps, "iPad"), "Taplume HD", app::kIosTaplumeHdUrl},
      {&Sub(apps, "iPad"), "Taplume HD Free", app::kIosTaplumeHdFreeUrl},
      {&Menu(), "Our Website", app::kWebsiteUrl},
      {&Menu(), "Our Facebook", app::kFacebookUrl},
      {&Menu(), "Mail To Us", "mailto:support@hovra.example?subject=Taplume%20Support"},
  };
  for (const LinkCase& link : links) {
    EXPECT_EQ(OpenedBy(link.title, link.menu), OpenUrlLine(link.url)) << link.title;
  }

  Find(Menu(), "IP Address...")->trigger();
  EXPECT_TRUE(ui_.Addresses() && ui_.Addresses()->isVisible());
  Find(Menu(), "Password...")->trigger();
  EXPECT_TRUE(ui_.Password() && ui_.Password()->isVisible());
  Find(Menu(), "About Hovra Server")->trigger();
  EXPECT_TRUE(ui_.About() && ui_.About()->isVisible());
  EXPECT_EQ(quits_, 0);
  Find(Menu(), "Quit")->trigger();
  EXPECT_EQ(quits_, 1);
}

}  // namespace
}  // namespace hovra::testing
