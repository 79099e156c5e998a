// The About window: the product's icon, name, version, what it does and its licence.
#pragma once

#include <QWidget>

#include "platform/shell_bindings.h"

namespace hovra::platform::qt {

class AboutWindow : public QWidget {
 public:
  explicit AboutWindow(const AboutFacts& facts);
};

}  // namespace hovra::platform::qt
