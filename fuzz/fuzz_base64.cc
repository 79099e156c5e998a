// Base64 decoding of arbitrary text, and the round trip of arbitrary bytes: whatever is
// encoded (on one line or in 64-character lines) must decode to the same bytes, and
// decoding anything must give at most three bytes for every four characters.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "catalogue/base64.h"

namespace catalogue = hovra::catalogue;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy without a terminator: ASan reports any read beyond `size`.
  std::unique_ptr<char[]> text(new char[size == 0 ? 1 : size]);
  if (size > 0) std::memcpy(text.get(), data, size);
  size_t decodedLength = 0;
  std::vector<uint8_t> decoded = catalogue::NewBase64Decode(text.get(), size, &decodedLength);
  if (decodedLength != decoded.size() || decoded.size() > size / 4 * 3 + 3) __builtin_trap();
  if (catalogue::dataFromBase64String(std::string_view(text.get(), size)) != decoded)
    __builtin_trap();

  const std::vector<uint8_t> original(data, data + size);
  for (bool separateLines : {false, true}) {
    size_t encodedLength = 0;
    std::string encoded = catalogue::NewBase64Encode(data, size, separateLines, &encodedLength);
    if (encodedLength != encoded.size()) __builtin_trap();
    if (catalogue::dataFromBase64String(encoded) != original) __builtin_trap();
  }
  return 0;
}
