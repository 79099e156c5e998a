#include "platform/posix/private_files.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace hovra::platform::posix {
namespace {

namespace fs = std::filesystem;

constexpr size_t kTemporarySuffixChars = 6;  // mkstemp's XXXXXX

std::string KindProblem(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISFIFO(mode)) return "it is a named pipe";
  if (S_ISSOCK(mode)) return "it is a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device";
  return "it is not a regular file";
}

bool WriteAll(int fd, const std::string& data) {
  size_t off = 0;
  while (off < data.size()) {
    ssize_t n = ::write(fd, data.data() + off, data.size() - off);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    off += static_cast<size_t>(n);
  }
  return true;
}

// Makes a rename durable; a failure here loses nothing already written.
void SyncFolder(const fs::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Moves `from` to `to` unless `to` exists; false with errno (EEXIST when taken).
bool RenameNoReplace(const fs::path& from, const fs::path& to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;  // else the file system cannot; below
#endif
  struct stat st {};
  if (::lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool IsTemporaryOf(const std::string& name, const std::string& base) {
  if (name.size() != base.size() + 1 + kTemporarySuffixChars) return false;
  if (name.compare(0, base.size(), base) != 0 || name[base.size()] != '.') return false;
  for (size_t i = base.size() + 1; i < name.size(); ++i) {
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

}  // namespace

FileRead ReadRegularFile(const fs::path& file, size_t maxBytes, bool longerIsError) {
  FileRead result;
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return result;  // nothing there
    result.outcome = FileRead::Outcome::kUnusable;
    result.problem = std::string("it cannot be looked at: ") + std::strerror(errno);
    return result;
  }
  result.outcome = FileRead::Outcome::kUnusable;
  if (!S_ISREG(st.st_mode)) {
    result.problem = KindProblem(st.st_mode);
    return result;
  }
  int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    result.problem = std::string("it cannot be opened: ") + std::strerror(errno);
    return result;
  }
  // Replaced between the look and the open: judged by what was opened.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    result.problem = KindProblem(st.st_mode);
    ::close(fd);
    return result;
  }
  std::string text;
  char chunk[4096];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.problem = std::string("it cannot be read: ") + std::strerror(errno);
      ::close(fd);
      return result;
    }
    if (n == 0) break;
    text.append(chunk, static_cast<size_t>(n));
    if (text.size() > maxBytes && !longerIsError) {
      text.resize(maxBytes);
      break;
    }
    if (text.size() > maxBytes) {
      result.problem = "it is larger than " + std::to_string(maxBytes) + " bytes";
      ::close(fd);
      return result;
    }
  }
  ::close(fd);
  result.outcome = FileRead::Outcome::kRead;
  result.text = std::move(text);
  return result;
}

bool CreatePrivateFolder(const fs::path& folder, std::error_code& ec) {
  ec.clear();
  fs::path built;
  for (const fs::path& part : folder) {
    built /= part;
    if (::mkdir(built.c_str(), 0700) != 0 && errno != EEXIST) {
      ec = std::error_code(errno, std::generic_category());
      return false;
    }
  }
  if (!fs::is_directory(folder, ec)) {
    if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
    return false;
  }
  return true;
}

bool ReplaceFile(const fs::path& file, const std::string& data, int& error) {
  fs::path folder = file.parent_path().empty() ? "." : file.parent_path();
  std::error_code ec;
  if (!CreatePrivateFolder(folder, ec)) {
    error = ec.value();
    return false;
  }
  std::string temp = (folder / (file.filename().string() + ".XXXXXX")).string();
  int fd = ::mkostemp(temp.data(), O_CLOEXEC);  // mode 0600: the PIN lives here
  if (fd < 0) {
    error = errno;
    return false;
  }
  bool ok = WriteAll(fd, data) && ::fsync(fd) == 0;
  if (!ok) error = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(temp.c_str(), file.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

std::optional<fs::path> KeepAside(const fs::path& file) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = file.string() + ".unreadable-" + stamp;
  constexpr int kMostTries = 100;
  for (int n = 1; n <= kMostTries; ++n) {
    fs::path target = n == 1 ? base : base + "-" + std::to_string(n);
    if (RenameNoReplace(file, target)) {
      SyncFolder(file.parent_path().empty() ? "." : file.parent_path());
      return target;
    }
    if (errno != EEXIST) return std::nullopt;
  }
  errno = EEXIST;
  return std::nullopt;
}

size_t RemoveStaleTemporaries(const fs::path& file, std::chrono::seconds age) {
  fs::path folder = file.parent_path().empty() ? "." : file.parent_path();
  const std::string base = file.filename().string();
  const std::time_t cutoff = std::time(nullptr) - static_cast<std::time_t>(age.count());
  size_t removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    struct stat st {};
    if (!IsTemporaryOf(name, base) || ::lstat(it->path().c_str(), &st) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_mtime > cutoff) continue;
    if (::unlink(it->path().c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace hovra::platform::posix
