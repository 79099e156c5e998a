#include "server/notice_hand_over.h"

#include <mutex>

namespace hovra {

std::atomic<bool> g_showMsg{false};

namespace {

std::mutex s_noticeMutex;
std::string g_message;
std::string g_url;

}  // namespace

std::string_view CutAtCharacter(std::string_view text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = limit;
  // Steps back over continuation bytes so that the cut lands before a character's start.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

void OfferNotice(std::string_view message, std::string_view url) {
  {
    std::lock_guard<std::mutex> lock(s_noticeMutex);
    g_message.assign(CutAtCharacter(message, kNoticeMessageBytes));
    g_url.assign(CutAtCharacter(url, kNoticeUrlBytes));
  }
  g_showMsg.store(true, std::memory_order_release);
}

std::optional<Notice> TakeNotice() {
  if (!g_showMsg.load(std::memory_order_acquire)) return std::nullopt;
  std::lock_guard<std::mutex> lock(s_noticeMutex);
  g_showMsg.store(false, std::memory_order_relaxed);
  return Notice{g_message, g_url};
}

}  // namespace hovra
