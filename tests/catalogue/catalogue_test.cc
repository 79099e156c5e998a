#include <gtest/gtest.h>

#include "catalogue/sys_util.h"
#include "tests/catalogue/catalogue_fixture.h"

namespace hovra::testing {
namespace {

using catalogue::SysUtil;
using platform::RunningApp;
using platform::WorkspaceEvent;
using platform::WorkspaceEventKind;

class RecordingDelegate : public catalogue::DockInfoListenerDelegate {
 public:
  void onApplicationTerminated() override { calls.push_back("terminated"); }
  void onApplicationLaunch(const std::string& bundleId) override {
    calls.push_back("launch " + bundleId);
  }
  std::vector<std::string> calls;
};

constexpr const char* kSafari = R"({"Name":"Safari","BundleID":"com.apple.Safari","Running":)";
constexpr const char* kMail = R"({"Name":"Mail","BundleID":"com.apple.mail","Running":)";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The Dock holds Safari and Mail; `running` is the simulated desktop's running list.
class CatalogueTest : public ::testing::TestWithParam<PlistForm> {
 protected:
  void Start(const std::vector<Tile>& tiles, const std::string& running = "[]") {
    WriteDockPlist(plist_, tiles, GetParam());
    env_ = std::make_unique<CatalogueEnvironment>(
        R"({"dockPlist":)" + Quoted(plist_) +
        R"(,"installed":{"com.apple.Safari":"/Applications/Safari.app"},)"
        R"("running":)" +
        running + "}");
  }
  void StartMonitoring() { Catalogue().startMonitorDockInfo(&delegate_); }
  SysUtil& Catalogue() { return env_->Catalogue(); }
  std::string Text() { return Catalogue().getDockInfoStr().value_or("(absent)"); }
  void Notify(WorkspaceEventKind kind, const std::string& bundleId, const std::string& name,
              int policy = 0) {
    env_->Workspace().Notify(WorkspaceEvent{kind, RunningApp{bundleId, name, policy}});
  }

