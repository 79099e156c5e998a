// Applications on a Linux desktop: which entry stands for a macOS application, and what
// cannot be launched or opened (the server-level tests launch and open the rest).
#include "platform/linux/apps/known_apps.h"
#include "tests/linux/workspace/workspace_fixture.h"

namespace hovra::testing {
namespace {

using AppsTest = DesktopTest;

TEST_F(AppsTest, MacIdentifiersFindTheirLinuxStandInsAndTheirDesktopFiles) {
  DesktopEntries entries;
  DesktopApps apps(entries, {});
  LinuxWorkspace workspace(Recorder(), entries, apps, nullptr, FavouritesKind::kNone);
  struct Case {
    const char* bundleId;
    std::optional<std::string> desktopId;
  } cases[] = {
      {"org.videolan.vlc", "vlc"},                   // native id
      {"com.spotify.client", "com.spotify.Client"},  // only the Flatpak is installed
      {"com.apple.finder", "org.test.Files"},        // the default file manager, not Nautilus
      {"com.apple.Safari", "org.test.Browser"},      // the default browser
      {"com.apple.iTunes", std::nullopt},            // no music player installed
      {"org.example.unknown", std::nullopt},         // not in the table
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bundleId);
    EXPECT_EQ(apps.InstalledAppFor(c.bundleId), c.desktopId);
    EXPECT_EQ(workspace.AbsolutePathForAppBundle(c.bundleId),
              c.desktopId ? tree_.DataDir() + "/applications/" + *c.desktopId + ".desktop" : "");
  }
  EXPECT_EQ(workspace.AbsolutePathForAppBundle("vlc"),
            tree_.DataDir() + "/applications/vlc.desktop");
  // A desktop without favourites lists only the file manager in the Dock.
  ASSERT_TRUE(workspace.DockItems());
  ASSERT_EQ(workspace.DockItems()->size(), 1u);
  EXPECT_EQ((*workspace.DockItems())[0].bundleId, "org.test.Files");
  EXPECT_FALSE(apps.Launch("no.such.app"));
  EXPECT_FALSE(apps.OpenFile(tree_.Root() + "/missing.txt"));
}

}  // namespace
}  // namespace hovra::testing
