// What the application hands a user interface that has a face (a status icon, windows):
// the status menu as data with its actions, the facts the windows show, and the calls the
// password window makes. The application builds it; a backend only renders and calls back,
// so the menu's titles and order and what each item does are decided in one place.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hovra::platform {

struct MenuItem {
  std::string title;  // empty for a separator
  bool separator = false;
  std::function<void()> action;  // empty for an item that only holds a submenu
  std::vector<MenuItem> submenu;
  // Set for an item with a check mark; asked each time the menu opens.
  std::function<bool()> checked;

  static MenuItem Separator() {
    MenuItem item;
    item.separator = true;
    return item;
  }
};

struct StatusMenu {
  std::string toolTip;
  std::vector<MenuItem> items;
};

struct AboutFacts {
  std::string name;
  std::string version;
  std::string description;
  std::string licence;
};

// What the address window shows: how a phone reaches this computer, and who is connected.
struct ConnectionFacts {
  std::string addressList;  // the list taken at start, one "  address\n" line each
  unsigned port = 0;
  bool pinProtection = false;
  int64_t pin = 0;  // 0: none drawn yet
  std::string inputBackend;
  std::string desktopBackend;
  std::vector<std::string> connectedPhones;  // their addresses
};

struct PasswordState {
  bool protection = false;
  int64_t pin = 0;  // 0: none drawn yet
};

struct ShellBindings {
  StatusMenu menu;
  AboutFacts about;
  std::function<ConnectionFacts()> connectionFacts;  // asked while the window shows
  std::function<PasswordState()> passwordState;      // likewise: another process may change it
  // The password window's check box; returns the state that holds afterwards.
  std::function<PasswordState(bool on)> setPasswordProtection;
};

}  // namespace hovra::platform
