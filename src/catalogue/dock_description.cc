#include "catalogue/dock_description.h"

#include "catalogue/utf8_decode.h"

namespace hovra::catalogue {
namespace {

constexpr char kLowerHex[] = "0123456789abcdef";

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// A JSON string the way the platform's writer produces it: "/" escaped too.
void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (size_t pos = 0; pos < text.size();) {
    char32_t c = NextCodePoint(text, pos);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '/':
        out += "\\/";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
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
      default:
        if (c < 0x20) {
          out += "\\u00";
          out += kLowerHex[c >> 4];
          out += kLowerHex[c & 0xF];
        } else {
          AppendUtf8(out, c);
        }
    }
  }
  out += '"';
}

void AppendOctalEscape(std::string& out, char32_t unit) {
  out += '\\';
  out += static_cast<char>('0' + ((unit >> 6) & 7));
  out += static_cast<char>('0' + ((unit >> 3) & 7));
  out += static_cast<char>('0' + (unit & 7));
}

void AppendUnicodeEscape(std::string& out, char32_t unit) {
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kLowerHex[(unit >> shift) & 0xF];
}

void AppendAsciiUnit(std::string& out, char32_t unit) {
  if (unit == '\\') {
    out += "\\\\";
  } else if ((unit >= 0x20 && unit < 0x7F) || unit == '\t' || unit == '\n' || unit == '\r') {
    out += static_cast<char>(unit);
  } else if (unit < 0x100) {
    AppendOctalEscape(out, unit);
  } else {
    AppendUnicodeEscape(out, unit);
  }
}

}  // namespace

std::string DockJson(const std::vector<AppEntry>& entries) {
  std::string out = "[";
  bool first = true;
  for (const AppEntry& entry : entries) {
    if (!entry.name || !entry.bundleId) continue;
    if (!first) out += ',';
    first = false;
    out += "{\"Name\":";
    AppendJsonString(out, *entry.name);
    out += ",\"BundleID\":";
    AppendJsonString(out, *entry.bundleId);
    out += entry.running ? ",\"Running\":true}" : ",\"Running\":false}";
  }
  out += ']';
  return out;
}

std::string NonLossyAscii(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    char32_t c = NextCodePoint(utf8, pos);
    if (c >= 0x10000) {  // two UTF-16 units, each escaped on its own
      c -= 0x10000;
      AppendAsciiUnit(out, 0xD800 + (c >> 10));
      AppendAsciiUnit(out, 0xDC00 + (c & 0x3FF));
    } else {
      AppendAsciiUnit(out, c);
    }
  }
  return out;
}

std::string DockDescription(const std::vector<AppEntry>& entries) {
  return NonLossyAscii(DockJson(entries));
}

}  // namespace hovra::catalogue
