// The real binary's status icon under Xvfb, with a StatusNotifierWatcher of the test's own
// on a private session bus: the item registers, its menu is read through DBusMenu
// (GetLayout), and clicks on "Auto Start" and "Quit" do what they say.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>

#include "tests/qt/session_bus.h"
#include "tests/support/server_process.h"
#include "tests/x11/xvfb_display.h"

namespace hovra::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr char kPython[] = "/usr/bin/python3";  // Debian's, with python3-dbus and python3-gi
const std::string kWatcherScript = std::string(HOVRA_QT_TEST_DIR) + "/sni_watcher.py";

// A DBusMenu label as a host shows it: "_x" marks a mnemonic, "__" is an underscore.
std::string Shown(const std::string& label) {
  std::string text;
  for (size_t i = 0; i < label.size(); ++i) {
    if (label[i] == '_' && i + 1 < label.size()) ++i;
    text += label[i];
  }
  return text;
}

// One line per item, as the menu test of the window model writes them.
std::vector<std::string> Describe(const nlohmann::json& menu) {
  std::vector<std::string> lines;
  for (const auto& item : menu["children"]) {
    std::string title = Shown(item["label"]);
    if (item["type"] == "separator") {
      lines.push_back("-");
    } else if (item["children-display"] == "submenu") {
      lines.push_back(title + " >");
    } else if (item["toggle-type"] == "checkmark") {
      lines.push_back((item["toggle-state"] == 1 ? "[x] " : "[ ] ") + title);
    } else {
      lines.push_back(title);
    }
  }
  return lines;
}

const nlohmann::json& Child(const nlohmann::json& menu, const std::string& title) {
  for (const auto& item : menu["children"]) {
    if (Shown(item["label"]) == title) return item;
  }
  static const nlohmann::json none = {{"children", nlohmann::json::array()}};
  ADD_FAILURE() << "no item " << title;
  return none;
}

class TrayOverDBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XvfbDisplay::Available()) GTEST_SKIP() << "Xvfb is not installed (xvfb)";
    if (!PrivateSessionBus::Available()) GTEST_SKIP() << "dbus-daemon is not installed (dbus)";
    if (std::system("/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null") != 0) {
      GTEST_SKIP() << "the fake watcher needs python3-dbus and python3-gi";
    }
    char pattern[] = "/tmp/hovra-sni-XXXXXX";
    dir_ = ::mkdtemp(pattern);
    display_ = std::make_unique<XvfbDisplay>();
    ASSERT_TRUE(display_->Running());
    bus_ = std::make_unique<PrivateSessionBus>();
    ASSERT_FALSE(bus_->Address().empty());
    // The server and the helpers inherit these; nothing reaches the tester's own desktop.
    ::setenv("DISPLAY", display_->Name().c_str(), 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus_->Address().c_str(), 1);
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("XDG_SESSION_TYPE");
  }
  void TearDown() override {
    server_.reset();
    watcher_.reset();
    bus_.reset();
    display_.reset();
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  void StartWatcher() {
    watcher_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{kPython, kWatcherScript, "watch"}, dir_ + "/watcher.out");
    ASSERT_TRUE(watcher_->WaitForOutput("ready\n", 10s)) << watcher_->Output();
  }
  void StartServer(const std::string& ui) {
    ServerProcessOptions options;
    options.extraArgs = {"--input", "journal", "--desktop", "journal", "--ui", ui};
    server_ = std::make_unique<ServerProcess>(options);
    ASSERT_NE(server_->Port(), 0) << server_->Stderr();
  }
  // The bus name of the item that registered with the watcher.
  std::string WaitForItem() {
    if (!watcher_->WaitForOutput("item ", 10s)) return "";
    std::string out = watcher_->Output();
    size_t at = out.find("item ") + 5;
    return out.substr(at, out.find('\n', at) - at);
  }
  nlohmann::json Layout(const std::string& item) {
    std::string out = RunForOutput({kPython, kWatcherScript, "layout", item});
    return nlohmann::json::parse(out, nullptr, /*allow_exceptions=*/false);
  }
  void Click(const std::string& item, const std::string& label) {
    RunForOutput({kPython, kWatcherScript, "click", item, label});
  }
  size_t AutostartEntries() const {
    std::error_code ec;
    fs::directory_iterator it(server_->Dir() + "/home/.config/autostart", ec);
    return ec ? 0 : static_cast<size_t>(std::distance(it, fs::directory_iterator()));
  }
  bool WaitForEntries(size_t count) const {
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (AutostartEntries() != count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }
  std::string AutostartStatus() {
    return RunHovraCommand({"autostart", "status"}, server_->Dir() + "/home").out;
  }

  std::string dir_;
  std::unique_ptr<XvfbDisplay> display_;
  std::unique_ptr<PrivateSessionBus> bus_;
  std::unique_ptr<ChildProcess> watcher_;
  std::unique_ptr<ServerProcess> server_;
};

