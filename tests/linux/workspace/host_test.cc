// The machine's name on Linux: hostnamed's pretty host name where it is set (and while it
// changes), else the POSIX host's answer.
#include "platform/linux/host/linux_host.h"
#include "tests/linux/workspace/workspace_fixture.h"
#include "tests/support/desktop/dbus_mock.h"
#include "tests/support/desktop/private_bus.h"

namespace hovra::testing {
namespace {

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
