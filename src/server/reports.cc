#include "server/reports.h"

#include <cstring>
#include <deque>
#include <mutex>
#include <set>

#include "actions/url_policy.h"
#include "base/printable.h"
#include "server/notice_hand_over.h"

namespace hovra {
namespace {

std::mutex s_activatedMutex;
std::string activatedapp;

// The texts already taken for display. A client sending ever new texts must not grow the
// server without end, so only the most recent ones are remembered; an older text could
// show once more.
std::mutex s_notifyMutex;
std::set<std::string, std::less<>> s_notifyMsgs;
std::deque<std::set<std::string, std::less<>>::iterator> s_notifyOrder;

// Remembers `text`; false when it was remembered already.
bool RememberNotice(std::string_view text) {
  std::lock_guard<std::mutex> lock(s_notifyMutex);
  auto [at, added] = s_notifyMsgs.emplace(text);
  if (!added) return false;
  s_notifyOrder.push_back(at);
  if (s_notifyOrder.size() > kRememberedNotices) {
    s_notifyMsgs.erase(s_notifyOrder.front());
    s_notifyOrder.pop_front();
  }
  return true;
}

}  // namespace

void SetActivatedApp(std::string_view bundleId) {
  std::lock_guard<std::mutex> lock(s_activatedMutex);
  activatedapp.assign(bundleId);
}

std::string CurrentAppReport(std::string_view bundleId) {
  std::string text = "currentapp ";
  text.append(bundleId);
  text += '\n';
  return text;
}

std::string getLastActivatedapp() {
  std::lock_guard<std::mutex> lock(s_activatedMutex);
  return CurrentAppReport(activatedapp);
}

void HandleNotifyMsg(const char* line) {
  const char* first = std::strstr(line, "||");
  if (first == nullptr) return;
  const char* second = std::strstr(first + 2, "||");
  if (second == nullptr) return;
  std::string_view text(first + 2, static_cast<size_t>(second - (first + 2)));
  std::string_view url(second + 2);
  if (!RememberNotice(text)) return;
  if (!url.empty() && url.back() == '\r') url.remove_suffix(1);
  // A client's text is shown, never acted on: controls arrive as "\x1b" text. Its link
  // is opened on a click only when it is a web address.
  if (!url.empty() && !actions::AllowWebAddress(url, "notice link")) url = {};
  const size_t room = text.size() <= kNoticeMessageBytes ? kNoticeMessageBytes
                                                         : kNoticeMessageBytes - 3;  // and "..."
  OfferNotice(Printable(text, room), url);
}

}  // namespace hovra
