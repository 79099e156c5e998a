// The portal backend, and the real server choosing it, against fake_portal.py.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>

#include "platform/portal/portal_events.h"
#include "tests/support/desktop/private_bus.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {
namespace {

using nlohmann::json;
using platform::portal::PortalEvents;
using platform::portal::SessionState;

// Each call the portal took: {"method": ..., "args": [...]}.
using Calls = std::vector<json>;

std::string Methods(const Calls& calls) {
  std::string names;
  for (const json& call : calls)
    names += (names.empty() ? "" : " ") + call["method"].get<std::string>();
  return names;
}
constexpr char kSetUp[] = "CreateSession SelectSources SelectDevices Start";

class PortalBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PrivateBus::Available()) GTEST_SKIP() << "dbus-daemon is not installed";
    if (RunTool({HOVRA_PYTHON3, "-c", "import dbus, gi"}).exitCode != 0)
      GTEST_SKIP() << "python3-dbus or python3-gi is not installed";
  }
  // Starts the fake portal with `options` on the private bus; each call it takes is logged.
  void StartPortal(const std::vector<std::string>& options) {
    ASSERT_TRUE(bus_.Running());
    std::vector<std::string> argv = {HOVRA_PYTHON3, HOVRA_FAKE_PORTAL, "--log", Log()};
    argv.insert(argv.end(), options.begin(), options.end());
    portal_ = std::make_unique<ServiceProcess>(
        ServiceOptions{.argv = argv, .env = {bus_.Variable()}, .output = dir_ / "output"});
    ASSERT_TRUE(portal_->WaitForLine("ready"));
  }
  // The portal, then a session begun on its bus.
  void Start(const std::vector<std::string>& options = {}) {
    ASSERT_NO_FATAL_FAILURE(StartPortal(options));
    Begin();
  }
  std::string Log() const { return dir_ / "calls"; }
  // Opens the backend and begins, with tokens kept in `saved_` and messages in `told_`.
  void Begin() {
    events_ = PortalEvents::Open(bus_.Address());
    ASSERT_NE(events_, nullptr);
    events_->Begin({[this] { return saved_; }, [this](const std::string& t) { saved_ = t; },
                    [this](const std::string& m) { told_.push_back(m); }});
    ASSERT_TRUE(events_->WaitUntilSettled(10s));
  }

  // Every call the portal has logged, once `count` have arrived (or 5 seconds passed).
  Calls Taken(size_t count) {
    events_->Flush();
    auto lines = [this] { return static_cast<size_t>(std::ranges::count(ReadFile(Log()), '\n')); };
    WaitUntil([&] { return lines() >= count; }, 5s);
    Calls calls;
    std::istringstream in(ReadFile(Log()));
    for (std::string line; std::getline(in, line);) calls.push_back(json::parse(line));
    return calls;
  }
  // The Notify calls after the set-up, each as its method and arguments after the options.
  std::vector<std::pair<std::string, json>> Notified(size_t count) {
    std::vector<std::pair<std::string, json>> notified;
    for (const json& call : Taken(setupCalls_ + count)) {
      const json& args = call["args"];
      if (!call["method"].get<std::string>().starts_with("Notify")) continue;
      EXPECT_EQ(args[0], events_->Outcome().sessionHandle);
      EXPECT_EQ(args[1], json::object());
      notified.emplace_back(call["method"], json(std::vector<json>(args.begin() + 2, args.end())));
    }
    return notified;
  }

  static platform::MouseEvent Mouse(int type, double x, double y) {
    return {.type = type, .position = {x, y}, .button = 0, .clickState = {}};
  }
  static platform::KeyEvent Key(uint16_t code, bool down, std::u16string_view text = {}) {
    const auto flags = text.empty() ? std::nullopt : std::optional<uint64_t>(0);
    return {code, down, platform::EventSource::kNone, flags, text};
  }

  TempDir dir_;
  PrivateBus bus_{PrivateBus::kSession};
  std::unique_ptr<ServiceProcess> portal_;
  std::unique_ptr<PortalEvents> events_;
  std::string saved_;
  std::vector<std::string> told_;
  size_t setupCalls_ = 4;  // CreateSession, SelectSources, SelectDevices, Start
};

TEST_F(PortalBackend, AnAllowedSessionIsSetUpInOrderAndCarriesEveryKindOfInput) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(events_->Outcome().state, SessionState::kReady);
  Calls setup = Taken(4);
  ASSERT_EQ(Methods(setup), kSetUp);
  EXPECT_TRUE(setup[0]["args"][0].contains("handle_token"));
  EXPECT_TRUE(setup[0]["args"][0].contains("session_handle_token"));
  EXPECT_EQ(setup[1]["args"][1]["types"], 1);
  EXPECT_EQ(setup[1]["args"][1]["multiple"], true);
  EXPECT_EQ(setup[2]["args"][1]["types"], 3);
  EXPECT_FALSE(setup[2]["args"][1].contains("persist_mode"));  // version 1 keeps nothing
  for (size_t i = 1; i < 4; ++i) EXPECT_EQ(setup[i]["args"][0], events_->Outcome().sessionHandle);
  EXPECT_TRUE(told_.empty());

  // The monitor streams are the screens: B lies right of A, 100 lower.
  EXPECT_EQ(events_->ScreenFrames(),
            (std::vector<platform::Rect>{{0, 0, 1280, 800}, {1280, 100, 640, 600}}));
  EXPECT_EQ(events_->PointerLocation(), (platform::Point{640, 400}));
  events_->PostMouse(Mouse(platform::kMouseMoved, 100, 200));
  events_->PostMouse(Mouse(platform::kRightMouseDown, 1300, 150));  // on B
  events_->PostMouse(Mouse(platform::kRightMouseUp, 1300, 150));
  EXPECT_EQ(events_->PressedMouseButtons(), 0u);
  events_->PostScroll({.vertical = 2, .horizontal = -1});
  events_->PostKey(Key(0, true));  // the a key
  events_->PostKey(Key(0, false));
  events_->PostKey(Key(1, true, u"\u00e9"));
  events_->PostKey(Key(1, false, u"\u00e9"));
  events_->PostKey(Key(1, true, u"\u4e2d"));
  EXPECT_EQ(Notified(12), (std::vector<std::pair<std::string, json>>{
                              {"NotifyPointerMotionAbsolute", {61, 100.0, 200.0}},
                              {"NotifyPointerMotionAbsolute", {62, 20.0, 50.0}},
                              {"NotifyPointerButton", {0x111, 1}},
                              {"NotifyPointerMotionAbsolute", {62, 20.0, 50.0}},
                              {"NotifyPointerButton", {0x111, 0}},
                              {"NotifyPointerAxisDiscrete", {0, -2}},
                              {"NotifyPointerAxisDiscrete", {1, 1}},
                              {"NotifyKeyboardKeysym", {0x61, 1}},
                              {"NotifyKeyboardKeysym", {0x61, 0}},
                              {"NotifyKeyboardKeysym", {0xe9, 1}},
                              {"NotifyKeyboardKeysym", {0xe9, 0}},
                              {"NotifyKeyboardKeysym", {0x1004e2d, 1}}}));
}

