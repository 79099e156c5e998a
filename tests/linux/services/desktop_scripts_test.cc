// The Linux script services in this process on a shared hermetic session; the GLib main loop.
#include <gmock/gmock.h>

#include <nlohmann/json.hpp>

#include "platform/linux/loop/glib_main_loop.h"
#include "platform/linux/services/linux_services.h"
#include "tests/linux/services/linux_session.h"
#include "tests/support/desktop/main_loop_cases.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Glib, MainLoopCases, platform::linux_desktop::GlibMainLoop);

namespace {

using platform::Script;
struct FakeApps : platform::linux_desktop::LinuxApps {
  std::string FrontmostAppId() override { return frontmost; }
  std::optional<std::string> InstalledAppFor(std::string_view) override { return std::nullopt; }
  bool Launch(std::string_view) override { return false; }
  bool OpenUri(std::string_view uri) override {
    done.push_back("uri " + std::string(uri));
    return true;
  }
  bool OpenFile(std::string_view) override { return false; }
  std::string frontmost;
  std::vector<std::string> done;
};

// One session for the whole process: GLib reads the XDG folders once.
LinuxSession& Shared() {
  static LinuxSession* session = [] {
    auto* s = new LinuxSession(false);
    if (s->Ready()) s->ApplyToThisProcess();
    return s;
  }();
  return *session;
}

class DesktopScripts : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Shared().Ready()) GTEST_SKIP() << Shared().Missing();
    platform::Services journal;
    platform_.Backend().Provide(journal);
    desktop_ =
        std::make_unique<platform::linux_desktop::LinuxServices>(*journal.scripts, *journal.ui);
    desktop_->UseApps(&apps_);
    desktop_->Start();
  }
  void TearDown() override {
    desktop_.reset();
    while (g_main_context_iteration(nullptr, FALSE)) continue;
  }
  void Run(std::string_view name, std::string_view argument = {}) {
    desktop_->Scripts().Run(Script(name, "source", argument));
  }
  // The keys posted since the last call, as "code d|u".
  std::vector<std::string> Keys() {
    std::vector<std::string> keys;
    for (const std::string& line : platform_.Take()) {
      nlohmann::json event = nlohmann::json::parse(line);
      if (event["kind"] == "key")
        keys.push_back(event["code"].dump() + (event["down"] == true ? " d" : " u"));
    }
    return keys;
  }

  TestPlatform platform_{kPlayersSim};
  FakeApps apps_;
  std::unique_ptr<platform::linux_desktop::LinuxServices> desktop_;
};

TEST_F(DesktopScripts, TheFrontmostApplicationsPlayerIsChosenFirst) {
  auto vlc = Shared().Player("vlc", R"({"DesktopEntry":"vlc","PlaybackStatus":"Paused"})");
  auto spotify = Shared().Player("spotify", R"({"PlaybackStatus":"Playing"})");
  apps_.frontmost = "org.videolan.VLC";  // the Flatpak's id
  Run("MediaNext.VLC");
  Run("MediaNext.Spotify");  // the same command's next script: not carried out again
  EXPECT_EQ(vlc->Calls("Next"), 1u);
  EXPECT_EQ(spotify->Calls("Next"), 0u);  // without a frontmost player: MediaOnLinux
  EXPECT_THAT(platform_.Take(), ::testing::Contains(::testing::HasSubstr("script")).Times(2))
      << "the journal still records every script";
}

TEST_F(DesktopScripts, KeystrokesBecomeTheDesktopsShortcutsAndSlidesGoToImpressOnly) {
  Run("BrowserSearch");
  EXPECT_EQ(Keys(), (std::vector<std::string>{"59 d", "37 d", "37 u", "59 u"}));  // Ctrl+L
  Run("MissionControl");
  EXPECT_EQ(Keys(), (std::vector<std::string>{"55 d", "55 u"}));  // Super: the overview

  auto screensaver =
      Shared().Mock({.name = "org.gnome.ScreenSaver", .templateName = "gnome_screensaver"});
  apps_.frontmost = "org.gnome.TextEditor";
  Run("PPTPgDn.Keynote");
  EXPECT_TRUE(Keys().empty()) << "keys for Impress never go to another application";
  apps_.frontmost = "libreoffice-impress";
  Run("PPTPgDn.Keynote");
  Run("PPTPgDn.PowerPoint");  // the same command: once
  Run("PPTPlay.PowerPoint.Direct");
  EXPECT_EQ(Keys(), (std::vector<std::string>{"121 d", "121 u", "96 d", "96 u"}));
  EXPECT_TRUE(screensaver->WaitForLog("SimulateUserActivity")) << "the show is not hidden";
}

