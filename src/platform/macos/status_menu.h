// The status menu: its items, titles and order, as data. The AppKit build makes an
// NSMenu of it; item 0 must stay "Auto Start" (its check mark is found by position).
#pragma once

#include <span>
#include <string_view>

namespace hovra::platform::macos {

enum class MenuCommand {
  kNone,  // a separator, or an item that only opens its submenu
  kAutoStart,
  kCheckUpdate,
  kShowAddresses,
  kShowPassword,
  kAndroidTaplumePro,
  kAndroidTaplume,
  kIosTaplumePro,
  kIosTaplume,
  kIosTaplumeHd,
  kIosTaplumeHdFree,
  kVisitWebsite,
  kFollowOnFacebook,
  kSupport,
  kAbout,
  kQuit,
};

struct MenuItem {
  std::string_view title;  // empty: a separator
  MenuCommand command = MenuCommand::kNone;
  std::span<const MenuItem> submenu;

  bool IsSeparator() const { return title.empty(); }
};

inline constexpr MenuItem kSeparator{};

inline constexpr MenuItem kAndroidApps[] = {
    {"Taplume Pro", MenuCommand::kAndroidTaplumePro, {}},
    {"Taplume", MenuCommand::kAndroidTaplume, {}},
};
inline constexpr MenuItem kIphoneApps[] = {
    {"Taplume Pro", MenuCommand::kIosTaplumePro, {}},
    {"Taplume", MenuCommand::kIosTaplume, {}},
};
inline constexpr MenuItem kIpadApps[] = {
    {"Taplume HD", MenuCommand::kIosTaplumeHd, {}},
    {"Taplume HD Free", MenuCommand::kIosTaplumeHdFree, {}},
};
inline constexpr MenuItem kClientApps[] = {
    {"Android", MenuCommand::kNone, kAndroidApps},
    {"iPhone & iPod Touch", MenuCommand::kNone, kIphoneApps},
    {"iPad", MenuCommand::kNone, kIpadApps},
};
inline constexpr MenuItem kStatusMenu[] = {
    {"Auto Start", MenuCommand::kAutoStart, {}},
    {"Check update", MenuCommand::kCheckUpdate, {}},
    {"IP Address...", MenuCommand::kShowAddresses, {}},
    kSeparator,
    {"Password...", MenuCommand::kShowPassword, {}},
    kSeparator,
    {"Taplume apps", MenuCommand::kNone, kClientApps},
    kSeparator,
    {"Our Website", MenuCommand::kVisitWebsite, {}},
    {"Our Facebook", MenuCommand::kFollowOnFacebook, {}},
    {"Mail To Us", MenuCommand::kSupport, {}},
    {"About Hovra Server", MenuCommand::kAbout, {}},
    kSeparator,
    {"Quit", MenuCommand::kQuit, {}},
};
inline constexpr std::string_view kStatusToolTip = "Hovra Server";
inline constexpr std::string_view kStatusImageName = "icon20";

}  // namespace hovra::platform::macos
