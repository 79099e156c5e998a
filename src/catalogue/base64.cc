#include "catalogue/base64.h"

#include <array>
#include <cstring>

namespace hovra::catalogue {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kLineCharacters = 64;  // per line when lines are separated
constexpr uint8_t kNotInAlphabet = 0xFF;

constexpr std::array<uint8_t, 256> MakeDecodeTable() {
  std::array<uint8_t, 256> table{};
  for (auto& value : table) value = kNotInAlphabet;
  for (uint8_t i = 0; i < 64; ++i) table[static_cast<uint8_t>(kAlphabet[i])] = i;
  return table;
}
constexpr std::array<uint8_t, 256> kDecode = MakeDecodeTable();

void AppendQuantum(std::string& out, const uint8_t* bytes, size_t count) {
  uint32_t bits = static_cast<uint32_t>(bytes[0]) << 16;
  if (count > 1) bits |= static_cast<uint32_t>(bytes[1]) << 8;
  if (count > 2) bits |= bytes[2];
  out += kAlphabet[(bits >> 18) & 0x3F];
  out += kAlphabet[(bits >> 12) & 0x3F];
  out += count > 1 ? kAlphabet[(bits >> 6) & 0x3F] : '=';
  out += count > 2 ? kAlphabet[bits & 0x3F] : '=';
}

}  // namespace

std::string NewBase64Encode(const void* input, size_t length, bool separateLines,
                            size_t* outputLength) {
  const auto* bytes = static_cast<const uint8_t*>(input);
  std::string out;
  size_t characters = (length + 2) / 3 * 4;
  out.reserve(characters + (separateLines ? characters / kLineCharacters * 2 : 0));
  for (size_t i = 0; i < length; i += 3) {
    // A line ends after every 64 characters, but never after the last one.
    if (separateLines && i > 0 && (i / 3 * 4) % kLineCharacters == 0) out += "\r\n";
    AppendQuantum(out, bytes + i, length - i < 3 ? length - i : 3);
  }
  if (outputLength != nullptr) *outputLength = out.size();
  return out;
}

std::vector<uint8_t> NewBase64Decode(const char* input, size_t length, size_t* outputLength) {
  if (length == kNulTerminated) length = std::strlen(input);
  std::vector<uint8_t> out;
  out.reserve((length + 3) / 4 * 3);
  uint32_t bits = 0;
  int pending = 0;  // valid characters gathered in `bits`
  for (size_t i = 0; i < length; ++i) {
    uint8_t value = kDecode[static_cast<uint8_t>(input[i])];
    if (value == kNotInAlphabet) continue;
    bits = (bits << 6) | value;
    if (++pending == 4) {
      out.push_back(static_cast<uint8_t>(bits >> 16));
      out.push_back(static_cast<uint8_t>(bits >> 8));
      out.push_back(static_cast<uint8_t>(bits));
      bits = 0;
      pending = 0;
    }
  }
  // A last group of 3 characters carries 2 bytes, of 2 carries 1; a lone one carries none.
  if (pending == 3) {
    out.push_back(static_cast<uint8_t>(bits >> 10));
    out.push_back(static_cast<uint8_t>(bits >> 2));
  } else if (pending == 2) {
    out.push_back(static_cast<uint8_t>(bits >> 4));
  }
  if (outputLength != nullptr) *outputLength = out.size();
  return out;
}

std::string base64EncodedString(std::span<const uint8_t> data) {
  return NewBase64Encode(data.data(), data.size(), false, nullptr);
}

std::vector<uint8_t> dataFromBase64String(std::string_view text) {
  return NewBase64Decode(text.data(), text.size(), nullptr);
}

}  // namespace hovra::catalogue
