#include <gtest/gtest.h>

#include "tests/catalogue/catalogue_fixture.h"

namespace hovra::testing {
namespace {

using catalogue::SysUtil;
using platform::RunningApp;
using platform::WorkspaceEvent;
using enum platform::WorkspaceEventKind;

class RecordingDelegate : public catalogue::DockInfoListenerDelegate {
 public:
  void onApplicationTerminated() override { calls.push_back("terminated"); }
  void onApplicationLaunch(const std::string& bundleId) override {
    calls.push_back("launch " + bundleId);
  }
  std::vector<std::string> calls;
};

std::string Item(const std::string& name, const std::string& id, bool running) {
  return R"({"Name":")" + name + R"(","BundleID":")" + id + R"(","Running":)" +
         (running ? "true}" : "false}");
}
std::string Safari(bool running) { return Item("Safari", "com.apple.Safari", running); }
std::string Mail(bool running) { return Item("Mail", "com.apple.mail", running); }
std::string Dock(const Lines& items) {
  std::string text = "[";
  for (const std::string& item : items) text += (text.size() > 1 ? "," : "") + item;
  return text + "]";
}

// The Dock holds Safari and Mail; `running` is the simulated desktop's running list.
class CatalogueTest : public ::testing::TestWithParam<PlistForm> {
 protected:
  void Start(const std::vector<Tile>& tiles, const std::string& running = "[]") {
    WriteDockPlist(plist_, tiles, GetParam());
    env_ = std::make_unique<CatalogueEnvironment>(
        R"({"dockPlist":")" + plist_ +
        R"(","installed":{"com.apple.Safari":"/Applications/Safari.app"},)"
        R"("running":)" +
        running + "}");
  }
  void StartMonitoring() { Catalogue().startMonitorDockInfo(&delegate_); }
  SysUtil& Catalogue() { return env_->Catalogue(); }
  catalogue::AppEntry* Find(const std::string& id) { return Catalogue().findAppInfoInDockInfo(id); }
  std::string Text() { return Catalogue().getDockInfoStr().value_or("(absent)"); }
  void Notify(platform::WorkspaceEventKind kind, const std::string& bundleId,
              const std::string& name, int policy = 0) {
    env_->Workspace().Notify(WorkspaceEvent{kind, RunningApp{bundleId, name, policy}});
  }

  TempDir folder_;
  std::string plist_ = folder_ / "com.apple.dock.plist";
  std::unique_ptr<CatalogueEnvironment> env_;
  RecordingDelegate delegate_;
  const std::vector<Tile> dock_ = {{"Safari", "com.apple.Safari"}, {"Mail", "com.apple.mail"}};
};

INSTANTIATE_TEST_SUITE_P(BinaryAndXml, CatalogueTest,
                         ::testing::Values(PlistForm::kBinary, PlistForm::kXml));

// Tiles without label or identifier stay in the list, not the text; non-ASCII in both forms.
TEST_P(CatalogueTest, ListsDockItemsInOrderWithDuplicatesAndMarksOnlyTheFirstRunning) {
  Start({{"Safari", "com.apple.Safari"},
         {std::nullopt, "org.nolabel"},
         {"No id", std::nullopt},
         {"Mail", "com.apple.mail"},
         {"Safari", "com.apple.Safari"},
         {"Caf\xC3\xA9 \xE4\xB8\xAD", "org.cafe"}},
        R"([{"bundleId":"com.apple.Safari","name":"Safari","policy":0}])");
  EXPECT_EQ(Text(), Dock({Safari(true), Mail(false), Safari(false),
                          Item(R"(Caf\351 \u4e2d)", "org.cafe", false)}));
  ASSERT_NE(Find("com.apple.Safari"), nullptr);
  EXPECT_EQ(Find("com.apple.Safari")->filePath, "/Applications/Safari.app");
  EXPECT_EQ(Find("com.apple.mail")->filePath, std::nullopt);
  EXPECT_EQ(Find("com.apple.safari"), nullptr);  // case matters
  EXPECT_NE(Find("org.nolabel"), nullptr);
}

