#include "platform/qt/status_menu_builder.h"

#include <QAction>

namespace hovra::platform::qt {
namespace {

void AddItems(QMenu& menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    if (item.separator) {
      menu.addSeparator();
      continue;
    }
    if (!item.submenu.empty()) {
      AddItems(*menu.addMenu(MenuTitle(item.title)), item.submenu);
      continue;
    }
    QAction* action = menu.addAction(MenuTitle(item.title));
    std::function<bool()> checked = item.checked;
    if (checked) {
      action->setCheckable(true);
      QObject::connect(&menu, &QMenu::aboutToShow, action,
                       [action, checked] { action->setChecked(checked()); });
    }
    QObject::connect(action, &QAction::triggered, action, [action, run = item.action, checked] {
      if (run) run();
      if (checked) action->setChecked(checked());  // not Qt's own flip of the mark
    });
  }
}

}  // namespace

QString MenuTitle(const std::string& title) {
  return QString::fromStdString(title).replace('&', "&&");
}

std::unique_ptr<QMenu> BuildStatusMenu(const StatusMenu& menu) {
  auto built = std::make_unique<QMenu>();
  built->setObjectName("statusMenu");
  AddItems(*built, menu.items);
  return built;
}

}  // namespace hovra::platform::qt
