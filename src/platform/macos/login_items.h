// Launch at login: the program starts at login exactly when the user's login items hold
// an entry that resolves to the program's own location. The toggle removes the first such
// entry when there is one, else adds one at the end, started hidden. Entries that do not
// resolve, and entries for the program at another location (a moved copy), do not count.
//   LaunchAtLogin login(list, "/Applications/Hovra Server.app");
//   std::optional<bool> on = login.setLaunchOnLogin(ui);   // nothing: the list is unusable
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/user_interface.h"

namespace hovra::platform::macos {

struct LoginItem {
  uint64_t id = 0;                      // the list's own reference to the entry
  std::optional<std::string> resolved;  // where it points; nothing when it does not resolve
};

// The user's login items.
class LoginItemList {
 public:
  virtual ~LoginItemList() = default;
  // The entries in list order; nothing when the list cannot be had.
  virtual std::optional<std::vector<LoginItem>> Snapshot() = 0;
  // Adds an entry for `location` after every other; false when the list refused it.
  virtual bool InsertLast(const std::string& location, bool hideOnLaunch) = 0;
  virtual bool Remove(const LoginItem& item) = 0;
};

class LaunchAtLogin {
 public:
  LaunchAtLogin(LoginItemList& list, std::string ownLocation);

  bool launchOnLogin();
  bool isAutoRun() { return launchOnLogin(); }
  // The toggle. Returns the new state and shows it as the "Auto Start" mark; nothing, and
  // no change at all, when the list cannot be had.
  std::optional<bool> setLaunchOnLogin(UserInterface& ui);

 private:
  std::optional<LoginItem> mainBundleLoginItem(const std::vector<LoginItem>& items) const;

  LoginItemList& list_;
  const std::string own_;
};

// SMAppService.mainAppService: the system's record of this program as a login item.
namespace service_status {
inline constexpr int64_t kNotRegistered = 0;
inline constexpr int64_t kEnabled = 1;
inline constexpr int64_t kRequiresApproval = 2;
inline constexpr int64_t kNotFound = 3;
}  // namespace service_status

class LoginServiceCalls {
 public:
  virtual ~LoginServiceCalls() = default;
  virtual int64_t Status() = 0;
  // registerAndReturnError: / unregisterAndReturnError:; `error` gets the description.
  virtual bool Register(std::string& error) = 0;
  virtual bool Unregister(std::string& error) = 0;
};

// The login items as SMAppService shows them to this program: one entry for its own
// location while it is registered (approved or waiting for the user's approval in System
// Settings > General > Login Items), none otherwise. It can add only the program itself,
// and the system starts it without activating it, so the hide option has nothing to do.
class ServiceLoginItemList : public LoginItemList {
 public:
  ServiceLoginItemList(LoginServiceCalls& calls, std::string ownLocation)
      : calls_(calls), own_(std::move(ownLocation)) {}

  std::optional<std::vector<LoginItem>> Snapshot() override;
  bool InsertLast(const std::string& location, bool hideOnLaunch) override;
  bool Remove(const LoginItem& item) override;

 private:
  LoginServiceCalls& calls_;
  const std::string own_;
};

}  // namespace hovra::platform::macos
