// The Dock's favourites, waking from sleep and the host name.
#include "platform/linux/workspace/favourites.h"

#include "platform/linux/host/linux_host.h"
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

constexpr char kHostnamed[] = "org.freedesktop.hostname1";
constexpr char kPath[] = "/org/freedesktop/hostname1";

TEST(LinuxHostTest, PrettyNameFromHostnamedFollowedWhileItChanges) {
  if (!DbusMock::Available()) GTEST_SKIP() << "python3-dbusmock is not installed";
  PrivateBus system(PrivateBus::kSystem);
  DbusMockOptions options = DbusMockOptions::Object(kHostnamed, kPath, kHostnamed);
  options.bus = system.Address();
  options.system = true;
  DbusMock hostnamed(options);  // a stand-in for systemd-hostnamed
  ASSERT_TRUE(hostnamed.Running());
  BusClient bus(system.Address());
  // The mock's Set signals PropertiesChanged, as hostnamed does.
  auto set = [&](const char* interface, const char* method, const char* name) {
    return bus
        .Call(kHostnamed, kPath, interface, method,
              g_variant_new("(ssv)", kHostnamed, "PrettyHostname", g_variant_new_string(name)))
        .has_value();
  };
  ASSERT_TRUE(set("org.freedesktop.DBus.Mock", "AddProperty", "Joe's Laptop"));
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", system.Address().c_str(), 1);
  LinuxHost host;
  EXPECT_TRUE(SpinUntil([&] { return host.MachineName() == "Joe's Laptop"; }))
      << host.MachineName();
  ASSERT_TRUE(set("org.freedesktop.DBus.Properties", "Set", "Büro"));
  EXPECT_TRUE(SpinUntil([&] { return host.MachineName() == "Büro"; })) << host.MachineName();
  ASSERT_TRUE(set("org.freedesktop.DBus.Properties", "Set", ""));  // unset: the host name
  platform::posix::SystemHost posix;
  EXPECT_TRUE(SpinUntil([&] { return host.MachineName() == posix.MachineName(); }));
}

}  // namespace
}  // namespace hovra::testing
