// The real server's Linux desktop on Xvfb, openbox and real client windows, over a socket.
#include "catalogue/base64.h"
#include "tests/catalogue/catalogue_fixture.h"
#include "tests/linux/workspace/workspace_fixture.h"
#include "tests/support/desktop/private_bus.h"
#include "tests/support/desktop/x_client_window.h"
#include "tests/support/desktop/xvfb_display.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

class ServerDesktopTest : public DesktopTest {
 protected:
  // Nautilus is a favourite but not the default file manager; "gone" is not installed.
  ServerDesktopTest()
      : DesktopTest(
            {"vlc.desktop", "org.gnome.Nautilus.desktop", "gone.desktop", "org.test.Files.desktop",
             "vlc.desktop", "org.test.Viewer.desktop", "org.test.NoIcon.desktop"},
            "Front") {}

  void SetUp() override {
    if (!x_.Running()) GTEST_SKIP() << x_.WhyNot();
    const std::string icons = tree_.DataDir() + "/icons";
    tree_.AddTheme("Front", "Back", {"scalable/apps:Scalable:48:8:512"});
    tree_.AddTheme("Back", "", {"256x256/apps:Fixed:256"});
    tree_.AddSvg(icons + "/Front/scalable/apps/vlc.svg", "#ff0000", 0.5);
    tree_.AddPng(icons + "/Back/256x256/apps/viewer.png", 256, {0, 255, 0, 255});
    tree_.AddEntry("vlc",
                   {{"Name", "VLC media player"}, {"Icon", "vlc"}, {"StartupWMClass", "vlc"}});
    tree_.AddEntry("org.gnome.Nautilus", {{"Name", "Nautilus"}, {"Icon", icons + "/absolute.png"}});
    tree_.AddEntry("org.test.NoIcon", {{"Name", "NoIcon"}, {"Icon", "not-anywhere"}});
    tree_.AddPng(icons + "/absolute.png", 48, {0, 0, 255, 255});
    tree_.AddEntry("org.test.Viewer", {{"Name", "Viewer"},
                                       {"Icon", "viewer.png"},
                                       {"Exec", tree_.Root() + "/recorder.sh org.test.Viewer %U"},
                                       {"MimeType", "text/plain;"}});
    ServerProcessOptions options;
    options.extraArgs = {"--desktop", "linux"};
    options.environment = tree_.Environment();
    options.environment.emplace_back("DISPLAY", x_.Name());
    options.environment.push_back(bus_.Variable());  // and as the system bus: nothing on it
    options.environment.emplace_back("DBUS_SYSTEM_BUS_ADDRESS", bus_.Address());
    server_ = std::make_unique<ServerProcess>(options);
    ASSERT_NE(server_->Port(), 0) << server_->Stderr();
    client_ = std::make_unique<SocketClient>(SocketClient::Greeted(server_->Port()));
  }

  std::string DockInfo() {
    client_->Send("get_dock_info\n");
    return client_->ReadUntil("\n");
  }
  // Changes reach the server through files and the window manager: asks until they show.
  bool DockShows(const std::string& text) {
    return WaitUntil([&] { return DockInfo().find(text) != std::string::npos; }, 10s);
  }

  XvfbDisplay x_{XvfbDisplay::kWithWindowManager};
  PrivateBus bus_{PrivateBus::kSession};
  std::unique_ptr<ServerProcess> server_;
  std::unique_ptr<SocketClient> client_;
};

std::string Entry(const std::string& name, const std::string& id, bool running) {
  return "{\"Name\":\"" + name + "\",\"BundleID\":\"" + id +
         "\",\"Running\":" + (running ? "true" : "false") + "}";
}

