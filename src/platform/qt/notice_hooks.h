// How the tray's messages may be shown and recorded besides its own panel.
#pragma once

#include <functional>
#include <string_view>

namespace hovra::platform::qt {

// Shows a message through the desktop's notification service; false when there is none
// (then the panel shows it).
using DesktopNotices = std::function<bool(std::string_view message, std::string_view url)>;
// Told of every message, however it is shown (the journal keeps a record).
using NoticeRecord = std::function<void(std::string_view message, std::string_view url)>;

}  // namespace hovra::platform::qt