// A quit Dock item stays, not running; each quit of a regular listed application is told.
TEST_P(CatalogueTest, PutsARunningFinderFirstAndKeepsQuitDockItemsNotRunning) {
  Start(dock_, R"([{"bundleId":"org.other","name":"Other","policy":1},)"
               R"({"bundleId":"com.apple.finder","name":"Finder","policy":0},)"
               R"({"bundleId":"com.apple.mail","name":"Mail","policy":0}])");
  StartMonitoring();
  EXPECT_EQ(Text(), Dock({Item("Finder", "com.apple.finder", true), Safari(false), Mail(true)}));
  Notify(kTerminated, "com.apple.finder", "Finder");
  Notify(kTerminated, "com.apple.mail", "Mail");
  Notify(kTerminated, "com.apple.mail", "Mail");
  EXPECT_EQ(Text(), Dock({Item("Finder", "com.apple.finder", false), Safari(false), Mail(false)}));
  Notify(kLaunched, "com.apple.finder", "Finder");
  EXPECT_EQ(Text(), Dock({Item("Finder", "com.apple.finder", true), Safari(false), Mail(false)}));
  Notify(kTerminated, "org.unknown", "Unknown");
  Notify(kTerminated, "com.apple.Safari", "Safari", 1);
  EXPECT_EQ(delegate_.calls,
            (Lines{"terminated", "terminated", "terminated", "launch com.apple.finder"}));
}

TEST_P(CatalogueTest, ActivationReportsFirstAndRebuildsTheTextOnlyWhenTheListChanged) {
  Start(dock_, R"([{"bundleId":"com.apple.mail","name":"Mail","policy":0}])");
  StartMonitoring();
  Find("com.apple.mail")->name = "Renamed";  // shows a rebuild
  Notify(kActivated, "com.apple.mail", "Mail");
  EXPECT_EQ(Text(), Dock({Safari(false), Mail(true)}));
  Notify(kActivated, "com.apple.Safari", "Safari");
  EXPECT_EQ(Text(), Dock({Safari(true), Item("Renamed", "com.apple.mail", true)}));
  Notify(kActivated, "org.agent", "Agent", 1);
  Notify(kActivated, "", "No identifier");
  EXPECT_EQ(delegate_.calls, (Lines{"launch com.apple.mail", "launch com.apple.Safari"}));
}

// Half a second after deactivation, one that stopped being regular goes (a Dock item stays,
// not running); a non-regular application's deactivation removes it at once.
TEST_P(CatalogueTest, RemovesAnApplicationThatStopsBeingRegularAfterDeactivation) {
  Start(dock_, R"([{"bundleId":"org.videolan.vlc","name":"VLC","policy":0},)"
               R"({"bundleId":"com.apple.mail","name":"Mail","policy":0},)"
               R"({"bundleId":"org.notes","name":"Notes","policy":0}])");
  StartMonitoring();
  for (const char* id : {"org.videolan.vlc", "com.apple.mail", "org.notes"})
    Notify(kDeactivated, id, "");
  // Two turn into accessory applications without telling the catalogue.
  for (const char* id : {"org.videolan.vlc", "com.apple.mail"})
    env_->Platform().Desktop().ApplyNotice(WorkspaceEvent{kActivated, RunningApp{id, "", 1}});
  env_->Platform().MainQueue().Advance(499ms);
  EXPECT_NE(Find("org.videolan.vlc"), nullptr);
  EXPECT_TRUE(delegate_.calls.empty());
  env_->Platform().MainQueue().Advance(1ms);
  EXPECT_EQ(Text(), Dock({Safari(false), Mail(false), Item("Notes", "org.notes", true)}));
  Notify(kDeactivated, "org.notes", "Notes", 2);
  EXPECT_EQ(Find("org.notes"), nullptr);
  EXPECT_EQ(delegate_.calls, (Lines{"terminated", "terminated", "terminated"}));
}

TEST_P(CatalogueTest, RebuildsFromTheDockAfterWakingAndDropsCachedIcons) {
  Start(dock_, R"([{"bundleId":"org.videolan.vlc","name":"VLC","policy":0}])");
  StartMonitoring();
  Find("com.apple.mail")->icon = "icon cached\n";
  WriteDockPlist(plist_, {{"Mail", "com.apple.mail"}}, GetParam());
  env_->Workspace().Notify(WorkspaceEvent{kWoke, std::nullopt});
  EXPECT_NE(Find("com.apple.Safari"), nullptr);  // not yet: posted
  env_->Platform().MainQueue().RunPending();
  EXPECT_EQ(Text(), Dock({Mail(false), Item("VLC", "org.videolan.vlc", true)}));
  EXPECT_EQ(Find("com.apple.mail")->icon, std::nullopt);
}

