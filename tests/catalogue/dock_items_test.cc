// A workspace that keeps the Dock's applications itself (a desktop's favourites): listed
// with the rules of property-list tiles, rebuilt when the workspace says the Dock changed.
#include <gtest/gtest.h>

#include "tests/catalogue/catalogue_fixture.h"

namespace hovra::testing {
namespace {

using platform::DockItem;
using platform::RunningApp;
using platform::WorkspaceEvent;
using platform::WorkspaceEventKind;

// The journal's workspace with a Dock list of its own instead of a property list.
class FavouritesWorkspace : public platform::journal::JournalWorkspace {
 public:
  using JournalWorkspace::JournalWorkspace;
  std::string DockPropertyListPath() override { return "/nonexistent/dock.plist"; }
  std::optional<std::vector<DockItem>> DockItems() override { return items; }
  std::vector<DockItem> items;
};

class DockItemsTest : public ::testing::Test {
 protected:
  DockItemsTest()
      : env_(R"({"running":[{"bundleId":"org.example.Player","name":"Player","policy":0},)"
             R"({"bundleId":"org.example.Other","name":"Other","policy":0}]})"),
        workspace_(env_.Platform().Backend().Journal(), env_.Platform().Desktop()) {
    platform::Services services = platform::Current();
    services.workspace = &workspace_;
    platform::Install(services);
    workspace_.items = {{"Files", "org.example.Files"},
                        {"Player", "org.example.Player"},
                        {std::nullopt, "org.example.Nameless"}};
  }
  std::string Text() { return env_.Catalogue().getDockInfoStr().value_or("(absent)"); }

  CatalogueEnvironment env_;
  FavouritesWorkspace workspace_;
};

// An item without a name is left out of the description, as a tile without a label is.
TEST_F(DockItemsTest, ItemsComeFirstInOrderRunningOnesMergeAndChangesRebuild) {
  EXPECT_EQ(Text(), R"([{"Name":"Files","BundleID":"org.example.Files","Running":false},)"
                    R"({"Name":"Player","BundleID":"org.example.Player","Running":true},)"
                    R"({"Name":"Other","BundleID":"org.example.Other","Running":true}])");
  env_.Catalogue().startMonitorDockInfo(nullptr);
  workspace_.items = {{"Other", "org.example.Other"}};
  workspace_.Notify(WorkspaceEvent{WorkspaceEventKind::kDockChanged, std::nullopt});
  EXPECT_EQ(Text(), R"([{"Name":"Other","BundleID":"org.example.Other","Running":true},)"
                    R"({"Name":"Player","BundleID":"org.example.Player","Running":true}])");
  // A Dock item that quits stays, not running; a running one outside the Dock goes.
  workspace_.Notify(
      WorkspaceEvent{WorkspaceEventKind::kTerminated, RunningApp{"org.example.Other", "Other", 0}});
  workspace_.Notify(WorkspaceEvent{WorkspaceEventKind::kTerminated,
                                   RunningApp{"org.example.Player", "Player", 0}});
  EXPECT_EQ(Text(), R"([{"Name":"Other","BundleID":"org.example.Other","Running":false}])");
  env_.Catalogue().stopMonitorDockInfo();
}

}  // namespace
}  // namespace hovra::testing
