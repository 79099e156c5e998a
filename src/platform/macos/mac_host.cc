#include "platform/macos/mac_host.h"

namespace hovra::platform::macos {

std::string ProductVersionText(const OsVersion& version) {
  if (version.major <= 0) return {};
  std::string text = std::to_string(version.major) + "." + std::to_string(version.minor);
  if (version.patch != 0) text += "." + std::to_string(version.patch);
  return text;
}

std::string MacHost::MachineName() {
  std::string name = calls_.LocalizedHostName();
  return name.empty() ? SystemHost::MachineName() : name;
}

std::string MacHost::OsProductVersion() {
  return ProductVersionText(calls_.OperatingSystemVersion());
}

}  // namespace hovra::platform::macos
