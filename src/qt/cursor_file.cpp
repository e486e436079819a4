#include "qt/cursor_file.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <algorithm>

#include "core/ports/failure.h"

namespace tallowby {

QCursor LoadCursorFile(const QString& path) {
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
  const int hot_x = word(6 + 4);
  const int hot_y = word(6 + 6);

  QBuffer buffer(&bytes);
  QImageReader reader(&buffer, "cur");
  const QImage image = reader.read();
  if (image.isNull()) {
    throw Failure("The cursor file is damaged: " + reader.errorString().toStdString());
  }
  return QCursor(QPixmap::fromImage(image), std::clamp(hot_x, 0, image.width() - 1),
                 std::clamp(hot_y, 0, image.height() - 1));
}

}  // namespace tallowby
