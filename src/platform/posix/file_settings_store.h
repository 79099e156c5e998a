// The per-user settings kept as one JSON object in a file ("settings.json" in the
// configuration folder). Writes replace the file atomically (temporary file, fsync,
// rename), so a crash mid-write leaves the old content. Every read first checks, with one
// stat(), whether another process replaced the file, and reloads it then. Thread-safe.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>

#include "base/log.h"
#include "platform/settings_store.h"

namespace hovra::platform::posix {

inline constexpr const char* kSettingsFileName = "settings.json";

class FileSettingsStore : public SettingsStore {
 public:
  // `file` need not exist; its folder is created by the first write when missing.
  explicit FileSettingsStore(std::filesystem::path file);

  std::optional<std::string> GetString(std::string_view key) override;
  void SetString(std::string_view key, std::string_view value) override;
  int64_t GetInteger(std::string_view key) override;
  void SetInteger(std::string_view key, int64_t value) override;
  bool GetBool(std::string_view key) override;
  void SetBool(std::string_view key, bool value) override;
  // Writes changes that an earlier write could not; false when they are still unwritten.
  bool Synchronize() override;

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
  const nlohmann::json* FindLocked(std::string_view key);
  void SetLocked(std::string_view key, nlohmann::json value);
  bool WriteLocked();  // merges the pending changes into the file

  std::filesystem::path file_;
  std::mutex mutex_;
  FileStamp stamp_;
  nlohmann::json stored_ = nlohmann::json::object();   // the file as last read or written
  nlohmann::json pending_ = nlohmann::json::object();  // set here, not yet written
  bool unreadable_ = false;                            // the file exists but holds no JSON object
  LogOnce badFileLog_;
  LogOnce writeFailLog_;
};

}  // namespace hovra::platform::posix
