// The Dock's favourites on Linux: which desktop keeps them, GNOME's schema missing, Plasma's
// launchers; and waking from sleep as logind announces it.
#include "platform/linux/workspace/favourites.h"

#include "platform/linux/workspace/sleep_watch.h"
#include "tests/linux/workspace/workspace_fixture.h"
#include "tests/support/desktop/dbus_mock.h"
#include "tests/support/desktop/private_bus.h"

namespace hovra::testing {
namespace {

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
  PrivateBus bus(PrivateBus::kSystem);
  ASSERT_TRUE(bus.Running());
  BusClient logind(bus.Address()), listener(bus.Address());
  ASSERT_TRUE(logind.Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                          "RequestName", g_variant_new("(su)", "org.freedesktop.login1", 0u)));
  int woke = 0;
  SleepWatch watch([&] { ++woke; }, listener.Connection());
  // A round trip after subscribing: the bus has the match rule once it answers.
  listener.HasOwner("org.freedesktop.login1");
  auto emit = [&](gboolean sleeping) {
    g_dbus_connection_emit_signal(logind.Connection(), nullptr, "/org/freedesktop/login1",
                                  "org.freedesktop.login1.Manager", "PrepareForSleep",
                                  g_variant_new("(b)", sleeping), nullptr);
    g_dbus_connection_flush_sync(logind.Connection(), nullptr, nullptr);
  };
  emit(TRUE);   // going to sleep: nothing
  emit(FALSE);  // awake again
  EXPECT_TRUE(SpinUntil([&] { return woke >= 1; }));
  emit(FALSE);  // signals arrive in order: once this one counts, the first TRUE was seen
  EXPECT_TRUE(SpinUntil([&] { return woke >= 2; }));
  EXPECT_EQ(woke, 2);
}

}  // namespace
}  // namespace hovra::testing
