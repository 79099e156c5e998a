// The configuration folder holds the PIN: it must be private before anything is read from
// or written to it. A missing folder is created 0700 (its missing parents too); an
// existing one, and the files the program keeps in it, must belong to this user and be
// writable by nobody else, or the program refuses to use them.
//   std::string problem = CheckConfigFolder(folder);
//   if (!problem.empty()) { fprintf(stderr, "hovra-server: %s\n", problem.c_str()); exit 1; }
#pragma once

#include <filesystem>
#include <string>

namespace hovra::app {

// Empty when the folder may be used, else what is wrong and how to fix it.
std::string CheckConfigFolder(const std::filesystem::path& folder);

// The same, printed on standard error; false when refused.
bool ConfigFolderIsPrivate(const std::filesystem::path& folder);

// Raises the soft limit of open descriptors to the hard limit, so that a crowd of idle
// connections does not lock new clients out at the usual 1,024.
void RaiseDescriptorLimit();

}  // namespace hovra::app
