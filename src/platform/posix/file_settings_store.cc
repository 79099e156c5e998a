#include "platform/posix/file_settings_store.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "base/json_depth.h"
#include "platform/posix/private_files.h"

namespace hovra::platform::posix {
namespace {

constexpr int kMostReloads = 3;  // a file replaced again and again while being looked at

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool HasType(const nlohmann::json& value, SettingsGuard::Type type) {
  switch (type) {
    case SettingsGuard::Type::kString:
      return value.is_string();
    case SettingsGuard::Type::kInteger:
      return value.is_number_integer();
    case SettingsGuard::Type::kBoolean:
      return value.is_boolean() || value == 0 || value == 1;
  }
  return false;
}

const char* TypeWords(SettingsGuard::Type type) {
  switch (type) {
    case SettingsGuard::Type::kString:
      return "a text";
    case SettingsGuard::Type::kInteger:
      return "a whole number";
    case SettingsGuard::Type::kBoolean:
      return "true or false";
  }
  return "";
}

nlohmann::json ToJson(const SettingValue& value) {
  return std::visit([](const auto& v) { return nlohmann::json(v); }, value);
}

}  // namespace

bool FileSettingsStore::FileStamp::operator==(const FileStamp& other) const {
  return exists == other.exists && device == other.device && inode == other.inode &&
         size == other.size && SameTime(modified, other.modified) &&
         SameTime(changed, other.changed);
}

FileSettingsStore::FileSettingsStore(std::filesystem::path file, SettingsGuard guard)
    : file_(std::move(file)), guard_(std::move(guard)) {
  std::lock_guard<std::mutex> lock(mutex_);
  RemoveStaleTemporaries(file_);  // a PIN may be in what an interrupted write left
  stamp_.exists = true;           // differs from any real stamp of a missing file: forces the load
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

std::string FileSettingsStore::ParseLocked(const std::string& text, nlohmann::json& parsed) const {
  if (!JsonNestingWithin(text)) {
    return "it is nested more than " + std::to_string(kMaxJsonDepth) + " levels deep";
  }
  parsed = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (parsed.is_discarded()) return "it is not JSON (cut short or damaged)";
  if (!parsed.is_object()) return "it holds no JSON object";
  for (const auto& [key, type] : guard_.types) {
    auto found = parsed.find(key);
    if (found != parsed.end() && !HasType(*found, type)) {
      return "\"" + key + "\" is not " + TypeWords(type);
    }
  }
  return {};
}

void FileSettingsStore::RefreshLocked() {
  for (int attempt = 0; attempt < kMostReloads; ++attempt) {
    FileStamp now = StampOf(file_);
    if (now == stamp_) return;
    stamp_ = now;
    stored_ = nlohmann::json::object();
    unusableInPlace_ = false;
    FileRead read = ReadRegularFile(file_, kMaxSettingsBytes);
    if (read.outcome == FileRead::Outcome::kMissing) return;
    nlohmann::json parsed;
    std::string problem = read.outcome == FileRead::Outcome::kUnusable
                              ? read.problem
                              : ParseLocked(read.text, parsed);
    if (problem.empty()) {
      stored_ = std::move(parsed);
      return;
    }
    // Only the version that was judged is moved aside; one that another process put in
    // its place meanwhile is read afresh.
    if (StampOf(file_) == now) {
      RecoverLocked(now, problem);
      return;
    }
  }
}

void FileSettingsStore::RecoverLocked(const FileStamp& seen, const std::string& problem) {
  SettingsRecovery recovery;
  recovery.file = file_;
  recovery.problem = problem;
  if (std::optional<std::filesystem::path> kept = KeepAside(file_)) {
    recovery.keptAs = *kept;
    stamp_ = StampOf(file_);
  } else {
    recovery.keepError = std::strerror(errno);
    stamp_ = seen;
    unusableInPlace_ = true;
  }
  recovery.freshValues = guard_.freshValues ? guard_.freshValues() : nlohmann::json::object();
  for (const auto& [name, value] : recovery.freshValues.items()) pending_[name] = value;
  recovery.written = WriteLocked();
  recovery.writeError = writeError_;
  if (guard_.report) {
    guard_.report(recovery);
  } else {
    Log("settings file %s cannot be used (%s); %s", file_.c_str(), problem.c_str(),
        recovery.keptAs.empty() ? "it is left as it is" : "it was moved aside");
  }
}

const nlohmann::json* FileSettingsStore::FindLocked(std::string_view key) {
  RefreshLocked();
  std::string name(key);
  if (auto it = pending_.find(name); it != pending_.end()) return &*it;
  if (auto it = stored_.find(name); it != stored_.end()) return &*it;
  return nullptr;
}

bool FileSettingsStore::WriteLocked() {
  if (pending_.empty()) return true;
  RefreshLocked();  // keep what another process wrote meanwhile
  if (unusableInPlace_) {
    writeError_ =
        "the unusable settings file " + file_.string() + " could not be moved out of the way";
    return false;
  }
  nlohmann::json merged = stored_;
  for (const auto& [name, value] : pending_.items()) merged[name] = value;
  int error = 0;
  // Text that is not UTF-8 is written with replacement characters rather than refused.
  std::string text = merged.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  if (!ReplaceFile(file_, text, error)) {
    writeError_ = "the settings file " + file_.string() + " could not be written (" +
                  std::strerror(error) + ")";
    if (writeFailLog_.First()) Log("%s", writeError_.c_str());
    return false;
  }
  writeFailLog_.Rearm();
  writeError_.clear();
  stored_ = std::move(merged);
  pending_ = nlohmann::json::object();
  stamp_ = StampOf(file_);
  RemoveStaleTemporaries(file_);
  return true;
}

std::optional<std::string> FileSettingsStore::GetString(std::string_view key) {
  std::lock_guard<std::mutex> lock(mutex_);
  const nlohmann::json* value = FindLocked(key);
  if (value == nullptr || !value->is_string()) return std::nullopt;
  return value->get<std::string>();
}

void FileSettingsStore::SetString(std::string_view key, std::string_view value) {
  SetValues(std::array{NamedSetting{key, std::string(value)}});
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
  SetValues(std::array{NamedSetting{key, value}});
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
  SetValues(std::array{NamedSetting{key, value}});
}

void FileSettingsStore::SetValues(std::span<const NamedSetting> values) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [key, value] : values) pending_[std::string(key)] = ToJson(value);
  WriteLocked();
}

bool FileSettingsStore::Synchronize() {
  std::lock_guard<std::mutex> lock(mutex_);
  return WriteLocked();
}

std::string FileSettingsStore::LastWriteError() {
  std::lock_guard<std::mutex> lock(mutex_);
  return writeError_;
}

}  // namespace hovra::platform::posix
