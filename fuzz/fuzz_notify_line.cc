// The notification line ("Msg||text||url") as a client sends it, then the hand-over to the
// main thread that shows it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_platform.h"
#include "server/notice_hand_over.h"
#include "server/reports.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  hovra::fuzzing::FuzzPlatform();
  const std::string line(reinterpret_cast<const char*>(data), size);  // a C string, as the line is
  hovra::HandleNotifyMsg(line.c_str());
  if (auto notice = hovra::TakeNotice()) {
    if (notice->message.size() > hovra::kNoticeMessageBytes ||
        notice->url.size() > hovra::kNoticeUrlBytes) {
      __builtin_trap();
    }
  }
  hovra::fuzzing::SettleFuzzPlatform();
  return 0;
}
