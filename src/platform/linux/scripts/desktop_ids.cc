#include "platform/linux/scripts/desktop_ids.h"

#include <algorithm>
#include <cctype>

namespace hovra::platform::linux_desktop {

bool SameId(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::vector<std::string> KnownLinuxIds(std::string_view bundleId) {
  if (bundleId == "org.videolan.vlc") return {"vlc", "org.videolan.VLC"};
  if (bundleId == "com.spotify.client") return {"spotify", "com.spotify.Client"};
  return {};  // no Linux build: the workspace's table may name a stand-in
}

std::vector<std::string> ImpressIds() {
  return {"libreoffice-impress", "org.libreoffice.LibreOffice.impress"};
}

}  // namespace hovra::platform::linux_desktop
