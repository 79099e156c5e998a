// The icon theme the user's desktop shows: KDE's kdeglobals on Plasma; else GNOME's
// setting (when its schema is installed), GTK's settings.ini, kdeglobals; else hicolor.
#pragma once

#include <string>

namespace hovra::platform::linux_desktop {

std::string CurrentIconThemeName();

}  // namespace hovra::platform::linux_desktop
