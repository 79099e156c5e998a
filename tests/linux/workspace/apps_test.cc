// Applications on a Linux desktop and their icon themes.
#include "platform/linux/apps/known_apps.h"
#include "platform/linux/icons/icon_theme.h"
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

constexpr std::array<uint8_t, 4> kBlue{0, 0, 255, 255};
constexpr std::array<uint8_t, 4> kGreen{0, 255, 0, 255};

// "Front" inherits "Back", which inherits "Front" again: a loop to survive.
class IconsTest : public DesktopTest {
 protected:
  IconsTest() {
    tree_.AddTheme("Front", "Back",
                   {"32x32/apps:Fixed:32", "48x48/apps:Fixed:48", "128x128/apps:Threshold:128",
                    "256x256/apps:Fixed:256", "scalable/apps:Scalable:16:8:512"});
    tree_.AddTheme("Back", "Front", {"64x64/apps:Fixed:64", "scalable/apps:Scalable:48:8:512"});
    tree_.AddTheme("hicolor", "", {"128x128/apps:Threshold:128", "16x16/apps:Fixed:16"});
    tree_.AddPng(Icons() + "/Front/48x48/apps/alpha.png", 48, kBlue);
    tree_.AddSvg(Icons() + "/Front/scalable/apps/alpha.svg", "#ff0000", 0.5);
    tree_.AddPng(Icons() + "/Front/128x128/apps/exact.png", 128, kBlue);
    tree_.AddPng(Icons() + "/Front/32x32/apps/sizes.png", 32, kBlue);
    tree_.AddPng(Icons() + "/Front/256x256/apps/sizes.png", 256, kBlue);
    tree_.AddPng(Icons() + "/Back/64x64/apps/inherited.png", 64, kGreen);
    tree_.AddPng(Icons() + "/hicolor/16x16/apps/fallback.png", 16, kGreen);
    tree_.AddPng(tree_.DataDir() + "/pixmaps/oldstyle.png", 32, kGreen);
  }
  std::string Icons() const { return tree_.DataDir() + "/icons"; }
};

TEST_F(IconsTest, LookupFollowsMatchingInheritanceAndFallbacks) {
  IconThemes themes(IconFolders::FromEnvironment());
  struct Case {
    const char* name;
    std::optional<std::string> file;
  } cases[] = {
      {"alpha", Icons() + "/Front/scalable/apps/alpha.svg"},  // scalable beats a small PNG
      {"exact", Icons() + "/Front/128x128/apps/exact.png"},
      {"sizes", Icons() + "/Front/256x256/apps/sizes.png"},  // larger before nearer-smaller
      {"inherited", Icons() + "/Back/64x64/apps/inherited.png"},
      {"fallback", Icons() + "/hicolor/16x16/apps/fallback.png"},
      {"oldstyle", tree_.DataDir() + "/pixmaps/oldstyle.png"},
      {"missing", std::nullopt},
      {"../escape", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(themes.Find(c.name, 128, "Front"), c.file);
  }
  // Without the theme, its icons are not found; hicolor's still are.
  EXPECT_EQ(themes.Find("alpha", 128, "NoSuchTheme"), std::nullopt);
  EXPECT_TRUE(themes.Find("fallback", 128, "NoSuchTheme"));
}

}  // namespace
}  // namespace hovra::testing
