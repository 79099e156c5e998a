// The per-user key-value store ("UUID", "password", "passwordCheck"). Reads may happen on
// one thread while another writes, and a change made by another process is seen.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace hovra::platform {

using SettingValue = std::variant<std::string, int64_t, bool>;
using NamedSetting = std::pair<std::string_view, SettingValue>;

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

  // Values that belong together (a new PIN and the protection flag): a store that can
  // write them as one change does, so that no reader, nor a crash between two writes, ever
  // sees one without the other. This default sets them one by one.
  virtual void SetValues(std::span<const NamedSetting> values) {
    for (const auto& [key, value] : values) {
      if (auto* text = std::get_if<std::string>(&value)) SetString(key, *text);
      if (auto* number = std::get_if<int64_t>(&value)) SetInteger(key, *number);
      if (auto* flag = std::get_if<bool>(&value)) SetBool(key, *flag);
    }
  }
  // Why the last write failed, in words for the user; empty when nothing failed.
  virtual std::string LastWriteError() { return {}; }
};

}  // namespace hovra::platform
