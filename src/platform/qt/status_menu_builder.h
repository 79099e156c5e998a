// The status menu as a QMenu: one action per item, in order, separators and submenus as
// given. Check marks are read from the application each time the menu (or its submenu)
// opens, and again after the item's own action ran, so they show what holds, not a guess.
#pragma once

#include <QMenu>
#include <memory>

#include "platform/shell_bindings.h"

namespace hovra::platform::qt {

std::unique_ptr<QMenu> BuildStatusMenu(const StatusMenu& menu);

// "&" shows as itself in a menu title (Qt would take it for a shortcut marker).
QString MenuTitle(const std::string& title);

}  // namespace hovra::platform::qt
