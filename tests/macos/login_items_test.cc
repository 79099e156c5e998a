// Launch at login over a fake list of login items, and SMAppService seen as such a list.
#include "platform/macos/login_items.h"

#include <gtest/gtest.h>

#include "tests/macos/recording_ui.h"

namespace hovra::testing {
namespace {

using platform::macos::LaunchAtLogin;
using platform::macos::LoginItem;

constexpr const char* kHere = "/Applications/Hovra Server.app";
constexpr const char* kMovedCopy = "/Users/joe/Downloads/Hovra Server.app";

class FakeLoginItems : public platform::macos::LoginItemList {
 public:
  explicit FakeLoginItems(std::vector<std::optional<std::string>> places) {
    for (auto& place : places) items.push_back({++lastId, place});
  }
  std::optional<std::vector<LoginItem>> Snapshot() override {
    if (unavailable) return std::nullopt;
    return items;
  }
  bool InsertLast(const std::string& location, bool hideOnLaunch) override {
    items.push_back({++lastId, location});
    inserted.push_back(location + (hideOnLaunch ? " hidden" : ""));
    return true;
  }
  bool Remove(const LoginItem& item) override {
    std::erase_if(items, [&](const LoginItem& i) { return i.id == item.id; });
    return true;
  }
  std::vector<std::optional<std::string>> Places() const {
    std::vector<std::optional<std::string>> places;
    for (const LoginItem& item : items) places.push_back(item.resolved);
    return places;
  }

  std::vector<LoginItem> items;
  std::vector<std::string> inserted;
  bool unavailable = false;
  uint64_t lastId = 0;
};

using Places = std::vector<std::optional<std::string>>;

TEST(LaunchAtLogin, TheToggleAddsAtTheEndStartedHiddenOrRemovesTheFirstEntry) {
  struct Case {
    const char* what;
    Places before;
    bool startsAtLogin;  // before the toggle
    Places after;
  };
  const Case cases[] = {
      {"not in the list (an entry that does not resolve is skipped)",
       {"/Applications/Mail.app", std::nullopt},
       false,
       {"/Applications/Mail.app", std::nullopt, kHere}},
      {"in the list", {"/Applications/Mail.app", kHere}, true, {"/Applications/Mail.app"}},
      {"in the list twice: only the first goes",
       {kHere, "/Applications/Mail.app", kHere},
       true,
       {"/Applications/Mail.app", kHere}},
      {"a copy elsewhere does not count", {kMovedCopy}, false, {kMovedCopy, kHere}},
      {"a final slash is the same place", {std::string(kHere) + "/"}, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeLoginItems list(c.before);
    RecordingUi ui;
    LaunchAtLogin login(list, kHere);
    EXPECT_EQ(login.isAutoRun(), c.startsAtLogin);
    EXPECT_EQ(login.setLaunchOnLogin(ui), !c.startsAtLogin);
    EXPECT_EQ(ui.marks, std::vector<bool>{!c.startsAtLogin});
    EXPECT_EQ(list.Places(), c.after);
    if (!c.startsAtLogin) {
      EXPECT_EQ(list.inserted, std::vector<std::string>{std::string(kHere) + " hidden"});
    }
  }
}

TEST(LaunchAtLogin, AnUnusableListChangesNothing) {
  FakeLoginItems list({kHere});
  list.unavailable = true;
  RecordingUi ui;
  LaunchAtLogin login(list, kHere);
  EXPECT_FALSE(login.isAutoRun());
  EXPECT_EQ(login.setLaunchOnLogin(ui), std::nullopt);
  EXPECT_TRUE(ui.marks.empty());
  EXPECT_EQ(list.items.size(), 1u);
}

class FakeService : public platform::macos::LoginServiceCalls {
 public:
  int64_t Status() override { return status; }
  bool Register(std::string& error) override {
    calls.push_back("register");
    if (refuse)
      error = "Operation not permitted";
    else
      status = platform::macos::service_status::kEnabled;
    return !refuse;
  }
  bool Unregister(std::string&) override {
    calls.push_back("unregister");
    status = platform::macos::service_status::kNotRegistered;
    return true;
  }
  int64_t status = platform::macos::service_status::kNotRegistered;
  bool refuse = false;
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
    EXPECT_EQ(login.isAutoRun(), !registered);
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
