// The window's picture under X11, and pictures compared, for the Wayland lane's comparison of
// the native window with the X11 one.
//
// Usage: window_picture grab WINDOW_ID OUTPUT.png   (under X11: the window's own contents)
//        window_picture compare A.png B.png          (exit 0 when they are the same, pixel for
//                                                     pixel; otherwise says how they differ)
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: window_picture grab WINDOW_ID OUT.png | compare A.png B.png\n");
    return 2;
  }
  if (std::strcmp(argv[1], "grab") == 0) {
    QGuiApplication application(argc, argv);
    const auto window = static_cast<WId>(QByteArray(argv[2]).toULongLong());
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(window);
    return !picture.isNull() && picture.save(argv[3]) ? 0 : 1;
  }
  const QImage a = QImage(argv[2]).convertToFormat(QImage::Format_RGB32);
  const QImage b = QImage(argv[3]).convertToFormat(QImage::Format_RGB32);
  if (a.isNull() || b.isNull() || a.size() != b.size()) {
    std::fprintf(stderr, "the pictures are %dx%d and %dx%d\n", a.width(), a.height(), b.width(),
                 b.height());
    return 1;
  }
  int differing = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) ++differing;
    }
  }
  if (differing > 0) std::fprintf(stderr, "%d pixels differ\n", differing);
  return differing == 0 ? 0 : 1;
}
