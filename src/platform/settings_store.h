// The per-user key-value store ("UUID", "password", "passwordCheck"). Reads may happen on
// one thread while another writes, and a change made by another process is seen.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hovra::platform {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::optional<std::string> GetString(std::string_view key) = 0;
  virtual void SetString(std::string_view key, std::string_view value) = 0;
  virtual int64_t GetInteger(std::string_view key) = 0;  // 0 when absent
  virtual void SetInteger(std::string_view key, int64_t value) = 0;
  virtual bool GetBool(std::string_view key) = 0;  // false when absent
  virtual void SetBool(std::string_view key, bool value) = 0;
  // Makes the changes durable; false when they could not be written.
  virtual bool Synchronize() = 0;
};

}  // namespace hovra::platform