TEST_P(CatalogueTest, IgnoresNotificationsOnceMonitoringStops) {
  Start(dock_, R"([{"bundleId":"org.videolan.vlc","name":"VLC","policy":0}])");
  StartMonitoring();
  Notify(kDeactivated, "org.videolan.vlc", "VLC");  // queues a check
  Catalogue().stopMonitorDockInfo();
  Notify(kLaunched, "com.apple.Notes", "Notes");
  EXPECT_EQ(Find("com.apple.Notes"), nullptr);
  // The check queued before the stop still keeps the list right, but tells no one.
  env_->Platform().Desktop().ApplyNotice(
      WorkspaceEvent{kActivated, RunningApp{"org.videolan.vlc", "VLC", 1}});
  env_->Platform().MainQueue().Advance(500ms);
  EXPECT_EQ(Text(), Dock({Safari(false), Mail(false)}));
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

// No Dock file, or one that is not a property list.
TEST(CatalogueWithoutDock, HasNoDescriptionAndLaunchesNothing) {
  TempDir folder;
  WriteFile(folder / "dock.plist", "not a property list");
  for (const std::string& plist : {folder / "dock.plist", folder / "missing.plist"}) {
    CatalogueEnvironment env(R"({"dockPlist":")" + plist +
                             R"(","running":[{"bundleId":"com.apple.finder","name":"Finder"}]})");
    SysUtil& catalogue = env.Catalogue();
    EXPECT_EQ(catalogue.getDockInfo(), std::nullopt);
    RecordingDelegate delegate;
    catalogue.startMonitorDockInfo(&delegate);
    env.Workspace().Notify(WorkspaceEvent{kLaunched, RunningApp{"org.videolan.vlc", "VLC", 0}});
    catalogue.launchApp("com.apple.finder");
    EXPECT_EQ(catalogue.getDockInfoStr(), std::nullopt);
    EXPECT_EQ(catalogue.findAppInfoInDockInfo("com.apple.finder"), nullptr);
    EXPECT_TRUE(env.Platform().Take().empty());
    EXPECT_EQ(delegate.calls, (Lines{"launch org.videolan.vlc"}));
  }
}

using platform::DockItem;

// The journal's workspace with a Dock list of its own instead of a property list.
class FavouritesWorkspace : public platform::journal::JournalWorkspace {
 public:
  using JournalWorkspace::JournalWorkspace;
  std::string DockPropertyListPath() override { return "/nonexistent/dock.plist"; }
  std::optional<std::vector<DockItem>> DockItems() override { return items; }
  std::vector<DockItem> items;
};

// An item without a name is left out of the description, as a tile without a label is.
TEST(DockItemsTest, ItemsComeFirstInOrderRunningOnesMergeAndChangesRebuild) {
  CatalogueEnvironment env(
      R"({"running":[{"bundleId":"org.example.Player","name":"Player",)"
      R"("policy":0},{"bundleId":"org.example.Other","name":"Other","policy":0}]})");
  FavouritesWorkspace workspace(env.Platform().Backend().Journal(), env.Platform().Desktop());
  platform::Services services = platform::Current();
  services.workspace = &workspace;
  platform::Install(services);
  workspace.items = {{"Files", "org.example.Files"},
                     {"Player", "org.example.Player"},
                     {std::nullopt, "org.example.Nameless"}};
  auto Text = [&] { return env.Catalogue().getDockInfoStr().value_or("(absent)"); };
  EXPECT_EQ(Text(), Dock({Item("Files", "org.example.Files", false),
                          Item("Player", "org.example.Player", true),
                          Item("Other", "org.example.Other", true)}));
  env.Catalogue().startMonitorDockInfo(nullptr);
  workspace.items = {{"Other", "org.example.Other"}};
  workspace.Notify(WorkspaceEvent{kDockChanged, std::nullopt});
  EXPECT_EQ(Text(), Dock({Item("Other", "org.example.Other", true),
                          Item("Player", "org.example.Player", true)}));
  // A Dock item that quits stays, not running; a running one outside the Dock goes.
  workspace.Notify(WorkspaceEvent{kTerminated, RunningApp{"org.example.Other", "Other", 0}});
  workspace.Notify(WorkspaceEvent{kTerminated, RunningApp{"org.example.Player", "Player", 0}});
  EXPECT_EQ(Text(), Dock({Item("Other", "org.example.Other", false)}));
  env.Catalogue().stopMonitorDockInfo();
}

}  // namespace
}  // namespace hovra::testing
