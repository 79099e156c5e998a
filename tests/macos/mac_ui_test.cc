// The status item, its menu and the notification panel, over a fake AppKit.
#include "platform/macos/mac_ui.h"

#include <gtest/gtest.h>

#include "tests/macos/fake_quartz.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {
namespace {

using platform::macos::MenuCommand;
using platform::macos::MenuItem;

struct FakeStatusUi : platform::macos::StatusUiCalls {
  void InstallStatusItem(std::span<const MenuItem> items, std::string_view image,
                         std::string_view tip, std::function<void(MenuCommand)> picked,
                         std::function<void()> opens) override {
    menu = items;
    imageName = image;
    toolTip = tip;
    chosen = std::move(picked);
    willOpen = std::move(opens);
  }
  void SetItemState(MenuCommand command, bool on) override { states.push_back({command, on}); }
  double MenuBarThickness() override { return 24; }
  double PanelWidth() override { return 320; }
  void ShowPanel(std::string_view message, double left, double top, double alpha,
                 std::function<void()> clicked) override {
    panel = std::string(message) + " at " + std::to_string(int(left)) + "," +
            std::to_string(int(top)) + " alpha " + std::to_string(alpha).substr(0, 3);
    click = std::move(clicked);
  }
  void ClosePanel() override { panel.clear(); }
  bool PanelVisible() override { return !panel.empty(); }
  void ShowTextWindow(std::string_view) override {}
  int RunAlert(std::string_view, std::string_view, const std::vector<std::string_view>&) override {
    return 1000;
  }

  std::span<const MenuItem> menu;
  std::string imageName, toolTip, panel;
  std::function<void(MenuCommand)> chosen;
  std::function<void()> willOpen, click;
  std::vector<std::pair<MenuCommand, bool>> states;
};

struct MacUi : ::testing::Test {
  MacUi() { quartz_.displays = {{1, {{0, 0}, {1440, 900}}}}; }
  TestPlatform platform_;
  FakeQuartz quartz_;
  FakeStatusUi appKit_;
  platform::macos::MacUserInterface ui_{appKit_, quartz_, platform::GetWorkspace(),
                                        platform::GetMainQueue()};
};

TEST_F(MacUi, TheMenuReportsItsPicksAndShowsTheAutoStartStateWhenItOpens) {
  std::vector<MenuCommand> picked;
  bool autoRun = false;
  ui_.Install([&](MenuCommand c) { picked.push_back(c); }, [&] { return autoRun; });
  ASSERT_FALSE(appKit_.menu.empty());
  EXPECT_EQ(appKit_.menu[0].title, "Auto Start") << "found by its position";
  EXPECT_EQ(appKit_.menu[0].command, MenuCommand::kAutoStart);
  EXPECT_EQ(appKit_.imageName, "icon20");
  EXPECT_EQ(appKit_.toolTip, "Hovra Server");
  appKit_.chosen(MenuCommand::kQuit);
  EXPECT_EQ(picked, std::vector<MenuCommand>{MenuCommand::kQuit});
  appKit_.willOpen();
  autoRun = true;
  appKit_.willOpen();
  EXPECT_EQ(appKit_.states,
            (std::vector<std::pair<MenuCommand, bool>>{{MenuCommand::kAutoStart, false},
                                                       {MenuCommand::kAutoStart, true}}));
}

TEST_F(MacUi, ThePanelSitsUnderTheRightEndOfTheMenuBarAndOpensItsLinkWhenClicked) {
  ui_.ShowNotificationPanel("  192.168.1.5\n", "http://www.hovra.example/");
  EXPECT_EQ(appKit_.panel, "  192.168.1.5\n at 1120,876 alpha 0.9");
  EXPECT_TRUE(ui_.IsNotificationPanelVisible());
  platform_.Take();
  appKit_.click();
  EXPECT_EQ(platform_.Take(), Lines({R"({"kind":"openURL","url":"http://www.hovra.example/"})"}));

  ui_.ShowNotificationPanel("hello", "");
  appKit_.click();
  EXPECT_EQ(platform_.Take(), Lines{}) << "no link: the click only closes it";
  ui_.CloseNotificationPanel();
  EXPECT_FALSE(ui_.IsNotificationPanelVisible());
}

}  // namespace
}  // namespace hovra::testing
