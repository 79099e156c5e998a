// Small private files kept in the configuration folder, handled so that nothing in their
// place can hang, crash or expose the program:
//   ReadRegularFile       - only a regular file is read; opened without blocking (a FIFO in
//                           its place must not hang start-up), size-limited;
//   CreatePrivateFolder   - missing folders made 0700;
//   ReplaceFile           - a new 0600 file renamed over the old one: all or nothing;
//   KeepAside             - a file that cannot be used moved to a name not yet taken;
//   RemoveStaleTemporaries - what a replacement left behind when the process died mid-way.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace hovra::platform::posix {

struct FileRead {
  enum class Outcome { kRead, kMissing, kUnusable };
  Outcome outcome = Outcome::kMissing;
  std::string text;     // kRead
  std::string problem;  // kUnusable: what is wrong, in words for the user ("it is a folder")
};

// A file longer than `maxBytes` is unusable, or, with `longerIsError` false, read only as
// far as that.
FileRead ReadRegularFile(const std::filesystem::path& file, size_t maxBytes,
                         bool longerIsError = true);

bool CreatePrivateFolder(const std::filesystem::path& folder, std::error_code& ec);

// False with `error` (an errno value) when the old file had to stay as it was.
bool ReplaceFile(const std::filesystem::path& file, const std::string& data, int& error);

// "<name>.unreadable-YYYYMMDD-HHMMSS", with "-2", "-3" ... when that is taken; nothing when
// the file could not be moved (errno tells why).
std::optional<std::filesystem::path> KeepAside(const std::filesystem::path& file);

// A replacement's temporary files are named "<name>.XXXXXX" beside the file. Those older
// than `age` belong to no write still going on; they are removed. Returns how many.
inline constexpr std::chrono::seconds kStaleTemporaryAge{60};
size_t RemoveStaleTemporaries(const std::filesystem::path& file,
                              std::chrono::seconds age = kStaleTemporaryAge);

}  // namespace hovra::platform::posix
