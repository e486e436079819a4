#include "qt/cursor_file.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <algorithm>
#include <cmath>

#include "core/ports/failure.h"

namespace tallowby {

QCursor LoadCursorFile(const QString& path, double scale) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw Failure("The cursor file could not be read: " + file.errorString().toStdString());
  }
  QByteArray bytes = file.readAll();
  // The file starts with a directory: reserved 0, type 2 (cursor), the number of images, then one
  // 16-byte entry per image whose fourth and fifth fields hold the hot spot.
  const auto word = [&bytes](int offset) {
    return static_cast<int>(static_cast<unsigned char>(bytes[offset]) |
                            static_cast<unsigned char>(bytes[offset + 1]) << 8);
  };
  if (bytes.size() < 22 || word(0) != 0 || word(2) != 2 || word(4) < 1) {
    throw Failure("The cursor file is damaged: it is not a Windows cursor");
  }
  // The image for the screen's scale: the smallest at least 32 pixels times the scale, else the
  // largest, shown at its own share of that size.
  const int images = word(4);
  const auto width = [&bytes](int image) {
    const int value = static_cast<unsigned char>(bytes[6 + 16 * image]);
    return value == 0 ? 256 : value;
  };
  if (bytes.size() < 6 + 16 * images) {
    throw Failure("The cursor file is damaged: its directory is cut short");
  }
  const int wanted = static_cast<int>(std::ceil(32 * scale));
  int chosen = 0;
  for (int image = 1; image < images; ++image) {
    const bool fits = width(image) >= wanted;
    const bool chosen_fits = width(chosen) >= wanted;
    if ((fits && (!chosen_fits || width(image) < width(chosen))) ||
        (!fits && !chosen_fits && width(image) > width(chosen))) {
      chosen = image;
    }
  }
  const int hot_x = word(6 + 16 * chosen + 4);
  const int hot_y = word(6 + 16 * chosen + 6);

  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, "cur");
  if (chosen > 0) reader.jumpToImage(chosen);
  const QImage image = reader.read();
  if (image.isNull()) {
    throw Failure("The cursor file is damaged: " + reader.errorString().toStdString());
  }
  QPixmap pixmap = QPixmap::fromImage(image);
  const double ratio = std::max(1.0, image.width() / 32.0);
  pixmap.setDevicePixelRatio(ratio);
  return QCursor(pixmap, static_cast<int>(std::clamp(hot_x, 0, image.width() - 1) / ratio),
                 static_cast<int>(std::clamp(hot_y, 0, image.height() - 1) / ratio));
}

}  // namespace tallowby
