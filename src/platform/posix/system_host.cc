#include "platform/posix/system_host.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace hovra::platform::posix {
namespace {

// Value of KEY=VALUE in a shell-style file such as /etc/os-release, quotes removed.
std::string ReadAssignment(const char* path, const std::string& key) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + "=", 0) != 0) continue;
    std::string value = line.substr(key.size() + 1);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')) {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return {};
}

}  // namespace

std::string SystemHost::MachineName() {
  // The user-visible name where the system keeps one, else the host name.
  std::string pretty = ReadAssignment("/etc/machine-info", "PRETTY_HOSTNAME");
  if (!pretty.empty()) return pretty;
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::vector<std::string> SystemHost::Addresses() {
  std::vector<std::string> out;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return out;
  for (ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || !(it->ifa_flags & IFF_UP)) continue;
    char text[INET6_ADDRSTRLEN] = {};
    if (it->ifa_addr->sa_family == AF_INET) {
      auto* in4 = reinterpret_cast<sockaddr_in*>(it->ifa_addr);
      ::inet_ntop(AF_INET, &in4->sin_addr, text, sizeof text);
    } else if (it->ifa_addr->sa_family == AF_INET6) {
      auto* in6 = reinterpret_cast<sockaddr_in6*>(it->ifa_addr);
      ::inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
    } else {
      continue;
    }
    out.emplace_back(text);
  }
  ::freeifaddrs(list);
  return out;
}

std::string SystemHost::OsProductVersion() {
  std::string version = ReadAssignment("/etc/os-release", "VERSION_ID");
  if (!version.empty()) return version;
  utsname uts{};
  if (::uname(&uts) == 0) return uts.release;
  return {};
}

std::string SystemHost::UserName() {
  if (passwd* pw = ::getpwuid(::getuid())) return pw->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : "";
}

std::string SystemHost::HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (passwd* pw = ::getpwuid(::getuid())) return pw->pw_dir;
  return "/";
}

std::string SystemHost::AppVersion() { return HOVRA_APP_VERSION; }

}  // namespace hovra::platform::posix
