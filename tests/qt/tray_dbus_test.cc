// The real binary's status icon under Xvfb, read over D-Bus with a dbusmock tray host.
#include <gmock/gmock.h>

#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>

#include "tests/support/desktop/dbus_mock.h"
#include "tests/support/desktop/private_bus.h"
#include "tests/support/desktop/xvfb_display.h"
#include "tests/support/server_process.h"

namespace hovra::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::IsSupersetOf;
using MenuLines = std::vector<std::string>;  // "-", "title >", "[x] title" or "title"

const char kHelper[] = HOVRA_QT_TEST_DIR "/tray_menu.py";
const char kWatcher[] = "org.kde.StatusNotifierWatcher";

MenuLines Lines(const nlohmann::json& menu) {
  MenuLines lines;
  for (const auto& item : menu["children"]) lines.push_back(item["line"]);
  return lines;
}

class TrayOverDBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!display_.Running()) GTEST_SKIP() << display_.WhyNot();
    if (!PrivateBus::Available() || !DbusMock::Available() ||
        RunTool({kSystemPython, "-c", "import dbus"}).exitCode)
      GTEST_SKIP() << "the private bus needs dbus-daemon, python3-dbusmock and python3-dbus";
  }

  // A private bus, with a watcher on it (a host registered) or without.
  void StartBus(bool watcher) {
    watcher_.reset();
    bus_ = std::make_unique<PrivateBus>(PrivateBus::kSession);
    ASSERT_TRUE(bus_->Running());
    if (!watcher) return;
    auto options = DbusMockOptions::Object(kWatcher, "/StatusNotifierWatcher", kWatcher);
    options.bus = bus_->Address();
    watcher_ = std::make_unique<DbusMock>(options);
    ASSERT_TRUE(watcher_->Running());
    // Qt reads the watcher's properties through its introspection, which lists these.
    BusClient bus(bus_->Address());
    ASSERT_TRUE(
        bus.AddMockMethod(kWatcher, "/StatusNotifierWatcher", "RegisterStatusNotifierItem", "s"));
    ASSERT_TRUE(bus.Call(kWatcher, "/StatusNotifierWatcher", "org.freedesktop.DBus.Mock",
                         "AddProperties",
                         g_variant_new_parsed("('', {'IsStatusNotifierHostRegistered': <true>, "
                                              "'ProtocolVersion': <0>, "
                                              "'RegisteredStatusNotifierItems': <@as []>})")));
  }
  // The server and the helpers reach nothing of the tester's own desktop.
  void StartServer(const std::string& ui) {
    ServerProcessOptions options;
    options.extraArgs = {"--input", "journal", "--desktop", "journal", "--ui", ui};
    options.environment = {bus_->Variable(),
                           {"DISPLAY", display_.Name()},
                           {"WAYLAND_DISPLAY", ""},
                           {"QT_QPA_PLATFORM", ""},
                           {"XDG_SESSION_TYPE", ""}};
    server_ = std::make_unique<ServerProcess>(options);
    ASSERT_NE(server_->Port(), 0) << server_->Stderr();
  }
  // The service the item registered with the watcher; empty when none did.
  std::string Item() {
    const std::string call = "RegisterStatusNotifierItem \"";
    if (!watcher_ || !watcher_->WaitForLog(call)) return "";
    std::string log = watcher_->Log();
    size_t at = log.find(call) + call.size();
    return log.substr(at, log.find('"', at) - at);
  }
  std::string Helper(const std::vector<std::string>& args) {
    std::vector<std::string> argv{kSystemPython, kHelper};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunTool(argv, {bus_->Variable()}).output;
  }
  nlohmann::json Layout(const std::string& item) {
    return nlohmann::json::parse(Helper({"layout", item}), nullptr, false);
  }
  size_t AutostartEntries() const {
    const fs::path folder = server_->Dir() + "/home/.config/autostart";
    return fs::exists(folder) ? SortedNames(folder).size() : 0;
  }

  XvfbDisplay display_;
  std::unique_ptr<PrivateBus> bus_;
  std::unique_ptr<DbusMock> watcher_;
  std::unique_ptr<ServerProcess> server_;
};

TEST_F(TrayOverDBusTest, AutoChoosesTheTrayWhereAHostIsRegisteredAndItsMenuWorks) {
  StartBus(true);
  StartServer("auto");
  EXPECT_TRUE(server_->WaitForStderr("ui: tray (a display with a tray host)"));
  std::string item = Item();
  ASSERT_FALSE(item.empty()) << server_->Stderr();
  nlohmann::json layout = Layout(item);
  ASSERT_TRUE(layout.is_object());
  EXPECT_EQ(layout["toolTip"], "Hovra Server");
  EXPECT_THAT(layout["iconSizes"].get<std::vector<int>>(), IsSupersetOf({16, 22, 24, 32}))
      << "an icon drawn at each size a panel asks for";
  EXPECT_EQ(Lines(layout["menu"]),
            (MenuLines{"[ ] Auto Start", "Check update", "IP Address...", "-", "Password...", "-",
                       "Taplume apps >", "-", "Our Website", "Our Facebook", "Mail To Us",
                       "About Hovra Server", "-", "Quit"}));
  const nlohmann::json& apps = layout["menu"]["children"][6];
  EXPECT_EQ(Lines(apps), (MenuLines{"Android >", "iPhone & iPod Touch >", "iPad >"}));
  EXPECT_EQ(Lines(apps["children"][0]), (MenuLines{"Taplume Pro", "Taplume"}));
  EXPECT_EQ(Lines(apps["children"][1]), (MenuLines{"Taplume Pro", "Taplume"}));
  EXPECT_EQ(Lines(apps["children"][2]), (MenuLines{"Taplume HD", "Taplume HD Free"}));
  // The journal still records the start-up notice that the tray shows.
  EXPECT_NE(server_->WaitForJournal(1).at(0).find(R"("kind":"notice")"), std::string::npos);

  for (bool on : {true, false}) {
    Helper({"click", item, "Auto Start"});
    EXPECT_EQ(AutostartEntries(), on ? 1u : 0u);  // the click's reply came after the toggle
    EXPECT_EQ(RunHovraCommand({"autostart", "status"}, server_->Dir() + "/home").out,
              on ? "Auto Start: on\n" : "Auto Start: off\n");
    EXPECT_EQ(Lines(Layout(item)["menu"]).at(0), on ? "[x] Auto Start" : "[ ] Auto Start");
  }
  // The command line sets the entry meanwhile: the menu's next opening shows it.
  ASSERT_EQ(RunHovraCommand({"autostart", "on"}, server_->Dir() + "/home").exitCode, 0);
  EXPECT_EQ(Lines(Layout(item)["menu"]).at(0), "[x] Auto Start");
  Helper({"click", item, "Quit"});
  EXPECT_EQ(server_->WaitForExit(10s), 0) << server_->Stderr();
}

TEST_F(TrayOverDBusTest, AutoLeavesTheTrayOutWithoutAHost) {
  StartBus(false);
  StartServer("auto");
  EXPECT_TRUE(server_->WaitForStderr("ui: headless (no tray host)")) << server_->Stderr();
}

}  // namespace
}  // namespace hovra::testing