// The default file manager first, then the installed favourites, each once.
TEST_F(ServerDesktopTest, DockComesFromFavouritesAndWindowsAndFollowsThem) {
  EXPECT_EQ(DockInfo(), "dock_info [" + Entry("Files", "org.test.Files", false) + "," +
                            Entry("VLC media player", "vlc", false) + "," +
                            Entry("Nautilus", "org.gnome.Nautilus", false) + "," +
                            Entry("Viewer", "org.test.Viewer", false) + "," +
                            Entry("NoIcon", "org.test.NoIcon", false) + "]\n")
      << server_->Stderr();
  client_->Send("reportCurrentApp\n");
  EXPECT_EQ(client_->ReadUntil("\n"), "currentapp \n");
  XClientWindow player(x_.Name(), XClientWindowSpec("vlc", "vlc"));
  EXPECT_EQ(client_->ReadUntil("currentapp vlc\n"), "currentapp vlc\n");
  EXPECT_TRUE(DockShows(Entry("VLC media player", "vlc", true)));
  XClientWindow viewer(x_.Name(), XClientWindowSpec("org.test.Viewer", "viewer"));
  EXPECT_NE(client_->ReadUntil("currentapp org.test.Viewer\n").find("currentapp org.test.Viewer\n"),
            std::string::npos);
  ASSERT_TRUE(x_.Run("wmctrl", {"-i", "-a", player.HexId()}));
  EXPECT_NE(client_->ReadUntil("currentapp vlc\n").find("currentapp vlc\n"), std::string::npos);
  player.Close();
  // A favourite stays in the Dock, no longer running; the running viewer stays a favourite.
  EXPECT_TRUE(DockShows(Entry("VLC media player", "vlc", false)));
  GSettings* settings = g_settings_new("org.gnome.shell");
  const char* next[] = {"org.test.Viewer.desktop", nullptr};
  g_settings_set_strv(settings, "favorite-apps", next);
  g_settings_sync();
  g_object_unref(settings);
  EXPECT_TRUE(DockShows("[" + Entry("Files", "org.test.Files", false) + "," +
                        Entry("Viewer", "org.test.Viewer", true) + "]"))
      << DockInfo();
}

// Icons scaled to 128 pixels with straight alpha: half-transparent red stays full red.
TEST_F(ServerDesktopTest, IconsComeFromBothThemesAndLaunchesRunTheirEntries) {
  DockInfo();  // the catalogue is built
  struct Case {
    const char* id;
    std::array<uint8_t, 4> rgba;
  } cases[] = {{"vlc", {255, 0, 0, 128}},
               {"org.test.Viewer", {0, 255, 0, 255}},
               {"org.gnome.Nautilus", {0, 0, 255, 255}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    client_->Send("get_icon " + std::string(c.id) + "\n");
    const std::string message = client_->ReadUntil("\n");
    const std::string head = "icon " + std::string(c.id) + " png ";
    ASSERT_TRUE(message.starts_with(head) && message.ends_with("\n")) << message.substr(0, 80);
    platform::ImageRepresentation image = DecodePng(catalogue::dataFromBase64String(
        std::string_view(message).substr(head.size(), message.size() - head.size() - 1)));
    ASSERT_EQ(image.pixelsWide, 128);
    const size_t middle = (64 * 128 + 64) * 4;
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(image.rgba[middle + i], c.rgba[i], 1) << i;
  }
  client_->Send("get_icon org.test.NoIcon\nping\n");
  EXPECT_EQ(client_->Read(4), "echo");

  const std::string file = tree_.Root() + "/note.txt";
  WriteFile(file, "hello\n");
  client_->Send("launch org.test.Viewer\nopenfile " + file + "\nopenfile " + tree_.Home() +
                "\nbrowser openurl https://one.example/a?b=c\n");
  // Each program starts on its own: wait for each one's line, not only the last.
  for (const std::string& line : std::vector<std::string>{
           "org.test.Viewer\n", "org.test.Viewer " + file, "org.test.Files " + tree_.Home(),
           "org.test.Browser https://one.example/a?b=c"})
    EXPECT_NE(tree_.WaitForRecord(line).find(line), std::string::npos) << line;
  // One tab: Chrome stays closed while a default browser took the address.
  EXPECT_EQ(ReadFile(tree_.RecordFile()).find("google-chrome"), std::string::npos);
  // The journal still records what was asked.
  auto lines = server_->WaitForJournal(4);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_NE(lines[0].find("\"name\":\"LaunchApp.Dock\""), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("\"name\":\"OpenFile.Finder\""), std::string::npos) << lines[1];
}

}  // namespace
}  // namespace hovra::testing
