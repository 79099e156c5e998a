// The Dock on Linux: GNOME's favourites, Plasma's launchers, the default
// file manager first; and waking from sleep as logind announces it.
#include "platform/linux/workspace/favourites.h"

#include "platform/linux/workspace/sleep_watch.h"
#include "tests/linux/workspace/workspace_fixture.h"

namespace hovra::testing {
namespace {

using platform::DockItem;
using platform::linux_desktop::DesktopApps;
using platform::linux_desktop::DesktopEntries;
using platform::linux_desktop::DesktopFavourites;
using platform::linux_desktop::FavouritesKind;
using platform::linux_desktop::FavouritesKindOf;
using platform::linux_desktop::LinuxWorkspace;
using platform::linux_desktop::PlasmaLaunchers;
using platform::linux_desktop::SleepWatch;

std::vector<std::string> Ids(const std::optional<std::vector<DockItem>>& items) {
  std::vector<std::string> ids;
  for (const DockItem& item : *items) ids.push_back(item.bundleId.value_or("?"));
  return ids;
}

class GnomeDockTest : public DesktopTest {
 protected:
  // Nautilus is a favourite but not the default file manager; "gone" is not installed.
  GnomeDockTest()
      : DesktopTest({"vlc.desktop", "org.gnome.Nautilus.desktop", "gone.desktop",
                     "org.test.Files.desktop", "vlc.desktop"}) {}
  DesktopEntries entries_;
  DesktopApps apps_{entries_, {}};
};

TEST_F(GnomeDockTest, FileManagerFirstThenInstalledFavouritesOnceOnGnomeOnly) {
  LinuxWorkspace workspace(Recorder(), entries_, apps_, nullptr, FavouritesKind::kGnome);
  auto items = workspace.DockItems();
  ASSERT_TRUE(items);
  EXPECT_EQ(Ids(items), (std::vector<std::string>{"org.test.Files", "vlc", "org.gnome.Nautilus"}));
  EXPECT_EQ((*items)[1].label, "VLC media player");
  EXPECT_EQ(workspace.AppIdForLabel("VLC media player"), "vlc");
  // Other desktops list only the file manager.
  LinuxWorkspace other(Recorder(), entries_, apps_, nullptr, FavouritesKind::kNone);
  EXPECT_EQ(Ids(other.DockItems()), (std::vector<std::string>{"org.test.Files"}));
}

TEST(FavouritesTest, MissingSchemaLeavesTheDockWithoutFavourites) {
  XdgTree tree;
  tree.ApplyToEnvironment();
  ::setenv("GSETTINGS_SCHEMA_DIR", (tree.Root() + "/data").c_str(), 1);  // no schemas there
  DesktopFavourites favourites(FavouritesKind::kGnome, {});
  EXPECT_TRUE(favourites.Ids().empty());
}

TEST(FavouritesTest, DesktopNamesAndPlasmaLaunchers) {
  EXPECT_EQ(FavouritesKindOf("ubuntu:GNOME"), FavouritesKind::kGnome);
  EXPECT_EQ(FavouritesKindOf("KDE"), FavouritesKind::kPlasma);
  EXPECT_EQ(FavouritesKindOf("XFCE"), FavouritesKind::kNone);
  EXPECT_EQ(FavouritesKindOf(""), FavouritesKind::kNone);

  const char* appletsrc =
      "[Containments][1][Applets][3]\nplugin=org.kde.plasma.kickoff\n\n"
      "[Containments][1][Applets][3][Configuration][General]\nlaunchers=applications:no.desktop\n\n"
      "[Containments][2][Applets][5]\nimmutability=1\nplugin=org.kde.plasma.icontasks\n\n"
      "[Containments][2][Applets][5][Configuration][General]\n"
      "launchers=applications:systemsettings.desktop,preferred://filemanager,"
      "file:///opt/x/org.example.Tool.desktop,preferred://browser\n";
  EXPECT_EQ(PlasmaLaunchers(appletsrc),
            (std::vector<std::string>{"systemsettings", "preferred://filemanager",
                                      "org.example.Tool", "preferred://browser"}));
  EXPECT_TRUE(PlasmaLaunchers("[General]\nlaunchers=applications:a.desktop\n").empty());
}

TEST(SleepWatchTest, WakingIsNoticedFromLogindsSignal) {
  GTestDBus* bus = g_test_dbus_new(G_TEST_DBUS_NONE);
  g_test_dbus_up(bus);
  GDBusConnection* logind = g_dbus_connection_new_for_address_sync(
      g_test_dbus_get_bus_address(bus),
      GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                           G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  ASSERT_NE(logind, nullptr);
  GVariant* reply = g_dbus_connection_call_sync(
      logind, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
      "RequestName", g_variant_new("(su)", "org.freedesktop.login1", 0u), nullptr,
      G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
  ASSERT_NE(reply, nullptr);
  g_variant_unref(reply);
  GDBusConnection* listener = g_dbus_connection_new_for_address_sync(
      g_test_dbus_get_bus_address(bus),
      GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                           G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  int woke = 0;
  {
    SleepWatch watch([&] { ++woke; }, listener);
    // A round trip after subscribing: the bus has the match rule once it answers.
    GVariant* id = g_dbus_connection_call_sync(
        listener, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId",
        nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    if (id != nullptr) g_variant_unref(id);
    auto emit = [&](gboolean sleeping) {
      g_dbus_connection_emit_signal(logind, nullptr, "/org/freedesktop/login1",
                                    "org.freedesktop.login1.Manager", "PrepareForSleep",
                                    g_variant_new("(b)", sleeping), nullptr);
      g_dbus_connection_flush_sync(logind, nullptr, nullptr);
    };
    emit(TRUE);   // going to sleep: nothing
    emit(FALSE);  // awake again
    EXPECT_TRUE(SpinUntil([&] { return woke >= 1; }));
    emit(FALSE);  // signals arrive in order: once this one counts, the first TRUE was seen
    EXPECT_TRUE(SpinUntil([&] { return woke >= 2; }));
    EXPECT_EQ(woke, 2);
  }
  g_object_unref(listener);
  g_object_unref(logind);
  g_test_dbus_down(bus);
  g_object_unref(bus);
}

}  // namespace
}  // namespace hovra::testing
