// The two key-name tables of the protocol: names typed without Shift and names of
// characters typed with Shift, each with the macOS virtual key code of its (unshifted) key
// on a US layout. The compile-time checks below keep the row counts and the "every name
// once, in one table only" rule from drifting when a row is edited.
#pragma once

#include <array>
#include <cstddef>

namespace hovra {

struct KeyEntry {
  const char* name;
  short code;
};

// clang-format off
inline constexpr std::array<KeyEntry, 81> LOWER_KEY_ENTRIES{{
    {"0", 29}, {"1", 18}, {"2", 19}, {"3", 20}, {"4", 21},
    {"5", 23}, {"6", 22}, {"7", 26}, {"8", 28}, {"9", 25},
    {"a", 0}, {"b", 11}, {"c", 8}, {"d", 2}, {"e", 14}, {"f", 3}, {"g", 5},
    {"h", 4}, {"i", 34}, {"j", 38}, {"k", 40}, {"l", 37}, {"m", 46}, {"n", 45},
    {"o", 31}, {"p", 35}, {"q", 12}, {"r", 15}, {"s", 1}, {"t", 17}, {"u", 32},
    {"v", 9}, {"w", 13}, {"x", 7}, {"y", 16}, {"z", 6},
    {"F1", 122}, {"F2", 120}, {"F3", 99}, {"F4", 118}, {"F5", 96}, {"F6", 97},
    {"F7", 98}, {"F8", 100}, {"F9", 101}, {"F10", 109}, {"F11", 103}, {"F12", 111},
    {"ESC", 53}, {"RTN", 36}, {"BAS", 51}, {"TAB", 48}, {"CTRL", 59},
    {"ALT", 58}, {"SHIFT", 56}, {"CAP", 57}, {"INS", 114}, {"DEL", 117},
    {"HOME", 115}, {"END", 119}, {"PGUP", 116}, {"PGDN", 121}, {"UP", 126},
    {"DW", 125}, {"LF", 123}, {"RT", 124}, {"WIN", 55}, {"FN", 63},
    {" ", 49}, {"SPC", 49},
    {"-", 27}, {"=", 24}, {"`", 50}, {"[", 33}, {"]", 30}, {";", 41},
    {"'", 39}, {"\\", 42}, {",", 43}, {".", 47}, {"/", 44},
}};

inline constexpr std::array<KeyEntry, 47> UPPER_KEY_ENTRIES{{
    {"A", 0}, {"B", 11}, {"C", 8}, {"D", 2}, {"E", 14}, {"F", 3}, {"G", 5},
    {"H", 4}, {"I", 34}, {"J", 38}, {"K", 40}, {"L", 37}, {"M", 46}, {"N", 45},
    {"O", 31}, {"P", 35}, {"Q", 12}, {"R", 15}, {"S", 1}, {"T", 17}, {"U", 32},
    {"V", 9}, {"W", 13}, {"X", 7}, {"Y", 16}, {"Z", 6},
    {")", 29}, {"!", 18}, {"@", 19}, {"#", 20}, {"$", 21},
    {"%", 23}, {"^", 22}, {"&", 26}, {"*", 28}, {"(", 25},
    {"_", 27}, {"+", 24}, {"~", 50}, {"{", 33}, {"}", 30}, {":", 41},
    {"\"", 39}, {"|", 42}, {"<", 43}, {">", 47}, {"?", 44},
}};
// clang-format on

namespace key_table_checks {

constexpr bool SameName(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

// Every row filled (a missing row would leave a null name) and every name used once.
template <size_t N, size_t M>
constexpr bool AllNamesDistinct(const std::array<KeyEntry, N>& first,
                                const std::array<KeyEntry, M>& second) {
  constexpr size_t kTotal = N + M;
  auto nameAt = [&](size_t i) { return i < N ? first[i].name : second[i - N].name; };
  for (size_t i = 0; i < kTotal; ++i) {
    if (nameAt(i) == nullptr || nameAt(i)[0] == '\0') return false;
    for (size_t j = i + 1; j < kTotal; ++j) {
      if (nameAt(j) != nullptr && SameName(nameAt(i), nameAt(j))) return false;
    }
  }
  return true;
}

static_assert(AllNamesDistinct(LOWER_KEY_ENTRIES, UPPER_KEY_ENTRIES),
              "key names must be filled in and distinct across both tables");

}  // namespace key_table_checks
}  // namespace hovra
