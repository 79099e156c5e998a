#include "platform/journal/json_line.h"

#include <charconv>
#include <cmath>

#include "base/utf8.h"

namespace hovra::platform::journal {

void AppendJsonString(std::string& out, std::string_view value) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  size_t i = 0;
  while (i < value.size()) {
    unsigned char c = static_cast<unsigned char>(value[i]);
    if (c >= 0x80) {
      char32_t decoded = 0;
      size_t len = DecodeUtf8(value, i, decoded);
      if (len == 0) {
        out += "\xEF\xBF\xBD";
        ++i;
      } else {
        out.append(value.substr(i, len));
        i += len;
      }
      continue;
    }
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += kHex[c >> 4];
          out += kHex[c & 0xF];
        } else {
          out += static_cast<char>(c);
        }
    }
    ++i;
  }
  out += '"';
}

void JsonLine::Key(std::string_view key) {
  if (text_.size() > 1) text_ += ',';
  AppendJsonString(text_, key);
  text_ += ':';
}

JsonLine& JsonLine::Text(std::string_view key, std::string_view value) {
  Key(key);
  AppendJsonString(text_, value);
  return *this;
}

JsonLine& JsonLine::Integer(std::string_view key, int64_t value) {
  Key(key);
  text_ += std::to_string(value);
  return *this;
}

JsonLine& JsonLine::Number(std::string_view key, double value) {
  Key(key);
  if (!std::isfinite(value)) {
    text_ += "null";
    return *this;
  }
  char buf[32];
  auto result = std::to_chars(buf, buf + sizeof buf, value);
  text_.append(buf, result.ptr);
  return *this;
}

JsonLine& JsonLine::Bool(std::string_view key, bool value) {
  Key(key);
  text_ += value ? "true" : "false";
  return *this;
}

JsonLine& JsonLine::Units(std::string_view key, std::u16string_view units) {
  Key(key);
  text_ += '[';
  for (size_t i = 0; i < units.size(); ++i) {
    if (i) text_ += ',';
    text_ += std::to_string(static_cast<unsigned>(units[i]));
  }
  text_ += ']';
  return *this;
}

std::string JsonLine::Finish() {
  text_ += '}';
  return std::move(text_);
}

}  // namespace hovra::platform::journal
