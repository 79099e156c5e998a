// Reports only to clients that asked; replies backing up at one client delay no other.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

std::string Activated(const std::string& bundleId, const std::string& name) {
  return R"({"notify":"activated","bundleId":")" + bundleId + R"(","name":")" + name +
         R"(","policy":0})";
}

TEST(OtherClients, ClientsThatStopReadingDoNotDelayAReader) {
  TempDir folder;  // its listing is about 60 KB: 300 entries of "f", 197 bytes and "\r"
  for (int i = 0; i < 300; ++i)
    WriteFile(folder.path() / (std::to_string(1000 + i) + std::string(193, 'n')), "");
  const std::string listing = "fileexplorer " + folder.path().string() + "\n";
  ServerProcess server(ServerProcessOptions{.simControl = true});
  ASSERT_NE(server.Port(), 0) << server.Stderr();

  // Five clients ask for reports and a few listings, then stop reading.
  std::vector<std::unique_ptr<SocketClient>> reporters;
  for (int i = 0; i < 5; ++i) {
    reporters.push_back(std::make_unique<SocketClient>(server.Port()));
    reporters.back()->ShrinkReceiveBuffer();
    std::string asks = "reportCurrentApp\n";
    for (int j = 0; j < 20; ++j) asks += listing;
    reporters.back()->Send(asks);
  }
  // One asks for far more than it will ever read (12 MB).
  SocketClient hog(server.Port());
  hog.ShrinkReceiveBuffer();
  std::string asks;
  for (int i = 0; i < 200; ++i) asks += listing;
  std::thread asking([&] { hog.Send(asks); });

  SocketClient reader = SocketClient::Greeted(server.Port());
  // Every application switch is reported to the five that stopped reading.
  for (int i = 0; i < 10; ++i)
    server.Control(Activated("com.example.app" + std::to_string(i), "App"));
  for (int i = 0; i < 40; ++i) {
    ASSERT_TRUE(reader.Send("ping\n"));
    ASSERT_EQ(reader.Read(4, 10s), "echo") << "ping " << i;
  }
  reader.Send("get_dock_info\n");
  EXPECT_EQ(reader.ReadUntil("\n", 5s).rfind("dock_info ", 0), 0u);

  // Its requests wait once its replies back up; taking none of them, it is closed, and
  // that is logged (looked at before its socket is read, which would make it a reader).
  EXPECT_TRUE(server.WaitForStderr("has taken none of its replies", 30s));
  EXPECT_TRUE(hog.WaitForClose(30s));
  asking.join();
  EXPECT_TRUE(server.Running());
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
