// Base64 with the standard alphabet and "=" fill, as the icon messages carry it.
// Encoding writes 4 characters per 3 bytes (optionally a CR LF after every 64 of them);
// decoding skips every byte outside the alphabet (fill, line breaks, anything else).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hovra::catalogue {

// `length` of kNulTerminated means `input` ends at its first NUL.
inline constexpr size_t kNulTerminated = static_cast<size_t>(-1);

std::string NewBase64Encode(const void* input, size_t length, bool separateLines,
                            size_t* outputLength);
std::vector<uint8_t> NewBase64Decode(const char* input, size_t length, size_t* outputLength);

// One unbroken line.
std::string base64EncodedString(std::span<const uint8_t> data);
std::vector<uint8_t> dataFromBase64String(std::string_view text);

}  // namespace hovra::catalogue
