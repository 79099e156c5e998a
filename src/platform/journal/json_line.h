// Builds one compact JSON object, member by member, for the journal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hovra::platform::journal {

class JsonLine {
 public:
  JsonLine& Text(std::string_view key, std::string_view value);
  JsonLine& Integer(std::string_view key, int64_t value);
  // Whole numbers are written without a fraction, others in their shortest exact form.
  JsonLine& Number(std::string_view key, double value);
  JsonLine& Bool(std::string_view key, bool value);
  JsonLine& Units(std::string_view key, std::u16string_view units);
  std::string Finish();

 private:
  void Key(std::string_view key);
  std::string text_ = "{";
};

// Appends `value` as a JSON string literal. Bytes that are not valid UTF-8 (the network
// can send anything) become U+FFFD so that every journal line stays valid JSON.
void AppendJsonString(std::string& out, std::string_view value);

}  // namespace hovra::platform::journal
