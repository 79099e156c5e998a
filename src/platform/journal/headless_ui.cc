#include "platform/journal/headless_ui.h"

#include <string>

#include "base/log.h"
#include "platform/journal/json_line.h"

namespace hovra::platform::journal {

void HeadlessUi::ShowNotificationPanel(std::string_view message, std::string_view url) {
  panelVisible_ = true;
  std::string text(message);
  while (!text.empty() && text.back() == '\n') text.pop_back();
  if (url.empty()) {
    PrintLine("%s", text.c_str());
  } else {
    PrintLine("%s (%.*s)", text.c_str(), static_cast<int>(url.size()), url.data());
  }
  if (journal_.Enabled()) {
    journal_.Write(
        JsonLine().Text("kind", "notice").Text("message", message).Text("url", url).Finish());
  }
}

void HeadlessUi::ShowMessage(std::string_view text) {
  PrintLine("%.*s", static_cast<int>(text.size()), text.data());
}

int HeadlessUi::RunAlert(std::string_view message, std::string_view informative,
                         const std::vector<std::string_view>& buttons) {
  PrintLine("%.*s", static_cast<int>(message.size()), message.data());
  if (!informative.empty())
    PrintLine("%.*s", static_cast<int>(informative.size()), informative.data());
  return buttons.empty() ? 1000 : 1000 + static_cast<int>(buttons.size()) - 1;
}

}  // namespace hovra::platform::journal
