// A settings store that lives as long as the process (tests, and hosts without storage).
#pragma once

#include <map>
#include <mutex>
#include <variant>

#include "platform/settings_store.h"

namespace hovra::platform {

class MemorySettingsStore : public SettingsStore {
 public:
  std::optional<std::string> GetString(std::string_view key) override;
  void SetString(std::string_view key, std::string_view value) override;
  int64_t GetInteger(std::string_view key) override;
  void SetInteger(std::string_view key, int64_t value) override;
  bool GetBool(std::string_view key) override;
  void SetBool(std::string_view key, bool value) override;
  bool Synchronize() override { return true; }
  void SetValues(std::span<const NamedSetting> values) override;  // under one lock

 private:
  using Value = std::variant<std::string, int64_t, bool>;
  std::mutex mutex_;
  std::map<std::string, Value, std::less<>> values_;
};

}  // namespace hovra::platform
