// The per-user settings kept as one JSON object in a file ("settings.json" in the
// configuration folder). Writes replace the file atomically (temporary file, fsync,
// rename), so a crash mid-write leaves the old content; values set together with
// SetValues go into one replacement. Every read first checks, with one stat(), whether
// another process replaced the file, and reloads it then. Thread-safe.
//
// Fail-closed: a file that is there but cannot be used (not a regular file, unreadable,
// too large, not JSON, nested too deeply, or a known key of the wrong type) is never
// overwritten. It is moved aside under a new name, the guard's fresh values (protection on
// with a new PIN) are written in its place, and the guard is told what happened.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "base/log.h"
#include "platform/settings_store.h"

namespace hovra::platform::posix {

inline constexpr const char* kSettingsFileName = "settings.json";
inline constexpr size_t kMaxSettingsBytes = 64 * 1024;  // the real file is under 200 bytes

// What happened to a settings file that could not be used.
struct SettingsRecovery {
  std::filesystem::path file;
  std::string problem;           // "it is not JSON", "it is a folder" ...
  std::filesystem::path keptAs;  // empty when it could not be moved
  std::string keepError;         // why it could not be moved
  nlohmann::json freshValues;    // what the store holds now
  bool written = false;          // whether they reached the file
  std::string writeError;
};

struct SettingsGuard {
  enum class Type { kString, kInteger, kBoolean };  // a boolean may also be 0 or 1
  std::vector<std::pair<std::string, Type>> types;  // known keys: another type is unusable
  // The values put in place of an unusable file (called under the store's lock: it must
  // not use the store).
  std::function<nlohmann::json()> freshValues;
  // Told after the fresh values were set (same rule).
  std::function<void(const SettingsRecovery&)> report;
};

class FileSettingsStore : public SettingsStore {
 public:
  // `file` need not exist; its folder is created (0700) by the first write when missing.
  explicit FileSettingsStore(std::filesystem::path file, SettingsGuard guard = {});

  std::optional<std::string> GetString(std::string_view key) override;
  void SetString(std::string_view key, std::string_view value) override;
  int64_t GetInteger(std::string_view key) override;
  void SetInteger(std::string_view key, int64_t value) override;
  bool GetBool(std::string_view key) override;
  void SetBool(std::string_view key, bool value) override;
  void SetValues(std::span<const NamedSetting> values) override;
  // Writes changes that an earlier write could not; false when they are still unwritten.
  bool Synchronize() override;
  std::string LastWriteError() override;

  const std::filesystem::path& File() const { return file_; }

 private:
  // What identifies one version of the file: a rename gives a new inode, an edit in place
  // a new size or change time.
  struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    bool operator==(const FileStamp& other) const;
  };

  static FileStamp StampOf(const std::filesystem::path& file);
  void RefreshLocked();  // reloads the file when its stamp changed
  // Why `text` cannot be used, or empty when `parsed` holds its object.
  std::string ParseLocked(const std::string& text, nlohmann::json& parsed) const;
  void RecoverLocked(const FileStamp& seen, const std::string& problem);
  const nlohmann::json* FindLocked(std::string_view key);
  bool WriteLocked();  // merges the pending changes into the file

  std::filesystem::path file_;
  SettingsGuard guard_;
  std::mutex mutex_;
  FileStamp stamp_;
  nlohmann::json stored_ = nlohmann::json::object();   // the file as last read or written
  nlohmann::json pending_ = nlohmann::json::object();  // set here, not yet written
  bool unusableInPlace_ = false;  // an unusable file could not be moved: never write over it
  std::string writeError_;
  LogOnce writeFailLog_;
};

}  // namespace hovra::platform::posix
