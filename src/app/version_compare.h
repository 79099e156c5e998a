// Orders version texts the way the update check needs: where both texts hold an ASCII
// digit, the whole digit runs compare by value (1.10 > 1.9, 1.01 = 1.1); elsewhere the
// first differing UTF-16 unit decides; a text that is a prefix of the other is smaller.
#pragma once

#include <string_view>

namespace hovra::app {

enum class VersionOrder { kAscending = -1, kSame = 0, kDescending = 1 };

// kDescending when `left` is the greater (newer) version.
VersionOrder CompareVersions(std::string_view left, std::string_view right);

}  // namespace hovra::app
