// Random identifiers for the installation: a version-4 UUID in the usual 36-character
// text form, upper-case hexadecimal digits grouped 8-4-4-4-12 with hyphens.
#pragma once

#include <string>

namespace hovra::catalogue {

std::string UUIDString();

}  // namespace hovra::catalogue
