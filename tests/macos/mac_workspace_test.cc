// The workspace over a fake NSWorkspace: the catalogue's notifications, straight-alpha icons.
#include "platform/macos/mac_workspace.h"

#include <gtest/gtest.h>

namespace hovra::testing {
namespace {

using platform::RunningApp;
using platform::WorkspaceEvent;
using platform::WorkspaceEventKind;
using platform::macos::AppRecord;
using platform::macos::PremultipliedBitmap;

struct FakeWorkspaceCalls : platform::macos::WorkspaceCalls {
  std::optional<std::string> PathForApplication(std::string_view) override { return {}; }
  std::vector<AppRecord> RunningApplications() override { return {}; }
  void Observe(const std::vector<std::string>& names, Observer o) override {
    observed = names;
    observer = std::move(o);
  }
  void StopObserving() override { observer = nullptr; }
  std::vector<PremultipliedBitmap> IconForFile(std::string_view) override { return icon; }
  bool OpenURL(std::string_view) override { return true; }

  std::vector<std::string> observed;
  Observer observer;
  std::vector<PremultipliedBitmap> icon;
};

const AppRecord kVlc{"org.videolan.vlc", "VLC", 0};
const AppRecord kHelper{std::nullopt, "Helper", 2};  // no bundle identifier, prohibited

TEST(MacWorkspace, TheFiveNotificationsBecomeTheCataloguesEvents) {
  FakeWorkspaceCalls calls;
  platform::macos::MacWorkspace workspace(calls, "/Users/joe");
  std::vector<WorkspaceEvent> received;
  workspace.SetNotificationHandler([&](const WorkspaceEvent& e) { received.push_back(e); });
  const std::string prefix = "NSWorkspaceDid";
  struct Case {
    std::string name;
    const AppRecord* app;
    std::optional<WorkspaceEventKind> kind;  // nothing: not passed on
    const char* passed = "no application";
  };
  const Case cases[] = {
      {prefix + "LaunchApplicationNotification", &kVlc, WorkspaceEventKind::kLaunched,
       "org.videolan.vlc/VLC/0"},
      {prefix + "TerminateApplicationNotification", &kHelper, WorkspaceEventKind::kTerminated,
       "/Helper/2"},
      {prefix + "ActivateApplicationNotification", nullptr, WorkspaceEventKind::kActivated},
      {prefix + "DeactivateApplicationNotification", &kVlc, WorkspaceEventKind::kDeactivated,
       "org.videolan.vlc/VLC/0"},
      {prefix + "WakeNotification", &kVlc, WorkspaceEventKind::kWoke},
      {prefix + "HideApplicationNotification", &kVlc, {}},
  };
  std::vector<std::string> passedOn;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.kind) passedOn.push_back(c.name);
    received.clear();
    calls.observer(c.name, c.app);
    ASSERT_EQ(received.size(), c.kind ? 1u : 0u);
    if (!c.kind) continue;
    EXPECT_EQ(received[0].kind, *c.kind);
    const std::optional<RunningApp>& app = received[0].app;
    EXPECT_EQ(app ? app->bundleId + "/" + app->name + "/" + std::to_string(app->policy)
                  : "no application",
              c.passed);
  }
  EXPECT_EQ(calls.observed, passedOn) << "observed are exactly those passed on";
  workspace.SetNotificationHandler(nullptr);
  EXPECT_FALSE(calls.observer) << "an empty handler stops the observation";
}

TEST(MacWorkspace, IconsArriveWithStraightAlphaAndWithoutRowPadding) {
  FakeWorkspaceCalls calls;
  // 2x1 pixels in 12-byte rows: half-transparent orange, then a transparent one.
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

}  // namespace
}  // namespace hovra::testing
