#include "platform/memory_settings_store.h"

namespace hovra::platform {

std::optional<std::string> MemorySettingsStore::GetString(std::string_view key) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = values_.find(key);
  if (found == values_.end() || !std::holds_alternative<std::string>(found->second)) {
    return std::nullopt;
  }
  return std::get<std::string>(found->second);
}

void MemorySettingsStore::SetString(std::string_view key, std::string_view value) {
  std::lock_guard<std::mutex> lock(mutex_);
  values_[std::string(key)] = std::string(value);
}

int64_t MemorySettingsStore::GetInteger(std::string_view key) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = values_.find(key);
  if (found == values_.end()) return 0;
  if (auto* i = std::get_if<int64_t>(&found->second)) return *i;
  if (auto* b = std::get_if<bool>(&found->second)) return *b ? 1 : 0;
  return 0;
}

void MemorySettingsStore::SetInteger(std::string_view key, int64_t value) {
  std::lock_guard<std::mutex> lock(mutex_);
  values_[std::string(key)] = value;
}

bool MemorySettingsStore::GetBool(std::string_view key) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto found = values_.find(key);
  if (found == values_.end()) return false;
  if (auto* b = std::get_if<bool>(&found->second)) return *b;
  if (auto* i = std::get_if<int64_t>(&found->second)) return *i != 0;
  return false;
}

void MemorySettingsStore::SetBool(std::string_view key, bool value) {
  std::lock_guard<std::mutex> lock(mutex_);
  values_[std::string(key)] = value;
}

void MemorySettingsStore::SetValues(std::span<const NamedSetting> values) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [key, value] : values) values_[std::string(key)] = value;
}

}  // namespace hovra::platform
