#include "platform/qt/window_front.h"

#include <QWidget>

namespace hovra::platform::qt {

void ShowInFront(QWidget& window) {
  window.setAttribute(Qt::WA_ShowWithoutActivating, true);
  if (window.isMinimized()) window.showNormal();
  window.show();
  window.raise();
}

}  // namespace hovra::platform::qt
