// The computer's addresses as the address window and the start-up notice show them: each
// address but exactly "127.0.0.1" on its own line as "  %s\n", or "N/A" when none is left.
#pragma once

#include <string>
#include <vector>

namespace hovra::app {

std::string FormatAddressList(const std::vector<std::string>& addresses);
std::string getIPAddrStr();  // from platform::GetHost().Addresses()

}  // namespace hovra::app
