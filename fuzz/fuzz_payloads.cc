// The "mos" and "key" payload readers on their own. The first byte picks the reader (its
// low bit) and whether the payload length handed over is one less than the bytes present
// (its second bit), which shows that a reader never reads past the length it is given.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_platform.h"
#include "input/wheel.h"
#include "server/frame_payloads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  hovra::fuzzing::FuzzPlatform();
  const bool keys = (data[0] & 1) != 0;
  size_t len = size - 1;
  if ((data[0] & 2) != 0 && len > 0) --len;
  // An exact-size copy without a terminator: ASan reports any read beyond `len`.
  std::unique_ptr<char[]> payload(new char[len == 0 ? 1 : len]);
  if (len > 0) std::memcpy(payload.get(), data + 1, len);
  const int length = static_cast<int>(len);

  hovra::HeldInput held;
  if (keys) {
    hovra::ReadKeyPayload(payload.get(), length, held);
  } else {
    hovra::ReadMousePayload(payload.get(), length, held);
  }
  held.ReleaseAll();
  hovra::CommitMouseWheel();
  hovra::fuzzing::SettleFuzzPlatform();
  return 0;
}
