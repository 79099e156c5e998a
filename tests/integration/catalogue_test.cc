// The catalogue and the queries as a client sees them: the Dock description, icons,
// folder listings, current-application reports driven through --sim-control, and
// notification lines.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "catalogue/app_icon.h"
#include "catalogue/base64.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kDockPlist[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict><key>persistent-apps</key><array>
<dict><key>tile-data</key><dict><key>file-label</key><string>VLC</string>
<key>bundle-identifier</key><string>org.videolan.vlc</string></dict></dict>
<dict><key>tile-data</key><dict><key>file-label</key><string>Caf&#233; A/B</string>
<key>bundle-identifier</key><string>com.example.cafe</string></dict></dict>
</array></dict></plist>)";

// Sends a notice line to the server's control socket, as the desktop would.
void Notify(const std::string& socketPath, const std::string& line) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  std::string text = line + "\n";
  ASSERT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  ::close(fd);
}

class CatalogueOverSocket : public ::testing::Test {
 protected:
  CatalogueOverSocket() {
    char pattern[] = "/tmp/hovra-cat-XXXXXX";
    dir_ = ::mkdtemp(pattern);
    std::ofstream(dir_ + "/dock.plist") << kDockPlist;
    platform::ImageRepresentation image{128, 128, std::vector<uint8_t>(128 * 128 * 4, 200)};
    std::vector<uint8_t> png = *catalogue::EncodePng(image);
    std::ofstream(dir_ + "/vlc.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    ServerProcessOptions options;
    options.simJson = R"({"osVersion":"14.2","dockPlist":")" + dir_ + R"(/dock.plist",
        "installed":{"org.videolan.vlc":"/Applications/VLC.app"},
        "icons":{"/Applications/VLC.app":[")" +
                      dir_ + R"(/vlc.png"]},
        "running":[{"bundleId":"com.apple.finder","name":"Finder","policy":0}]})";
    options.extraArgs = {"--sim-control", dir_ + "/control.sock"};
    server_ = std::make_unique<ServerProcess>(options);
  }
  ~CatalogueOverSocket() override {
    server_.reset();
    fs::remove_all(dir_);
  }
  SocketClient Connect() {
    SocketClient client(server_->Port());
    client.ReadUntil("\n");
    return client;
  }

  std::string dir_;
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
  Notify(dir_ + "/control.sock",
         R"({"notify":"launched","bundleId":"com.example.notes","name":"Notes","policy":0})");
  Notify(dir_ + "/control.sock",
         R"({"notify":"launched","bundleId":"org.videolan.vlc","name":"VLC","policy":0})");
  std::this_thread::sleep_for(300ms);
  client.Send("get_dock_info\n");
  EXPECT_EQ(client.ReadUntil("\n"),
            R"(dock_info [{"Name":"Finder","BundleID":"com.apple.finder","Running":true},)"
            R"({"Name":"VLC","BundleID":"org.videolan.vlc","Running":true},)"
            R"({"Name":"Caf\351 A\\/B","BundleID":"com.example.cafe","Running":false},)"
            R"({"Name":"Notes","BundleID":"com.example.notes","Running":true}])"
            "\n");
}

TEST_F(CatalogueOverSocket, SendsIconsAsBase64PngAndNothingForUnknownApplications) {
  SocketClient client = Connect();
  client.Send("get_icon com.example.unknown\nget_icon org.videolan.vlc\n");
  std::string reply = client.ReadUntil("\n");
  ASSERT_EQ(reply.rfind("icon org.videolan.vlc png ", 0), 0u) << reply.substr(0, 80);
  std::string base64 = reply.substr(26, reply.size() - 27);
  std::vector<uint8_t> png = catalogue::dataFromBase64String(base64);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
  client.Send("get_icon org.videolan.vlc\n");
  EXPECT_EQ(client.ReadUntil("\n"), reply) << "the message is made once and kept";
}

TEST_F(CatalogueOverSocket, ListsFolders) {
  fs::create_directories(dir_ + "/list/Docs");
  std::ofstream(dir_ + "/list/a.txt") << "x";
  SocketClient client = Connect();
  client.Send("fileexplorer " + dir_ + "/list\nfileexplorer " + dir_ + "/missing\n");
  std::string listing = client.ReadUntil("\n");
  EXPECT_TRUE(listing == "dDocs\rfa.txt\r\n" || listing == "fa.txt\rdDocs\r\n") << listing;
  EXPECT_EQ(client.Read(1), "\n");
}

TEST_F(CatalogueOverSocket, ReportsTheFrontmostApplicationOnlyToClientsThatAsked) {
  SocketClient reporting = Connect();
  SocketClient quiet = Connect();
  reporting.Send("reportCurrentApp\n");
  EXPECT_EQ(reporting.ReadUntil("\n"), "currentapp \n");
  Notify(dir_ + "/control.sock",
         R"({"notify":"activated","bundleId":"org.videolan.vlc","name":"VLC","policy":0})");
  EXPECT_EQ(reporting.ReadUntil("\n"), "currentapp org.videolan.vlc\n");
  EXPECT_EQ(quiet.ReadAvailable(), "");
  EXPECT_TRUE(server_->Stderr().find("sending: currentapp org.videolan.vlc") != std::string::npos);
  reporting.Send("dontreportCurrentApp\nping\n");
  EXPECT_EQ(reporting.Read(4), "echo");
  Notify(dir_ + "/control.sock",
         R"({"notify":"activated","bundleId":"com.apple.finder","name":"Finder","policy":0})");
  EXPECT_EQ(reporting.ReadAvailable(300ms), "");
  quiet.Send("reportCurrentApp\n");
  EXPECT_EQ(quiet.ReadUntil("\n"), "currentapp com.apple.finder\n");
}

TEST_F(CatalogueOverSocket, ShowsEachNotificationTextOnce) {
  auto notices = [&] {
    Lines found;
    for (const std::string& line : server_->JournalLines()) {
      bool hello = line.find(R"("message":"Hello")") != std::string::npos;
      if (hello || line.find(R"("message":"Hi")") != std::string::npos) found.push_back(line);
    }
    return found;
  };
  auto waitFor = [&](size_t count) {
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (notices().size() < count && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(20ms);
    }
  };
  // The address list is shown first; a message offered before it could be replaced by it.
  auto deadline = std::chrono::steady_clock::now() + 10s;
  while (server_->JournalLines().empty() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(20ms);
  }
  SocketClient client = Connect();
  client.Send("Msg||Hello||https://example.test/x\n");
  waitFor(1);  // shown at the next tick
  client.Send("Msg||Hello||https://example.test/y\n");
  std::this_thread::sleep_for(1500ms);  // a tick passes: the repeat must not show
  client.Send("Msg||Hi||\n");
  waitFor(2);
  EXPECT_EQ(notices(),
            (Lines{R"({"kind":"notice","message":"Hello","url":"https://example.test/x"})",
                   R"({"kind":"notice","message":"Hi","url":""})"}));
}

}  // namespace
}  // namespace hovra::testing
