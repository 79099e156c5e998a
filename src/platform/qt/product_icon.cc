#include "platform/qt/product_icon.h"

#include <QByteArray>
#include <QPainter>
#include <QSvgRenderer>
#include <array>

#include "base/log.h"

namespace hovra::platform::qt {

extern const char kProductIconSvg[];  // generated from data/icons/hovra-server.svg

namespace {

// The sizes panels use (16 to 48, 22 and 24 on many Linux panels) and those of windows.
constexpr std::array<int, 9> kIconSizes{16, 20, 22, 24, 32, 48, 64, 128, 256};

}  // namespace

QPixmap ProductPixmap(int size) {
  QSvgRenderer renderer{QByteArray(kProductIconSvg)};
  if (!renderer.isValid()) {
    static LogOnce invalid;
    if (invalid.First()) Log("the product icon's SVG cannot be read");
    return {};
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter);
  painter.end();
  return QPixmap::fromImage(image);
}

QIcon ProductIcon() {
  QIcon icon;
  for (int size : kIconSizes) {
    QPixmap pixmap = ProductPixmap(size);
    if (!pixmap.isNull()) icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace hovra::platform::qt
