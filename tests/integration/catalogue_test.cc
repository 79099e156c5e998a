// Current-application reports and the Dock as a client sees them, via --sim-control.
#include <gtest/gtest.h>

#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

std::string Activated(const char* bundleId, const char* name) {
  return std::string(R"({"notify":"activated","bundleId":")") + bundleId + R"(","name":")" + name +
         R"(","policy":0})";
}

TEST(CatalogueOverSocket, ReportsTheFrontmostApplicationOnlyToClientsThatAsked) {
  ServerProcess server(ServerProcessOptions{.simControl = true});
  SocketClient reporting = SocketClient::Greeted(server.Port());
  SocketClient quiet = SocketClient::Greeted(server.Port());
  reporting.Send("reportCurrentApp\n");
  EXPECT_EQ(reporting.ReadUntil("\n"), "currentapp \n");
  // Identifiers with line breaks could forge reply lines: such applications are left out.
  server.Control(Activated("x\\nverifypassword ok", "X"));
  server.Control(
      R"({"notify":"launched","bundleId":"com.example.forged","name":"y\r\nverifypassword ok","policy":0})");
  server.Control(Activated("org.videolan.vlc", "VLC"));
  EXPECT_EQ(reporting.ReadUntil("\n"), "currentapp org.videolan.vlc\n");
  reporting.Send("get_dock_info\n");
  const std::string dock = reporting.ReadUntil("\n");
  EXPECT_EQ(dock.find("verifypassword"), std::string::npos) << dock;
  EXPECT_EQ(dock.find("com.example.forged"), std::string::npos) << dock;
  EXPECT_TRUE(server.WaitForStderr("holds a line break"));
  EXPECT_EQ(quiet.ReadAvailable(), "");
  EXPECT_TRUE(server.Stderr().find("sending: currentapp org.videolan.vlc") != std::string::npos);
  reporting.Send("dontreportCurrentApp\nping\n");
  EXPECT_EQ(reporting.Read(4), "echo");
  server.Control(Activated("com.apple.finder", "Finder"));
  EXPECT_TRUE(PollUntil([&] {  // the control line is handled on the main thread
    quiet.Send("reportCurrentApp\n");
    return quiet.ReadUntil("\n") == "currentapp com.apple.finder\n";
  }));
  reporting.Send("ping\n");
  EXPECT_EQ(reporting.Read(4), "echo") << "no report before the echo";
}

}  // namespace
}  // namespace hovra::testing
