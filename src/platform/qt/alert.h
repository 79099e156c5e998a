// A modal alert with a warning icon, a message, an informative text and buttons in the
// order given, the first the default and the last the escape. Returns 1000 for the first
// button, 1001 for the second, and so on; the last (the safe answer) when the alert ends
// without one (the program quitting).
#pragma once

#include <string_view>
#include <vector>

namespace hovra::platform::qt {

int RunAlert(std::string_view message, std::string_view informative,
             const std::vector<std::string_view>& buttons);

}  // namespace hovra::platform::qt
