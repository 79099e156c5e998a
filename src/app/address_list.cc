#include "app/address_list.h"

#include "platform/services.h"

namespace hovra::app {

std::string FormatAddressList(const std::vector<std::string>& addresses) {
  std::string text;
  for (const std::string& address : addresses) {
    // Only the IPv4 loopback is hidden; "::1" and link-local addresses are listed.
    if (address == "127.0.0.1") continue;
    text += "  ";
    text += address;
    text += '\n';
  }
  return text.empty() ? "N/A" : text;
}

std::string getIPAddrStr() { return FormatAddressList(platform::GetHost().Addresses()); }

}  // namespace hovra::app
