// The catalogue as a client sees it: the Dock description, current-application reports
// driven through --sim-control, and notification lines. Icon and folder-listing replies are
// checked whole in tests/catalogue.
#include <gtest/gtest.h>

#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

constexpr char kDockPlist[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>persistent-apps</key><array>
<dict><key>tile-data</key><dict><key>file-label</key><string>VLC</string>
<key>bundle-identifier</key><string>org.videolan.vlc</string></dict></dict>
<dict><key>tile-data</key><dict><key>file-label</key><string>Caf&#233; A/B</string>
<key>bundle-identifier</key><string>com.example.cafe</string></dict></dict>
</array></dict></plist>)";

class CatalogueOverSocket : public ::testing::Test {
 protected:
  CatalogueOverSocket() {
    WriteFile(dir_ / "dock.plist", kDockPlist);
    ServerProcessOptions options;
    options.simJson = R"({"osVersion":"14.2","dockPlist":")" + (dir_ / "dock.plist") + R"(",
        "installed":{"org.videolan.vlc":"/Applications/VLC.app"},
        "running":[{"bundleId":"com.apple.finder","name":"Finder","policy":0}]})";
    options.simControl = true;
    options.fastTimers = true;
    server_ = std::make_unique<ServerProcess>(options);
  }
  SocketClient Connect() { return SocketClient::Greeted(server_->Port()); }
  static std::string Activated(const char* bundleId, const char* name) {
    return std::string(R"({"notify":"activated","bundleId":")") + bundleId + R"(","name":")" +
           name + R"(","policy":0})";
  }

  TempDir dir_;
  std::unique_ptr<ServerProcess> server_;
};

TEST_F(CatalogueOverSocket, DescribesTheDockAndFollowsLaunches) {
  SocketClient client = Connect();
  client.Send("get_dock_info\n");
  EXPECT_EQ(client.ReadUntil("\n"),
            R"(dock_info [{"Name":"Finder","BundleID":"com.apple.finder","Running":true},)"
            R"({"Name":"VLC","BundleID":"org.videolan.vlc","Running":false},)"
            R"({"Name":"Caf\351 A\\/B","BundleID":"com.example.cafe","Running":false}])"
            "\n");
  server_->Control(
      R"({"notify":"launched","bundleId":"com.example.notes","name":"Notes","policy":0})");
  server_->Control(
      R"({"notify":"launched","bundleId":"org.videolan.vlc","name":"VLC","policy":0})");
  const std::string after =
      R"(dock_info [{"Name":"Finder","BundleID":"com.apple.finder","Running":true},)"
      R"({"Name":"VLC","BundleID":"org.videolan.vlc","Running":true},)"
      R"({"Name":"Caf\351 A\\/B","BundleID":"com.example.cafe","Running":false},)"
      R"({"Name":"Notes","BundleID":"com.example.notes","Running":true}])"
      "\n";
  std::string reply;
  EXPECT_TRUE(PollUntil([&] {
    client.Send("get_dock_info\n");
    return (reply = client.ReadUntil("\n")) == after;
  })) << reply;
}

TEST_F(CatalogueOverSocket, ReportsTheFrontmostApplicationOnlyToClientsThatAsked) {
  SocketClient reporting = Connect();
  SocketClient quiet = Connect();
  reporting.Send("reportCurrentApp\n");
  EXPECT_EQ(reporting.ReadUntil("\n"), "currentapp \n");
  server_->Control(Activated("org.videolan.vlc", "VLC"));
  EXPECT_EQ(reporting.ReadUntil("\n"), "currentapp org.videolan.vlc\n");
  EXPECT_EQ(quiet.ReadAvailable(), "");
  EXPECT_TRUE(server_->Stderr().find("sending: currentapp org.videolan.vlc") != std::string::npos);
  reporting.Send("dontreportCurrentApp\nping\n");
  EXPECT_EQ(reporting.Read(4), "echo");
  server_->Control(Activated("com.apple.finder", "Finder"));
  EXPECT_TRUE(PollUntil([&] {  // the control line is handled on the main thread
    quiet.Send("reportCurrentApp\n");
    return quiet.ReadUntil("\n") == "currentapp com.apple.finder\n";
  }));
  reporting.Send("ping\n");
  EXPECT_EQ(reporting.Read(4), "echo") << "no report before the echo";
}

// Each text is shown once; "poweroff", carried out at the tick, shows that a tick passed.
TEST_F(CatalogueOverSocket, ShowsEachNotificationTextOnce) {
  auto shown = [&](std::string_view what) {
    Lines found;
    for (const std::string& line : server_->JournalLines()) {
      if (line.find(what) != std::string::npos) found.push_back(line);
    }
    return found;
  };
  // The address list is shown first; a message offered before it could be replaced by it.
  ASSERT_TRUE(PollUntil([&] { return !server_->JournalLines().empty(); }));
  SocketClient client = Connect();
  client.Send("Msg||Hello||https://example.test/x\n");
  ASSERT_TRUE(PollUntil([&] { return shown(R"("message":"Hello")").size() == 1; }));
  client.Send("Msg||Hello||https://example.test/y\npoweroff\n");
  ASSERT_TRUE(PollUntil([&] { return shown(R"("name":"PowerOff")").size() == 1; }));
  client.Send("Msg||Hi||\n");
  ASSERT_TRUE(PollUntil([&] { return shown(R"("message":"Hi")").size() == 1; }));
  EXPECT_EQ(shown(R"("kind":"notice","message":"H)"),
            (Lines{R"({"kind":"notice","message":"Hello","url":"https://example.test/x"})",
                   R"({"kind":"notice","message":"Hi","url":""})"}));
}

}  // namespace
}  // namespace hovra::testing
