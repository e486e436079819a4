#include "qt/busy_pointer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <cmath>
#include <memory>

#ifndef _WIN32
#include <X11/Xcursor/Xcursor.h>
#endif

namespace tallowby {

QCursor BusyPointer() {
#ifndef _WIN32
  if (!QGuiApplication::platformName().startsWith("wayland")) return QCursor(Qt::WaitCursor);
  // The theme and size Wayland's own pointer library and Qt take, in the screen's pixels.
  const QByteArray theme = qEnvironmentVariable("XCURSOR_THEME", "default").toLocal8Bit();
  int size = qEnvironmentVariableIntValue("XCURSOR_SIZE");
  if (size <= 0) size = 24;
  const double scale = qApp->devicePixelRatio();
  const std::unique_ptr<XcursorImage, void (*)(XcursorImage*)> image(
      XcursorLibraryLoadImage("wait", theme.constData(),
                              static_cast<int>(std::lround(size * scale))),
      XcursorImageDestroy);
  if (!image) return QCursor(Qt::WaitCursor);  // no theme: Qt's pointer is still
  const QImage picture(reinterpret_cast<const uchar*>(image->pixels),
                       static_cast<int>(image->width), static_cast<int>(image->height),
                       QImage::Format_ARGB32_Premultiplied);
  QPixmap pixmap = QPixmap::fromImage(picture.copy());
  const double ratio = static_cast<double>(image->size) / size;
  pixmap.setDevicePixelRatio(ratio);
  return QCursor(pixmap, static_cast<int>(image->xhot / ratio),
                 static_cast<int>(image->yhot / ratio));
#else
  return QCursor(Qt::WaitCursor);
#endif
}

}  // namespace tallowby
