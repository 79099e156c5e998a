// The machine's name on Linux: hostnamed's pretty host name where it is set (and while it
// changes), else the POSIX host's answer.
#include "platform/linux/host/linux_host.h"
#include "tests/linux/workspace/workspace_fixture.h"

namespace hovra::testing {
namespace {

constexpr char kIntrospection[] =
    "<node><interface name='org.freedesktop.hostname1'>"
    "<property name='PrettyHostname' type='s' access='read'/>"
    "</interface></node>";

// A stand-in for systemd-hostnamed on a private bus used as the system bus.
class FakeHostnamed {
 public:
  explicit FakeHostnamed(GDBusConnection* bus) : bus_(bus) {
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    static const GDBusInterfaceVTable kVTable{nullptr, GetProperty, nullptr, {}};
    id_ = g_dbus_connection_register_object(bus_, "/org/freedesktop/hostname1", node->interfaces[0],
                                            &kVTable, this, nullptr, nullptr);
    g_dbus_node_info_unref(node);
    GVariant* reply = g_dbus_connection_call_sync(
        bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "RequestName", g_variant_new("(su)", "org.freedesktop.hostname1", 0u), nullptr,
        G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    if (reply != nullptr) g_variant_unref(reply);
  }
  ~FakeHostnamed() { g_dbus_connection_unregister_object(bus_, id_); }

  void SetPrettyName(const std::string& name) {
    pretty_ = name;
    GVariantBuilder changed;
    g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&changed, "{sv}", "PrettyHostname", g_variant_new_string(name.c_str()));
    g_dbus_connection_emit_signal(
        bus_, nullptr, "/org/freedesktop/hostname1", "org.freedesktop.DBus.Properties",
        "PropertiesChanged",
        g_variant_new("(sa{sv}as)", "org.freedesktop.hostname1", &changed, nullptr), nullptr);
  }

 private:
  static GVariant* GetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                               const gchar*, GError**, gpointer self) {
    return g_variant_new_string(static_cast<FakeHostnamed*>(self)->pretty_.c_str());
  }

  GDBusConnection* bus_;
  guint id_ = 0;
  std::string pretty_ = "Joe's Laptop";
};

TEST(LinuxHostTest, PrettyNameFromHostnamedFollowedWhileItChanges) {
  GTestDBus* bus = g_test_dbus_new(G_TEST_DBUS_NONE);
  g_test_dbus_up(bus);
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", g_test_dbus_get_bus_address(bus), 1);
  GDBusConnection* connection = g_bus_get_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr);
  ASSERT_NE(connection, nullptr);
  {
    FakeHostnamed hostnamed(connection);
    platform::linux_desktop::LinuxHost host;
    EXPECT_TRUE(SpinUntil([&] { return host.MachineName() == "Joe's Laptop"; }))
        << host.MachineName();
    hostnamed.SetPrettyName("Büro");
    EXPECT_TRUE(SpinUntil([&] { return host.MachineName() == "Büro"; })) << host.MachineName();
    hostnamed.SetPrettyName("");  // unset: the host name
    platform::posix::SystemHost posix;
    EXPECT_TRUE(SpinUntil([&] { return host.MachineName() == posix.MachineName(); }));
  }
  g_object_unref(connection);
  g_test_dbus_down(bus);
  g_object_unref(bus);
}

}  // namespace
}  // namespace hovra::testing
