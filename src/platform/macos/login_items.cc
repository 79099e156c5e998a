#include "platform/macos/login_items.h"

#include "base/log.h"

namespace hovra::platform::macos {
namespace {

constexpr uint64_t kServiceEntry = 1;

// A bundle's location with or without its final slash is the same place.
std::string_view WithoutTrailingSlash(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}

bool SamePlace(std::string_view a, std::string_view b) {
  return WithoutTrailingSlash(a) == WithoutTrailingSlash(b);
}

}  // namespace

LaunchAtLogin::LaunchAtLogin(LoginItemList& list, std::string ownLocation)
    : list_(list), own_(std::move(ownLocation)) {}

std::optional<LoginItem> LaunchAtLogin::mainBundleLoginItem(
    const std::vector<LoginItem>& items) const {
  for (const LoginItem& item : items) {
    if (item.resolved && SamePlace(*item.resolved, own_)) return item;
  }
  return std::nullopt;
}

bool LaunchAtLogin::launchOnLogin() {
  std::optional<std::vector<LoginItem>> items = list_.Snapshot();
  return items && mainBundleLoginItem(*items).has_value();
}

std::optional<bool> LaunchAtLogin::setLaunchOnLogin(UserInterface& ui) {
  std::optional<std::vector<LoginItem>> items = list_.Snapshot();
  if (!items) return std::nullopt;
  const bool isautorun = !mainBundleLoginItem(*items).has_value();
  if (isautorun) {
    if (!list_.InsertLast(own_, true)) Log("could not add Hovra Server to the login items");
  } else if (std::optional<std::vector<LoginItem>> again = list_.Snapshot()) {
    // Looked up afresh: the first entry of the program at the moment of removal goes.
    if (std::optional<LoginItem> entry = mainBundleLoginItem(*again)) {
      if (!list_.Remove(*entry)) Log("could not remove Hovra Server from the login items");
    }
  }
  ui.SetAutoStartMark(isautorun);
  return isautorun;
}

std::optional<std::vector<LoginItem>> ServiceLoginItemList::Snapshot() {
  switch (int64_t status = calls_.Status()) {
    case service_status::kNotRegistered:
    case service_status::kNotFound:
      return std::vector<LoginItem>{};
    case service_status::kRequiresApproval: {
      static LogOnce waiting;
      if (waiting.First()) {
        Log("starting at login waits for your approval: System Settings > General > Login Items");
      }
      [[fallthrough]];
    }
    case service_status::kEnabled:
      return std::vector<LoginItem>{LoginItem{kServiceEntry, own_}};
    default:
      Log("login item service reports an unknown status %lld", static_cast<long long>(status));
      return std::nullopt;
  }
}

bool ServiceLoginItemList::InsertLast(const std::string& location, bool /*hideOnLaunch*/) {
  if (!SamePlace(location, own_)) return false;  // the service knows only this program
  std::string error;
  if (calls_.Register(error)) return true;
  Log("cannot register as a login item: %s", error.c_str());
  return false;
}

bool ServiceLoginItemList::Remove(const LoginItem& item) {
  if (item.id != kServiceEntry) return false;
  std::string error;
  if (calls_.Unregister(error)) return true;
  Log("cannot unregister the login item: %s", error.c_str());
  return false;
}

}  // namespace hovra::platform::macos
