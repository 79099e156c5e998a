// The workspace over a fake NSWorkspace: the notifications the catalogue receives, icons
// with straight alpha, and the lookups.
#include "platform/macos/mac_workspace.h"

#include <gtest/gtest.h>

namespace hovra::testing {
namespace {

using platform::RunningApp;
using platform::WorkspaceEvent;
using platform::WorkspaceEventKind;
using platform::macos::AppRecord;
using platform::macos::PremultipliedBitmap;

class FakeWorkspaceCalls : public platform::macos::WorkspaceCalls {
 public:
  std::optional<std::string> PathForApplication(std::string_view id) override {
    asked.emplace_back(id);
    auto found = installed.find(std::string(id));
    return found == installed.end() ? std::nullopt : std::optional(found->second);
  }
  std::vector<AppRecord> RunningApplications() override { return running; }
  void Observe(const std::vector<std::string>& names, Observer o) override {
    observed = names;
    observer = std::move(o);
  }
  void StopObserving() override { observer = nullptr; }
  std::vector<PremultipliedBitmap> IconForFile(std::string_view) override { return icon; }
  bool OpenURL(std::string_view url) override {
    opened.emplace_back(url);
    return true;
  }

  std::map<std::string, std::string> installed;
  std::vector<std::string> asked;
  std::vector<AppRecord> running;
  std::vector<std::string> observed;
  Observer observer;
  std::vector<PremultipliedBitmap> icon;
  std::vector<std::string> opened;
};

const AppRecord kVlc{"org.videolan.vlc", "VLC", 0};
const AppRecord kHelper{std::nullopt, "Helper", 2};

TEST(MacWorkspace, TheFiveNotificationsBecomeTheCataloguesEvents) {
  FakeWorkspaceCalls calls;
  platform::macos::MacWorkspace workspace(calls, "/Users/joe");
  std::vector<WorkspaceEvent> received;
  workspace.SetNotificationHandler([&](const WorkspaceEvent& e) { received.push_back(e); });
  EXPECT_EQ(calls.observed,
            (std::vector<std::string>{"NSWorkspaceDidLaunchApplicationNotification",
                                      "NSWorkspaceDidTerminateApplicationNotification",
                                      "NSWorkspaceDidActivateApplicationNotification",
                                      "NSWorkspaceDidDeactivateApplicationNotification",
                                      "NSWorkspaceDidWakeNotification"}));
  struct Case {
    const char* name;
    const AppRecord* app;
    std::optional<WorkspaceEventKind> kind;  // nothing: not passed on
    std::optional<RunningApp> passed;
  };
  const Case cases[] = {
      {"NSWorkspaceDidLaunchApplicationNotification", &kVlc, WorkspaceEventKind::kLaunched,
       RunningApp{"org.videolan.vlc", "VLC", 0}},
      {"NSWorkspaceDidTerminateApplicationNotification", &kHelper, WorkspaceEventKind::kTerminated,
       RunningApp{"", "Helper", 2}},
      {"NSWorkspaceDidActivateApplicationNotification", nullptr, WorkspaceEventKind::kActivated,
       std::nullopt},
      {"NSWorkspaceDidDeactivateApplicationNotification", &kVlc, WorkspaceEventKind::kDeactivated,
       RunningApp{"org.videolan.vlc", "VLC", 0}},
      {"NSWorkspaceDidWakeNotification", &kVlc, WorkspaceEventKind::kWoke, std::nullopt},
      {"NSWorkspaceDidHideApplicationNotification", &kVlc, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    received.clear();
    calls.observer(c.name, c.app);
    ASSERT_EQ(received.size(), c.kind ? 1u : 0u);
    if (!c.kind) continue;
    EXPECT_EQ(received[0].kind, *c.kind);
    ASSERT_EQ(received[0].app.has_value(), c.passed.has_value());
    if (c.passed) {
      EXPECT_EQ(received[0].app->bundleId, c.passed->bundleId);
      EXPECT_EQ(received[0].app->name, c.passed->name);
      EXPECT_EQ(received[0].app->policy, c.passed->policy);
    }
  }
  workspace.SetNotificationHandler(nullptr);
  EXPECT_FALSE(calls.observer) << "an empty handler stops the observation";
}

TEST(MacWorkspace, IconsArriveWithStraightAlphaAndWithoutRowPadding) {
  FakeWorkspaceCalls calls;
  // 2x1 pixels, 12 bytes a row: half-transparent orange, then a transparent one.
  calls.icon.push_back({2, 1, 12, {64, 32, 0, 128, 0, 0, 0, 0, 9, 9, 9, 9}});
  calls.icon.push_back({1, 1, 4, {10, 20, 30, 255}});
  calls.icon.push_back({4, 4, 16, {1, 2, 3}});  // fewer bytes than it claims: left out
  platform::macos::MacWorkspace workspace(calls, "/Users/joe");
  std::vector<platform::ImageRepresentation> images =
      workspace.IconForFile("/Applications/VLC.app");
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].pixelsWide, 2);
  EXPECT_EQ(images[0].rgba, (std::vector<uint8_t>{128, 64, 0, 128, 0, 0, 0, 0}));
  EXPECT_EQ(images[1].rgba, (std::vector<uint8_t>{10, 20, 30, 255}));
}

TEST(MacWorkspace, LooksUpApplicationsAndTheDockPreferences) {
  FakeWorkspaceCalls calls;
  calls.installed["org.videolan.vlc"] = "/Applications/VLC.app";
  calls.running = {kVlc, kHelper};
  platform::macos::MacWorkspace workspace(calls, "/Users/joe");
  EXPECT_EQ(workspace.AbsolutePathForAppBundle("org.videolan.vlc"), "/Applications/VLC.app");
  EXPECT_EQ(workspace.AbsolutePathForAppBundle("com.example.none"), "");
  EXPECT_EQ(workspace.AbsolutePathForAppBundle(""), "");
  EXPECT_EQ(calls.asked.size(), 2u) << "an empty identifier is never looked up";
  std::vector<RunningApp> apps = workspace.RunningApplications();
  ASSERT_EQ(apps.size(), 2u);
  EXPECT_EQ(apps[1].bundleId, "");
  EXPECT_EQ(apps[1].policy, 2);
  EXPECT_EQ(workspace.DockPropertyListPath(),
            "/Users/joe/Library/Preferences/com.apple.dock.plist");
}

}  // namespace
}  // namespace hovra::testing