  TempFolder folder_;
  std::string plist_ = folder_ / "com.apple.dock.plist";
  std::unique_ptr<CatalogueEnvironment> env_;
  RecordingDelegate delegate_;
  const std::vector<Tile> dock_ = {{"Safari", "com.apple.Safari"}, {"Mail", "com.apple.mail"}};
};

INSTANTIATE_TEST_SUITE_P(BinaryAndXml, CatalogueTest,
                         ::testing::Values(PlistForm::kBinary, PlistForm::kXml));

TEST_P(CatalogueTest, ListsDockItemsInOrderWithDuplicatesAndMarksOnlyTheFirstRunning) {
  Start(
      {{"Safari", "com.apple.Safari"}, {"Mail", "com.apple.mail"}, {"Safari", "com.apple.Safari"}},
      R"([{"bundleId":"com.apple.Safari","name":"Safari","policy":0}])");
  EXPECT_EQ(Text(),
            "[" + std::string(kSafari) + "true}," + kMail + "false}," + kSafari + "false}]");
  const catalogue::AppEntry* safari = Catalogue().findAppInfoInDockInfo("com.apple.Safari");
  ASSERT_NE(safari, nullptr);
  EXPECT_EQ(safari->filePath, "/Applications/Safari.app");
  EXPECT_EQ(Catalogue().findAppInfoInDockInfo("com.apple.mail")->filePath, std::nullopt);
  EXPECT_EQ(Catalogue().findAppInfoInDockInfo("com.apple.safari"), nullptr);  // case matters
}

TEST_P(CatalogueTest, EscapesNamesFromThePropertyList) {
  // Binary property lists keep non-ASCII text as UTF-16, XML ones as UTF-8.
  Start({{"Caf\xC3\xA9 \xE4\xB8\xAD", "org.cafe"}, {"AC/DC \"Live\"", "org.acdc"}});
  EXPECT_EQ(Text(), R"([{"Name":"Caf\351 \u4e2d","BundleID":"org.cafe","Running":false},)"
                    R"({"Name":"AC\\/DC \\"Live\\"","BundleID":"org.acdc","Running":false}])");
}

TEST_P(CatalogueTest, SkipsTilesWithoutLabelOrIdentifierButKeepsTheRest) {
  Start({{std::nullopt, "org.nolabel"}, {"No id", std::nullopt}, {"Mail", "com.apple.mail"}});
  EXPECT_EQ(Text(), "[" + std::string(kMail) + "false}]");
  EXPECT_NE(Catalogue().findAppInfoInDockInfo("org.nolabel"), nullptr);  // still in the list
}

TEST_P(CatalogueTest, PutsARunningFinderFirstAndKeepsItWhenItQuits) {
  Start(dock_, R"([{"bundleId":"org.other","name":"Other","policy":1},)"
               R"({"bundleId":"com.apple.finder","name":"Finder","policy":0}])");
  StartMonitoring();
  const std::string finder = R"({"Name":"Finder","BundleID":"com.apple.finder","Running":)";
  EXPECT_EQ(Text(), "[" + finder + "true}," + kSafari + "false}," + kMail + "false}]");
  Notify(WorkspaceEventKind::kTerminated, "com.apple.finder", "Finder");
  EXPECT_EQ(Text(), "[" + finder + "false}," + kSafari + "false}," + kMail + "false}]");
  Notify(WorkspaceEventKind::kLaunched, "com.apple.finder", "Finder");
  EXPECT_EQ(Text(), "[" + finder + "true}," + kSafari + "false}," + kMail + "false}]");
  EXPECT_EQ(delegate_.calls, (Lines{"terminated", "launch com.apple.finder"}));
}

TEST_P(CatalogueTest, AppendsARunningApplicationAndRemovesItWhenItQuits) {
  Start(dock_);
  StartMonitoring();
  const std::string vlc = R"({"Name":"VLC","BundleID":"org.videolan.vlc","Running":true})";
  const std::string notes = R"({"Name":"Notes","BundleID":"com.apple.Notes","Running":true})";
  Notify(WorkspaceEventKind::kLaunched, "org.videolan.vlc", "VLC");
  Notify(WorkspaceEventKind::kLaunched, "com.apple.Notes", "Notes");
  EXPECT_EQ(Text(),
            "[" + std::string(kSafari) + "false}," + kMail + "false}," + vlc + "," + notes + "]");
  Notify(WorkspaceEventKind::kTerminated, "org.videolan.vlc", "VLC");
  EXPECT_EQ(Text(), "[" + std::string(kSafari) + "false}," + kMail + "false}," + notes + "]");
  Notify(WorkspaceEventKind::kLaunched, "org.videolan.vlc", "VLC");
  EXPECT_EQ(Text(),
            "[" + std::string(kSafari) + "false}," + kMail + "false}," + notes + "," + vlc + "]");
  EXPECT_EQ(delegate_.calls, (Lines{"launch org.videolan.vlc", "launch com.apple.Notes",
                                    "terminated", "launch org.videolan.vlc"}));
}

TEST_P(CatalogueTest, KeepsAQuitDockItemNotRunningAndStillReportsEachQuit) {
  Start(dock_, R"([{"bundleId":"com.apple.mail","name":"Mail","policy":0}])");
  StartMonitoring();
  EXPECT_EQ(Text(), "[" + std::string(kSafari) + "false}," + kMail + "true}]");
  Notify(WorkspaceEventKind::kTerminated, "com.apple.mail", "Mail");
  Notify(WorkspaceEventKind::kTerminated, "com.apple.mail", "Mail");
  EXPECT_EQ(Text(), "[" + std::string(kSafari) + "false}," + kMail + "false}]");
  EXPECT_EQ(delegate_.calls, (Lines{"terminated", "terminated"}));
  // Not in the list, or not regular: nothing to report.
  Notify(WorkspaceEventKind::kTerminated, "org.unknown", "Unknown");
  Notify(WorkspaceEventKind::kTerminated, "com.apple.Safari", "Safari", 1);
  EXPECT_EQ(delegate_.calls.size(), 2u);
}

TEST_P(CatalogueTest, ActivationReportsFirstAndRebuildsTheTextOnlyWhenTheListChanged) {
  Start(dock_, R"([{"bundleId":"com.apple.mail","name":"Mail","policy":0}])");
  StartMonitoring();
  Catalogue().findAppInfoInDockInfo("com.apple.mail")->name = "Renamed";  // shows a rebuild
  Notify(WorkspaceEventKind::kActivated, "com.apple.mail", "Mail");
  EXPECT_EQ(Text(), "[" + std::string(kSafari) + "false}," + kMail + "true}]");
  Notify(WorkspaceEventKind::kActivated, "com.apple.Safari", "Safari");
  EXPECT_EQ(Text(), R"([{"Name":"Safari","BundleID":"com.apple.Safari","Running":true},)"
                    R"({"Name":"Renamed","BundleID":"com.apple.mail","Running":true}])");
  Notify(WorkspaceEventKind::kActivated, "org.agent", "Agent", 1);
  Notify(WorkspaceEventKind::kActivated, "", "No identifier");
  EXPECT_EQ(delegate_.calls, (Lines{"launch com.apple.mail", "launch com.apple.Safari"}));
}

TEST_P(CatalogueTest, RemovesAnApplicationThatStopsBeingRegularAfterDeactivation) {
  Start(dock_, R"([{"bundleId":"org.videolan.vlc","name":"VLC","policy":0},)"
               R"({"bundleId":"com.apple.mail","name":"Mail","policy":0}])");
  StartMonitoring();
  Notify(WorkspaceEventKind::kDeactivated, "org.videolan.vlc", "VLC");
  Notify(WorkspaceEventKind::kDeactivated, "com.apple.mail", "Mail");
  // Both turn into accessory applications without telling the catalogue.
  for (const char* id : {"org.videolan.vlc", "com.apple.mail"}) {
    env_->Platform().Desktop().ApplyNotice(
        WorkspaceEvent{WorkspaceEventKind::kActivated, RunningApp{id, "", 1}});
  }
  env_->Platform().MainQueue().Advance(std::chrono::milliseconds(499));
  EXPECT_NE(Catalogue().findAppInfoInDockInfo("org.videolan.vlc"), nullptr);
  EXPECT_TRUE(delegate_.calls.empty());
  env_->Platform().MainQueue().Advance(std::chrono::milliseconds(1));
  EXPECT_EQ(Text(), "[" + std::string(kSafari) + "false}," + kMail + "false}]");
  EXPECT_EQ(delegate_.calls, (Lines{"terminated", "terminated"}));
}

TEST_P(CatalogueTest, KeepsAnApplicationThatStaysRegularAfterDeactivation) {
  Start(dock_, R"([{"bundleId":"org.videolan.vlc","name":"VLC","policy":0}])");
  StartMonitoring();
  Notify(WorkspaceEventKind::kDeactivated, "org.videolan.vlc", "VLC");
  env_->Platform().MainQueue().Advance(std::chrono::milliseconds(500));
  EXPECT_NE(Catalogue().findAppInfoInDockInfo("org.videolan.vlc"), nullptr);
  // A non-regular application's deactivation removes it at once.
  Notify(WorkspaceEventKind::kDeactivated, "org.videolan.vlc", "VLC", 2);
  EXPECT_EQ(Catalogue().findAppInfoInDockInfo("org.videolan.vlc"), nullptr);
  EXPECT_EQ(delegate_.calls, (Lines{"terminated"}));
}

TEST_P(CatalogueTest, RebuildsFromTheDockAfterWakingAndDropsCachedIcons) {
  Start(dock_, R"([{"bundleId":"org.videolan.vlc","name":"VLC","policy":0}])");
  StartMonitoring();
  Catalogue().findAppInfoInDockInfo("com.apple.mail")->icon = "icon cached\n";
  WriteDockPlist(plist_, {{"Mail", "com.apple.mail"}}, GetParam());
  env_->Workspace().Notify(WorkspaceEvent{WorkspaceEventKind::kWoke, std::nullopt});
  EXPECT_NE(Catalogue().findAppInfoInDockInfo("com.apple.Safari"), nullptr);  // not yet: posted
  env_->Platform().MainQueue().RunPending();
  EXPECT_EQ(Text(), "[" + std::string(kMail) +
                        R"(false},{"Name":"VLC","BundleID":"org.videolan.vlc","Running":true}])");
  EXPECT_EQ(Catalogue().findAppInfoInDockInfo("com.apple.mail")->icon, std::nullopt);
}

TEST_P(CatalogueTest, IgnoresNotificationsOnceMonitoringStops) {
  Start(dock_, R"([{"bundleId":"org.videolan.vlc","name":"VLC","policy":0}])");
  StartMonitoring();
  Notify(WorkspaceEventKind::kDeactivated, "org.videolan.vlc", "VLC");  // queues a check
  Catalogue().stopMonitorDockInfo();
  Notify(WorkspaceEventKind::kLaunched, "com.apple.Notes", "Notes");
  EXPECT_EQ(Catalogue().findAppInfoInDockInfo("com.apple.Notes"), nullptr);
  // The check queued before the stop still keeps the list right, but tells no one.
  env_->Platform().Desktop().ApplyNotice(
      WorkspaceEvent{WorkspaceEventKind::kActivated, RunningApp{"org.videolan.vlc", "VLC", 1}});
  env_->Platform().MainQueue().Advance(std::chrono::milliseconds(500));
  EXPECT_EQ(Text(), "[" + std::string(kSafari) + "false}," + kMail + "false}]");
  EXPECT_TRUE(delegate_.calls.empty());
}

TEST_P(CatalogueTest, LaunchesThroughTheDockItemWithTheNameQuoted) {
  Start({{"My \"Q\" \\ App", "org.q"}}, R"([{"bundleId":"org.other","name":"Other","policy":0}])");
  Catalogue().getDockInfo();
  env_->Platform().Take();
  Catalogue().launchApp("org.q");
  Catalogue().launchApp("org.missing");
  EXPECT_EQ(
      env_->Platform().Take(),
      (Lines{
          R"({"kind":"script","name":"LaunchApp.Dock","source":"tell application \"System Events\"\n)"
          R"(tell process \"Dock\"\nclick UI element \"My \\\"Q\\\" \\\\ App\" of list 1\nend tell\nend tell"})"}));
}

TEST(CatalogueWithoutDock, HasNoDescriptionAndLaunchesNothing) {
  CatalogueEnvironment env(
      R"({"dockPlist":"/nonexistent/com.apple.dock.plist",)"
      R"("running":[{"bundleId":"com.apple.finder","name":"Finder","policy":0}]})");
  SysUtil& catalogue = env.Catalogue();
  EXPECT_EQ(catalogue.getDockInfoStr(), std::nullopt);
  EXPECT_EQ(catalogue.getDockInfo(), std::nullopt);
  RecordingDelegate delegate;
  catalogue.startMonitorDockInfo(&delegate);
  env.Workspace().Notify(
      WorkspaceEvent{WorkspaceEventKind::kLaunched, RunningApp{"org.videolan.vlc", "VLC", 0}});
  catalogue.launchApp("com.apple.finder");
  EXPECT_EQ(catalogue.getDockInfoStr(), std::nullopt);
  EXPECT_EQ(catalogue.findAppInfoInDockInfo("com.apple.finder"), nullptr);
  EXPECT_TRUE(env.Platform().Take().empty());
  EXPECT_EQ(delegate.calls, (Lines{"launch org.videolan.vlc"}));
}

TEST(CatalogueWithoutDock, TreatsAFileThatIsNotAPropertyListAsNoDock) {
  TempFolder folder;
  WriteFile(folder / "dock.plist", "not a property list");
  CatalogueEnvironment env(R"({"dockPlist":")" + (folder / "dock.plist") + "\"}");
  EXPECT_EQ(env.Catalogue().getDockInfoStr(), std::nullopt);
}

}  // namespace
}  // namespace hovra::testing
