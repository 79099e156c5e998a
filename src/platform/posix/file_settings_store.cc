#include "platform/posix/file_settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace hovra::platform::posix {
namespace {

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

// Makes the rename itself durable; a failure here loses nothing already written.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Writes `data` to a new file beside `file` and renames it over `file`. On any failure the
// temporary file is removed and `file` is as it was.
bool ReplaceFile(const std::filesystem::path& file, const std::string& data, int& error) {
  std::error_code ec;
  std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
  std::filesystem::create_directories(folder, ec);
  std::string temp = (folder / (file.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = errno;
    return false;
  }
  ::fchmod(fd, 0600);  // the PIN lives here: other users have no business reading it
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

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

bool FileSettingsStore::FileStamp::operator==(const FileStamp& other) const {
  return exists == other.exists && device == other.device && inode == other.inode &&
         size == other.size && SameTime(modified, other.modified) &&
         SameTime(changed, other.changed);
}

FileSettingsStore::FileSettingsStore(std::filesystem::path file) : file_(std::move(file)) {
  std::lock_guard<std::mutex> lock(mutex_);
  stamp_.exists = true;  // differs from any real stamp of a missing file: forces the load
  stamp_.inode = static_cast<ino_t>(-1);
  RefreshLocked();
}

FileSettingsStore::FileStamp FileSettingsStore::StampOf(const std::filesystem::path& file) {
  FileStamp stamp;
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return stamp;
  stamp.exists = true;
  stamp.device = st.st_dev;
  stamp.inode = st.st_ino;
  stamp.size = st.st_size;
  stamp.modified = st.st_mtim;
  stamp.changed = st.st_ctim;
  return stamp;
}

void FileSettingsStore::RefreshLocked() {
  FileStamp now = StampOf(file_);
  if (now == stamp_) return;
  stamp_ = now;
  stored_ = nlohmann::json::object();
  unreadable_ = false;
  if (!now.exists) return;
  std::ifstream in(file_, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  nlohmann::json parsed = nlohmann::json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
  if (parsed.is_object()) {
    stored_ = std::move(parsed);
    badFileLog_.Rearm();
  } else {
    unreadable_ = true;
    if (badFileLog_.First()) {
      Log("settings file %s is not a JSON object; using no settings until it is replaced",
          file_.c_str());
    }
  }
}

const nlohmann::json* FileSettingsStore::FindLocked(std::string_view key) {
  RefreshLocked();
  std::string name(key);
  if (auto it = pending_.find(name); it != pending_.end()) return &*it;
  if (auto it = stored_.find(name); it != stored_.end()) return &*it;
  return nullptr;
}

void FileSettingsStore::SetLocked(std::string_view key, nlohmann::json value) {
  pending_[std::string(key)] = std::move(value);
  WriteLocked();
}

bool FileSettingsStore::WriteLocked() {
  if (pending_.empty()) return true;
  RefreshLocked();  // keep what another process wrote meanwhile
  nlohmann::json merged = stored_;
  if (unreadable_) Log("replacing the unreadable settings file %s", file_.c_str());
  for (const auto& [name, value] : pending_.items()) merged[name] = value;
  int error = 0;
  // Text that is not UTF-8 is written with replacement characters rather than refused.
  std::string text = merged.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  if (!ReplaceFile(file_, text, error)) {
    if (writeFailLog_.First()) {
      Log("cannot write settings file %s: %s", file_.c_str(), std::strerror(error));
    }
    return false;
  }
  writeFailLog_.Rearm();
  stored_ = std::move(merged);
  pending_ = nlohmann::json::object();
  stamp_ = StampOf(file_);
  return true;
}

std::optional<std::string> FileSettingsStore::GetString(std::string_view key) {
  std::lock_guard<std::mutex> lock(mutex_);
  const nlohmann::json* value = FindLocked(key);
  if (value == nullptr || !value->is_string()) return std::nullopt;
  return value->get<std::string>();
}

void FileSettingsStore::SetString(std::string_view key, std::string_view value) {
  std::lock_guard<std::mutex> lock(mutex_);
  SetLocked(key, std::string(value));
}

int64_t FileSettingsStore::GetInteger(std::string_view key) {
  std::lock_guard<std::mutex> lock(mutex_);
  const nlohmann::json* value = FindLocked(key);
  if (value == nullptr) return 0;
  if (value->is_number_integer()) return value->get<int64_t>();
  if (value->is_boolean()) return value->get<bool>() ? 1 : 0;
  return 0;
}

void FileSettingsStore::SetInteger(std::string_view key, int64_t value) {
  std::lock_guard<std::mutex> lock(mutex_);
  SetLocked(key, value);
}

bool FileSettingsStore::GetBool(std::string_view key) {
  std::lock_guard<std::mutex> lock(mutex_);
  const nlohmann::json* value = FindLocked(key);
  if (value == nullptr) return false;
  if (value->is_boolean()) return value->get<bool>();
  if (value->is_number_integer()) return value->get<int64_t>() != 0;
  return false;
}

void FileSettingsStore::SetBool(std::string_view key, bool value) {
  std::lock_guard<std::mutex> lock(mutex_);
  SetLocked(key, value);
}

bool FileSettingsStore::Synchronize() {
  std::lock_guard<std::mutex> lock(mutex_);
  return WriteLocked();
}

}  // namespace hovra::platform::posix
