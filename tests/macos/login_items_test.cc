// Launch at login over a fake list of login items, and SMAppService seen as such a list.
#include "platform/macos/login_items.h"

#include <gtest/gtest.h>

#include "tests/app/shell_test_support.h"

namespace hovra::testing {
namespace {

using platform::macos::LaunchAtLogin;
using platform::macos::LoginItem;
using Places = std::vector<std::optional<std::string>>;  // nothing: does not resolve

constexpr const char* kHere = "/Applications/Hovra Server.app";
constexpr const char* kMovedCopy = "/Users/joe/Downloads/Hovra Server.app";

struct FakeLoginItems : platform::macos::LoginItemList {
  explicit FakeLoginItems(const Places& places) {
    for (auto& place : places) items.push_back({items.size() + 1, place});
  }
  std::optional<std::vector<LoginItem>> Snapshot() override {
    return unavailable ? std::nullopt : std::optional(items);
  }
  bool InsertLast(const std::string& location, bool hideOnLaunch) override {
    items.push_back({items.size() + 100, location});
    hidden = hideOnLaunch;
    return true;
  }
  bool Remove(const LoginItem& item) override {
    return std::erase_if(items, [&](const LoginItem& i) { return i.id == item.id; }) == 1;
  }
  Places Now() const {
    Places places;
    for (const LoginItem& item : items) places.push_back(item.resolved);
    return places;
  }
  std::vector<LoginItem> items;
  bool unavailable = false;
  bool hidden = false;
};

TEST(LaunchAtLogin, TheToggleAddsAtTheEndStartedHiddenOrRemovesTheFirstEntry) {
  struct Case {
    const char* what;
    Places before;
    bool startsAtLogin;  // before the toggle
    Places after;
    bool usable = true;
  };
  // clang-format off
  const Case cases[] = {
      {"not in the list (an entry that does not resolve is skipped)",
       {"/Applications/Mail.app", std::nullopt}, false, {"/Applications/Mail.app", std::nullopt, kHere}},
      {"in the list", {"/Applications/Mail.app", kHere}, true, {"/Applications/Mail.app"}},
      {"in the list twice: only the first goes",
       {kHere, "/Applications/Mail.app", kHere}, true, {"/Applications/Mail.app", kHere}},
      {"a copy elsewhere does not count", {kMovedCopy}, false, {kMovedCopy, kHere}},
      {"a final slash is the same place", {std::string(kHere) + "/"}, true, {}},
      {"an unusable list changes nothing", {kHere}, false, {kHere}, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeLoginItems list(c.before);
    list.unavailable = !c.usable;
    RecordingUi ui;
    LaunchAtLogin login(list, kHere);
    EXPECT_EQ(login.isAutoRun(), c.startsAtLogin);
    const bool added = c.usable && !c.startsAtLogin;
    EXPECT_EQ(login.setLaunchOnLogin(ui), c.usable ? std::optional(added) : std::nullopt);
    EXPECT_EQ(ui.marks, c.usable ? std::vector<bool>{added} : std::vector<bool>{});
    EXPECT_EQ(list.Now(), c.after);
    EXPECT_EQ(list.hidden, added) << "an entry added starts the program hidden";
  }
}

struct FakeService : platform::macos::LoginServiceCalls {
  int64_t Status() override { return status; }
  bool Register(std::string&) override { return Call("register", 1); }
  bool Unregister(std::string&) override { return Call("unregister", 0); }
  bool Call(const char* name, int64_t after) {
    calls.push_back(name);
    status = after;
    return true;
  }
  int64_t status = 0;
  std::vector<std::string> calls;
};

TEST(LaunchAtLogin, TheLoginItemServiceIsOneEntryWhileRegistered) {
  namespace status = platform::macos::service_status;
  const std::pair<int64_t, bool> states[] = {{status::kNotRegistered, false},
                                             {status::kEnabled, true},
                                             {status::kRequiresApproval, true},
                                             {status::kNotFound, false}};
  for (auto [state, registered] : states) {
    SCOPED_TRACE(state);
    FakeService service;
    service.status = state;
    platform::macos::ServiceLoginItemList list(service, kHere);
    RecordingUi ui;
    LaunchAtLogin login(list, kHere);
    EXPECT_EQ(login.isAutoRun(), registered);
    EXPECT_EQ(login.setLaunchOnLogin(ui), !registered);
    EXPECT_EQ(service.calls, std::vector<std::string>{registered ? "unregister" : "register"});
  }
  FakeService odd;
  odd.status = 7;
  platform::macos::ServiceLoginItemList list(odd, kHere);
  EXPECT_EQ(list.Snapshot(), std::nullopt) << "a status this program does not know";
  EXPECT_FALSE(list.InsertLast(kMovedCopy, true)) << "it can register only itself";
  EXPECT_TRUE(odd.calls.empty());
}

}  // namespace
}  // namespace hovra::testing
