#include "platform/journal/headless_ui.h"

#include <string>

#include "base/log.h"
#include "platform/journal/json_line.h"

namespace hovra::platform::journal {
namespace {

// A text of several lines as one log line: its lines, trimmed, joined by " / ".
std::string OneLine(std::string_view text) {
  std::string line;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view part = text.substr(start, end - start);
    while (!part.empty() && (part.front() == ' ' || part.front() == '\t')) part.remove_prefix(1);
    while (!part.empty() && (part.back() == ' ' || part.back() == '\r')) part.remove_suffix(1);
    if (!part.empty()) {
      if (!line.empty()) line += " / ";
      line += part;
    }
    start = end + 1;
  }
  return line;
}

}  // namespace

void HeadlessUi::ShowNotificationPanel(std::string_view message, std::string_view url) {
  panelVisible_ = true;
  if (url.empty()) {
    Log("notice: %s", OneLine(message).c_str());
  } else {
    Log("notice: %s (%.*s)", OneLine(message).c_str(), static_cast<int>(url.size()), url.data());
  }
  if (journal_.Enabled()) {
    journal_.Write(
        JsonLine().Text("kind", "notice").Text("message", message).Text("url", url).Finish());
  }
}

void HeadlessUi::ShowMessage(std::string_view text) { Log("%s", OneLine(text).c_str()); }

int HeadlessUi::RunAlert(std::string_view message, std::string_view informative,
                         const std::vector<std::string_view>& buttons) {
  std::string text = OneLine(message);
  if (!informative.empty()) text += " / " + OneLine(informative);
  Log("alert: %s", text.c_str());
  return buttons.empty() ? 1000 : 1000 + static_cast<int>(buttons.size()) - 1;
}

}  // namespace hovra::platform::journal
