#include "server/security/security_notices.h"

#include <deque>
#include <mutex>

namespace hovra::security {
namespace {

std::mutex s_mutex;
std::deque<std::string>& Queue() {
  static std::deque<std::string> s_queue;
  return s_queue;
}

}  // namespace

void PostSecurityNotice(std::string message) {
  std::lock_guard<std::mutex> lock(s_mutex);
  std::deque<std::string>& queue = Queue();
  if (queue.size() >= kMostQueuedSecurityNotices) queue.pop_front();
  queue.push_back(std::move(message));
}

std::optional<std::string> TakeSecurityNotice() {
  std::lock_guard<std::mutex> lock(s_mutex);
  std::deque<std::string>& queue = Queue();
  if (queue.empty()) return std::nullopt;
  std::string message = std::move(queue.front());
  queue.pop_front();
  return message;
}

}  // namespace hovra::security