TEST_F(TrayOverDBusTest, RegistersItsItemAndServesTheStatusMenu) {
  StartWatcher();
  StartServer("tray");
  std::string item = WaitForItem();
  ASSERT_FALSE(item.empty()) << server_->Stderr();
  nlohmann::json layout = Layout(item);
  ASSERT_TRUE(layout.is_object());
  EXPECT_EQ(layout["toolTip"], "Hovra Server");
  for (int size : {16, 22, 24, 32}) {
    EXPECT_NE(std::find(layout["iconSizes"].begin(), layout["iconSizes"].end(), size),
              layout["iconSizes"].end())
        << "an icon drawn at " << size << " pixels";
  }
  const nlohmann::json& menu = layout["menu"];
  EXPECT_EQ(Describe(menu), (std::vector<std::string>{
                                "[ ] Auto Start", "Check update", "IP Address...", "-",
                                "Password...", "-", "Taplume apps >", "-", "Our Website",
                                "Our Facebook", "Mail To Us", "About Hovra Server", "-", "Quit"}));
  const nlohmann::json& apps = Child(menu, "Taplume apps");
  EXPECT_EQ(Describe(apps),
            (std::vector<std::string>{"Android >", "iPhone & iPod Touch >", "iPad >"}));
  EXPECT_EQ(Describe(Child(apps, "iPad")),
            (std::vector<std::string>{"Taplume HD", "Taplume HD Free"}));
  // The start-up notice is still recorded in the journal while the tray shows it.
  Lines journal = server_->WaitForJournal(1);
  ASSERT_FALSE(journal.empty());
  EXPECT_NE(journal[0].find(R"("kind":"notice")"), std::string::npos) << journal[0];
}

TEST_F(TrayOverDBusTest, AutoStartClicksToggleTheAutostartEntryAndQuitEndsTheServer) {
  StartWatcher();
  StartServer("tray");
  std::string item = WaitForItem();
  ASSERT_FALSE(item.empty()) << server_->Stderr();
  ASSERT_EQ(AutostartEntries(), 0u);

  Click(item, "Auto Start");
  ASSERT_TRUE(WaitForEntries(1));
  EXPECT_EQ(AutostartStatus(), "Auto Start: on\n") << "the command line sees the tray's change";
  EXPECT_EQ(Describe(Layout(item)["menu"])[0], "[x] Auto Start");

  Click(item, "Auto Start");
  ASSERT_TRUE(WaitForEntries(0));
  EXPECT_EQ(AutostartStatus(), "Auto Start: off\n");
  EXPECT_EQ(Describe(Layout(item)["menu"])[0], "[ ] Auto Start");

  Click(item, "Quit");
  EXPECT_EQ(server_->WaitForExit(10s), 0) << server_->Stderr();
  EXPECT_NE(server_->Stderr().find("stopped"), std::string::npos);
}

TEST_F(TrayOverDBusTest, AutoChoosesTheTrayOnlyWhereATrayHostIsRegistered) {
  StartServer("auto");
  EXPECT_TRUE(server_->WaitForStderr("ui: headless (no tray host)")) << server_->Stderr();
  server_.reset();

  StartWatcher();
  StartServer("auto");
  EXPECT_TRUE(server_->WaitForStderr("ui: tray (a display with a tray host)")) << server_->Stderr();
  EXPECT_FALSE(WaitForItem().empty());
}

}  // namespace
}  // namespace hovra::testing
