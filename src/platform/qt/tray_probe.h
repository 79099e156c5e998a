// Whether the session has somewhere to show a status icon, asked without starting Qt (a
// QApplication on an unreachable display would end the process): a StatusNotifierItem
// host registered with the watcher on the session bus, or an XEmbed tray manager on the
// X display.
#pragma once

#include <string>

namespace hovra::platform::qt {

// `sessionBus` and `x11Display` may be empty (nothing to ask there).
bool TrayHostPresent(const std::string& sessionBus, const std::string& x11Display);
bool StatusNotifierHostRegistered(const std::string& sessionBus);
bool XEmbedTrayPresent(const std::string& x11Display);
// Whether an X display answers; for Wayland the compositor is trusted.
bool X11DisplayReachable(const std::string& x11Display);

}  // namespace hovra::platform::qt
