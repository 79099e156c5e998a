// Power commands and notices of the real server on the linux desktop: logind (a dbusmock
// on the private system bus) records power off, restart, suspend and the end of this
// session; a session manager asks before shutting down; notices become one desktop
// notification that the next replaces and that is closed after about five seconds.
#include <gtest/gtest.h>

#include "tests/linux/services/linux_session.h"
#include "tests/support/desktop/bus_client.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

class SessionOnLinux : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!session_.Ready()) GTEST_SKIP() << session_.Missing();
    logind_ = session_.Mock(DbusMockOptions::Template("logind", "org.freedesktop.login1"), true);
    ASSERT_TRUE(logind_->Running());
  }
  void StartServer() {
    server_ = std::make_unique<ServerProcess>(session_.ServerOptions());
    client_ = std::make_unique<SocketClient>(server_->Port());
    ASSERT_TRUE(client_->Connected()) << server_->Stderr();
    client_->ReadUntil("\n");
  }

  LinuxSession session_{false};
  std::unique_ptr<DbusMock> logind_;
  std::unique_ptr<ServerProcess> server_;
  std::unique_ptr<SocketClient> client_;
};

TEST_F(SessionOnLinux, PowerCommandsReachLogindAtTheNextTick) {
  StartServer();
  client_->Send("poweroff\nreboot\nsleep\nlogoff\nshutdown\n");
  // Without a session manager the asking shutdown is logind's interactive power off too.
  EXPECT_TRUE(WaitUntil([&] { return logind_->Calls("PowerOff True") == 2; })) << logind_->Log();
  EXPECT_TRUE(logind_->WaitForLog("Reboot True"));
  EXPECT_TRUE(logind_->WaitForLog("Suspend True"));
  EXPECT_TRUE(logind_->WaitForLog("TerminateSession \"hovra-test\"")) << logind_->Log();
}

TEST_F(SessionOnLinux, ShutdownAsksThroughTheSessionManager) {
  auto gnome = session_.Mock(DbusMockOptions::Object(
      "org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager"));
  ASSERT_TRUE(gnome->Running());
  BusClient bus(session_.SessionBus().Address());
  for (const char* method : {"Shutdown", "Logout"}) {
    ASSERT_TRUE(bus.Call(
        "org.gnome.SessionManager", "/org/gnome/SessionManager", "org.freedesktop.DBus.Mock",
        "AddMethod", g_variant_new("(sssss)", "", method, method[0] == 'L' ? "u" : "", "", "")));
  }
  StartServer();
  client_->Send("shutdown\nlogoff\n");
  EXPECT_TRUE(gnome->WaitForLog("Shutdown")) << gnome->Log();
  EXPECT_TRUE(gnome->WaitForLog("Logout 1"));  // without a second question
  client_->Send("reboot\n");  // the tick after the ones that carried out the two above
  EXPECT_TRUE(logind_->WaitForLog("Reboot True"));
  EXPECT_EQ(logind_->Calls("PowerOff") + logind_->Calls("TerminateSession"), 0u);
}

TEST_F(SessionOnLinux, NoticesAreOneNotificationThatTheNextReplaces) {
  auto daemon = session_.Mock(DbusMockOptions::Template("notification_daemon",
                                                        "org.freedesktop.Notifications",
                                                        R"({"capabilities":"body actions"})"));
  ASSERT_TRUE(daemon->Running());
  StartServer();
  // The address list comes first, on its own; then a client's notice replaces it.
  ASSERT_TRUE(daemon->WaitForLog("Notify \"Hovra Server\" 0")) << daemon->Log();
  client_->Send("Msg||Hello from the phone||https://example.org/a\n");
  EXPECT_TRUE(daemon->WaitForLog(
      "Notify \"Hovra Server\" 1 \"hovra-server\" \"Hovra Server\" \"Hello from the phone\" "
      "[\"default\", \"Open\"]"))
      << daemon->Log();
  EXPECT_TRUE(daemon->WaitForLog("CloseNotification 1")) << "closed after about five seconds";
  EXPECT_EQ(daemon->Calls("Notify"), 2u);
  EXPECT_NE(server_->JournalLines().size(), 0u);
}

}  // namespace
}  // namespace hovra::testing
