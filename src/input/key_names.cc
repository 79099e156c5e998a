#include "input/key_names.h"

#include <map>

namespace hovra {
namespace {

std::map<std::string, short> s_lowerKeyMap;
std::map<std::string, short> s_upperKeyMap;

template <size_t N>
void FillFrom(const std::array<KeyEntry, N>& table, std::map<std::string, short>& map) {
  for (const KeyEntry& entry : table) map.emplace(entry.name, entry.code);
}

}  // namespace

void FillKeyNameMaps() {
  FillFrom(LOWER_KEY_ENTRIES, s_lowerKeyMap);
  FillFrom(UPPER_KEY_ENTRIES, s_upperKeyMap);
}

short StringToVKValue(const std::string& name, bool* needsShift) {
  if (auto lower = s_lowerKeyMap.find(name); lower != s_lowerKeyMap.end()) {
    if (needsShift) *needsShift = false;
    return lower->second;
  }
  if (auto upper = s_upperKeyMap.find(name); upper != s_upperKeyMap.end()) {
    if (needsShift) *needsShift = true;
    return upper->second;
  }
  return kNoKey;
}

}  // namespace hovra
