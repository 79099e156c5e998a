// The product's icon, drawn from the SVG built into the program: one pixmap rendered at
// each size panels and windows ask for, so none is a blurred scaling of another.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace hovra::platform::qt {

QIcon ProductIcon();
QPixmap ProductPixmap(int size);  // size by size pixels; null when the SVG cannot be read

}  // namespace hovra::platform::qt
