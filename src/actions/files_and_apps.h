// Facts about the program and the computer's files for the clients: the application's
// version, the installation's identifier, one-level folder listings, and opening a file
// with its default application. Called on the worker thread.
#pragma once

#include <cstddef>
#include <string>

#include "platform/script_services.h"

namespace hovra::actions {

// The folder-listing reply holds this much, NUL included; longer listings are cut
// after the last whole entry that fits and still end with "\n".
inline constexpr size_t kFolderListingBytes = 65536;

inline constexpr platform::ScriptText kOpenFileFinder{
    "OpenFile.Finder", "tell application \"Finder\" to open POSIX file \"%@\""};

std::string GetAppVersion();

// The installation's identifier; SetUUID stores it at start-up, before the worker runs.
void SetUUID(std::string uuid);
const std::string& GetUUID();

// A leading "~" or "~/" stands for the user's home folder.
std::string ExpandTilde(std::string_view path);

// Appends the listing of the folder at `path`: per entry "d" (folder, or link to one) or
// "f", the name and "\r"; then "\n". A folder that cannot be listed gives only "\n".
void browseFile(const char* path, std::string& out);

// Has Finder open the file or folder at `path` with its default application.
void LaunchFile(const char* path);

}  // namespace hovra::actions
