// The status menu as the tests read it back, one line per item: "-" a separator,
// "title >" an item holding a submenu, "[x] title" / "[ ] title" an item with a check mark.
#pragma once

#include <string>
#include <vector>

namespace hovra::testing {

using MenuLines = std::vector<std::string>;

inline MenuLines StatusMenuLines(bool autoStart) {
  return {autoStart ? "[x] Auto Start" : "[ ] Auto Start",
          "Check update",
          "IP Address...",
          "-",
          "Password...",
          "-",
          "Taplume apps >",
          "-",
          "Our Website",
          "Our Facebook",
          "Mail To Us",
          "About Hovra Server",
          "-",
          "Quit"};
}
inline const MenuLines kClientAppsLines = {"Android >", "iPhone & iPod Touch >", "iPad >"};

}  // namespace hovra::testing