TEST_F(DesktopScripts, TheOverviewAndScreenCaptureUseTheShellWhereItOffersThem) {
  Run("ScreenCapture");  // no portal: the desktop's tool
  EXPECT_TRUE(PollUntil([] { return Shared().RecordedCount("gnome-screenshot") == 1; }));

  const char* kKwin = "org.kde.kglobalaccel";
  const char* kPortal = "org.freedesktop.portal.Desktop";
  auto kwin = Shared().Mock(
      DbusMockOptions::Object(kKwin, "/component/kwin", "org.kde.kglobalaccel.Component"));
  auto portal = Shared().Mock(DbusMockOptions::Object(kPortal, "/org/freedesktop/portal/desktop",
                                                      "org.freedesktop.portal.Screenshot"));
  BusClient bus = Shared().Client();
  ASSERT_TRUE(bus.AddMockMethod(kKwin, "/component/kwin", "invokeShortcut", "s"));
  ASSERT_TRUE(bus.AddMockMethod(kPortal, "/org/freedesktop/portal/desktop", "Screenshot", "sa{sv}",
                                "o", "ret = '/org/freedesktop/portal/desktop/request/1/t'"));
  Run("MissionControl");
  Run("ScreenCapture");
  EXPECT_TRUE(kwin->WaitForLog("invokeShortcut \"Overview\"")) << kwin->Log();
  EXPECT_TRUE(portal->WaitForLog("\"interactive\": False")) << portal->Log();
  EXPECT_TRUE(Keys().empty());
  EXPECT_EQ(Shared().RecordedCount("gnome-screenshot"), 1u);
}

TEST_F(DesktopScripts, ANoticesLinkOpensWhenItsNotificationIsClicked) {
  EXPECT_FALSE(desktop_->Notifier().ServiceReachable()) << "a tray then shows its own panel";
  auto daemon = Shared().Mock({.name = "org.freedesktop.Notifications",
                               .templateName = "notification_daemon",
                               .parameters = R"({"capabilities":"actions"})"});
  EXPECT_TRUE(desktop_->Notifier().ServiceReachable());
  platform::UserInterface& ui = desktop_->Ui();
  ui.ShowNotificationPanel("first <b>", "");
  ui.ShowNotificationPanel("second", "https://example.org/news");  // before the first's reply
  ASSERT_TRUE(SpinUntil([&] { return daemon->Calls("Notify") == 2; })) << daemon->Log();
  EXPECT_TRUE(daemon->WaitForLog("\"Hovra Server\" 1 \"hovra-server\" \"Hovra Server\" \"second\""))
      << "the second replaces the first: " << daemon->Log();
  EXPECT_TRUE(ui.IsNotificationPanelVisible());

  ASSERT_TRUE(Shared().Client().Call(
      "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
      "org.freedesktop.DBus.Mock", "EmitSignal",
      g_variant_new("(sss@av)", "org.freedesktop.Notifications", "ActionInvoked", "us",
                    g_variant_new_parsed("[<uint32 1>, <'default'>]"))));
  EXPECT_TRUE(SpinUntil([&] { return !apps_.done.empty(); }));
  EXPECT_EQ(apps_.done, std::vector<std::string>{"uri https://example.org/news"});
  ui.CloseNotificationPanel();
  EXPECT_TRUE(daemon->WaitForLog("CloseNotification 1"));
  EXPECT_FALSE(ui.IsNotificationPanelVisible());
}

using platform::linux_desktop::GlibMainLoop;

TEST(GlibMainLoop, EndsThroughAGlibSourceAndAQuitBeforeTheRunDropsTheWork) {
  GlibMainLoop loop;
  bool ran = false;
  loop.Post([&] {
    ran = true;
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer l) -> gboolean {
          static_cast<GlibMainLoop*>(l)->Quit();
          return G_SOURCE_REMOVE;
        },
        &loop, nullptr);
  });
  loop.Run();
  EXPECT_TRUE(ran);

  GlibMainLoop early;
  ran = false;
  early.Post([&] { ran = true; });
  early.Quit();
  early.Run();  // returns at once, dropping the work
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace hovra::testing
