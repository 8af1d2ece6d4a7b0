#include "platform/dialog/qt/icons.h"

#include <cstring>  // std::memcpy

#include <QImage>
#include <QPixmap>

#include "platform/dialog/resources.h"

namespace platform::dialog::qt {

QIcon IconFor(int id) {
  QIcon icon;
  const IconResource* resource = FindIcon(id);
  if (resource == nullptr) return icon;
  for (const IconImage& image : resource->images) {
    int size = image.size;
    if (size <= 0 || image.argb.size() != static_cast<std::size_t>(size) * size) continue;
    QImage pixels(size, size, QImage::Format_ARGB32);
    for (int row = 0; row < size; ++row)
      std::memcpy(pixels.scanLine(row), image.argb.data() + static_cast<std::size_t>(row) * size,
                  static_cast<std::size_t>(size) * sizeof(std::uint32_t));
    icon.addPixmap(QPixmap::fromImage(pixels));
  }
  return icon;
}

}  // namespace platform::dialog::qt
