// The Dock description sent to clients: the catalogue as compact JSON, one object per
// entry with "Name", "BundleID" and "Running", then turned into 7-bit ASCII where every
// other character is a backslash escape ("\351" for e-acute, "\u4e2d" above U+00FF) and
// every backslash already in the JSON text is doubled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/app_entry.h"

namespace hovra::catalogue {

// Compact JSON, members in the order Name, BundleID, Running. Entries lacking a name or
// an identifier are left out: a client can neither show nor launch them. Invalid UTF-8
// in a text is written as U+FFFD.
std::string DockJson(const std::vector<AppEntry>& entries);

// The non-lossy ASCII form of a UTF-8 text, one UTF-16 unit at a time.
std::string NonLossyAscii(std::string_view utf8);

// DockJson followed by NonLossyAscii: the text of the "dock_info " reply.
std::string DockDescription(const std::vector<AppEntry>& entries);

}  // namespace hovra::catalogue