TEST_F(PortalBackend, ARefusalIsLoggedAndShownOnceAndInputThenGoesNowhere) {
  ::testing::internal::CaptureStderr();
  ASSERT_NO_FATAL_FAILURE(Start({"--answer", "deny"}));
  EXPECT_EQ(events_->Outcome().state, SessionState::kDenied);
  for (int i = 0; i < 50; ++i) {
    events_->PostKey(Key(0, true));
    events_->PostMouse(Mouse(platform::kLeftMouseDown, 10, 10));
    events_->PostScroll({.vertical = 1, .horizontal = 0});
  }
  std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(told_, std::vector<std::string>{"Remote input was declined on this computer: pointer "
                                            "and keys from the phone do nothing until the server "
                                            "is started again."});
  EXPECT_NE(log.find("declined remote input"), std::string::npos) << log;
  EXPECT_EQ(log.find("input dropped"), log.rfind("input dropped")) << log;  // one line
  EXPECT_EQ(Methods(Taken(4)), kSetUp) << "nothing retried, nothing notified";
}

TEST_F(PortalBackend, TheRestoreTokenIsKeptAndOfferedAtTheNextStart) {
  ASSERT_NO_FATAL_FAILURE(Start({"--version", "2", "--token", "kept-choice-1"}));
  ASSERT_EQ(events_->Outcome().state, SessionState::kReady);
  EXPECT_EQ(saved_, "kept-choice-1");
  Calls first = Taken(4);
  ASSERT_EQ(Methods(first), kSetUp);
  EXPECT_EQ(first[2]["args"][1]["persist_mode"], 2);
  EXPECT_FALSE(first[2]["args"][1].contains("restore_token"));

  events_.reset();  // the next start of the server
  Begin();
  Calls second = Taken(4 + 1 + 4);  // the first session's Close, then the set-up
  ASSERT_EQ(Methods(second), kSetUp + std::string(" Session.Close ") + kSetUp);
  EXPECT_EQ(second[7]["args"][1]["restore_token"], "kept-choice-1");
}

TEST_F(PortalBackend, WithoutScreenCastingMotionIsRelativeOnANominalScreen) {
  setupCalls_ = 3;
  ASSERT_NO_FATAL_FAILURE(Start({"--no-screencast"}));
  ASSERT_EQ(events_->Outcome().state, SessionState::kReady);
  EXPECT_EQ(events_->ScreenFrames(), (std::vector<platform::Rect>{{0, 0, 1920, 1080}}));
  events_->PostMouse(Mouse(platform::kMouseMoved, 970, 530));   // from the centre, (960, 540)
  events_->PostMouse(Mouse(platform::kMouseMoved, 5000, 530));  // clamped at the right edge
  EXPECT_EQ(Notified(2),
            (std::vector<std::pair<std::string, json>>{{"NotifyPointerMotion", {10.0, -10.0}},
                                                       {"NotifyPointerMotion", {949.0, 0.0}}}));
}

using ServerOnPortal = PortalBackend;

TEST_F(ServerOnPortal, AutoChoosesThePortalKeysReachItAndTheChoiceIsKeptWithTheSettings) {
  ASSERT_NO_FATAL_FAILURE(StartPortal({"--version", "2", "--token", "kept-choice-7"}));
  ServerProcessOptions options;
  options.extraArgs = {"--input", "auto"};
  options.environment = {bus_.Variable(),
                         {"XDG_SESSION_TYPE", "wayland"},
                         {"WAYLAND_DISPLAY", "/nonexistent/wayland-9"}};
  ServerProcess server(options);
  ASSERT_NE(server.Port(), 0) << server.Stderr();
  EXPECT_TRUE(server.WaitForStderr("input: portal (")) << server.Stderr();
  ASSERT_TRUE(server.WaitForStderr("the desktop portal started remote input")) << server.Stderr();
  SocketClient client = SocketClient::Greeted(server.Port());
  client.Send("key001a");
  EXPECT_TRUE(WaitUntil([&] {
    return ReadFile(Log()).find("\"NotifyKeyboardKeysym\"") != std::string::npos;
  })) << ReadFile(Log());
  std::string settings = ReadFile(server.Dir() + "/config/settings.json");
  EXPECT_NE(settings.find("kept-choice-7"), std::string::npos) << settings;
}

}  // namespace
}  // namespace hovra::testing
