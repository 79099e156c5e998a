// Applications on a Linux desktop: which entry stands for a macOS application, the
// installed check, launching, and opening addresses and files with their handlers.
#include "platform/linux/apps/app_scripts.h"
#include "platform/linux/apps/known_apps.h"
#include "tests/linux/workspace/workspace_fixture.h"

namespace hovra::testing {
namespace {

using platform::linux_desktop::AppScripts;
using platform::linux_desktop::DesktopApps;
using platform::linux_desktop::DesktopEntries;
using platform::linux_desktop::FavouritesKind;
using platform::linux_desktop::LinuxWorkspace;

class AppsTest : public DesktopTest {
 protected:
  DesktopEntries entries_;
  DesktopApps apps_{entries_, {}};
};

TEST_F(AppsTest, MacIdentifiersFindTheirLinuxStandInsAndTheirDesktopFiles) {
  LinuxWorkspace workspace(Recorder(), entries_, apps_, nullptr, FavouritesKind::kNone);
  struct Case {
    const char* bundleId;
    std::optional<std::string> desktopId;
  } cases[] = {
      {"org.videolan.vlc", "vlc"},                   // native id
      {"com.spotify.client", "com.spotify.Client"},  // only the Flatpak is installed
      {"com.apple.finder", "org.test.Files"},        // the default file manager, not Nautilus
      {"com.apple.Safari", "org.test.Browser"},      // the default browser
      {"com.google.Chrome", "google-chrome"},
      {"com.apple.iTunes", std::nullopt},     // no music player installed
      {"org.example.unknown", std::nullopt},  // not in the table
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bundleId);
    EXPECT_EQ(apps_.InstalledAppFor(c.bundleId), c.desktopId);
    EXPECT_EQ(workspace.AbsolutePathForAppBundle(c.bundleId),
              c.desktopId ? tree_.DataDir() + "/applications/" + *c.desktopId + ".desktop" : "");
  }
  EXPECT_EQ(workspace.AbsolutePathForAppBundle("vlc"),
            tree_.DataDir() + "/applications/vlc.desktop");
  // A desktop without favourites lists only the file manager in the Dock.
  ASSERT_TRUE(workspace.DockItems());
  ASSERT_EQ(workspace.DockItems()->size(), 1u);
  EXPECT_EQ((*workspace.DockItems())[0].bundleId, "org.test.Files");
}

TEST_F(AppsTest, ScriptsAreRecordedThenCarriedOutByName) {
  LinuxWorkspace workspace(Recorder(), entries_, apps_, nullptr, FavouritesKind::kNone);
  AppScripts scripts(RecorderScripts(), apps_,
                     [&](std::string_view label) { return workspace.AppIdForLabel(label); });
  scripts.Run(platform::Script("LaunchApp.Dock", "click UI element \"Viewer\"", "Viewer"));
  scripts.Run(platform::Script("BrowserNewURL.Safari", "open location", "https://one.example/"));
  scripts.Run(platform::Script("BrowserNewURL.Chrome", "open location", "https://one.example/"));
  scripts.Run(platform::Script("OpenFile.Finder", "open POSIX file", tree_.Home()));
  scripts.Run(platform::Script("VolumeUp", "set volume"));
  EXPECT_FALSE(apps_.Launch("no.such.app"));
  EXPECT_FALSE(apps_.OpenFile(tree_.Root() + "/missing.txt"));
  EXPECT_TRUE(apps_.OpenUri("https://two.example/a?b=c"));

  // Three programs start on their own: wait for each one's line, not only the last asked for.
  tree_.WaitForRecord("org.test.Viewer\n");
  tree_.WaitForRecord("org.test.Browser https://one.example/");
  tree_.WaitForRecord("org.test.Browser https://two.example/a?b=c");
  std::string record = tree_.WaitForRecord("org.test.Files");
  EXPECT_NE(record.find("org.test.Viewer\n"), std::string::npos) << record;
  EXPECT_NE(record.find("org.test.Files " + tree_.Home()), std::string::npos) << record;
  // One tab: Chrome stays closed while a default browser took the address.
  EXPECT_NE(record.find("org.test.Browser https://one.example/"), std::string::npos) << record;
  EXPECT_EQ(record.find("google-chrome"), std::string::npos) << record;
  std::vector<std::string> lines = JournalLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_NE(lines[0].find("\"name\":\"LaunchApp.Dock\""), std::string::npos);
  EXPECT_NE(lines[4].find("\"name\":\"VolumeUp\""), std::string::npos);
}

}  // namespace
}  // namespace hovra::testing
