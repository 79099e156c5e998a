#include "app/status_menu.h"

#include <utility>

#include "app/product_links.h"
#include "platform/services.h"

namespace hovra::app {
namespace {

using platform::MenuItem;

MenuItem Item(std::string title, std::function<void()> action) {
  MenuItem item;
  item.title = std::move(title);
  item.action = std::move(action);
  return item;
}

MenuItem Link(std::string title, const char* url) {
  return Item(std::move(title), [url] { platform::GetWorkspace().OpenURL(url); });
}

MenuItem Submenu(std::string title, std::vector<MenuItem> items) {
  MenuItem item;
  item.title = std::move(title);
  item.submenu = std::move(items);
  return item;
}

// Letters, digits and "-._~" stay; everything else is %-escaped, as a mailto: query needs.
std::string PercentEncode(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

std::vector<MenuItem> ClientApps() {
  return {
      Submenu("Android",
              {Link("Taplume Pro", kAndroidTaplumeProUrl), Link("Taplume", kAndroidTaplumeUrl)}),
      Submenu("iPhone & iPod Touch",
              {Link("Taplume Pro", kIosTaplumeProUrl), Link("Taplume", kIosTaplumeUrl)}),
      Submenu("iPad", {Link("Taplume HD", kIosTaplumeHdUrl),
                       Link("Taplume HD Free", kIosTaplumeHdFreeUrl)}),
  };
}

}  // namespace

std::string SupportMailUrl() {
  return std::string("mailto:") + kSupportMailAddress +
         "?subject=" + PercentEncode(kSupportMailSubject);
}

platform::StatusMenu MakeStatusMenu(StatusMenuActions actions) {
  MenuItem autoStart = Item("Auto Start", std::move(actions.onAutoRun));
  autoStart.checked = std::move(actions.isAutoRun);
  platform::StatusMenu menu;
  menu.toolTip = kStatusToolTip;
  // "Auto Start" stays first: the toggle and the menu's opening find its mark there.
  menu.items = {
      std::move(autoStart),
      Item("Check update", std::move(actions.downloadVersion)),
      Item("IP Address...", [] { platform::GetUi().ShowAddressWindow(); }),
      MenuItem::Separator(),
      Item("Password...", [] { platform::GetUi().ShowPasswordWindow(); }),
      MenuItem::Separator(),
      Submenu("Taplume apps", ClientApps()),
      MenuItem::Separator(),
      Link("Our Website", kWebsiteUrl),
      Link("Our Facebook", kFacebookUrl),
      Item("Mail To Us", [] { platform::GetWorkspace().OpenURL(SupportMailUrl()); }),
      Item("About Hovra Server", [] { platform::GetUi().ShowAboutWindow(); }),
      MenuItem::Separator(),
      Item("Quit", std::move(actions.onExit)),
  };
  return menu;
}

}  // namespace hovra::app
