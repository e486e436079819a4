// Renders the program icon from its SVG source into what the build installs: PNG images of each
// size for the desktop, and a Windows .ico holding the four images the executable carries
// (32 x 32 at 24 bits, then 256, 128 and 48 at 32 bits), all uncompressed bitmaps.
//
// Usage: render_icon <icon.svg> <output folder>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct IconImage {
  int size;
  int bits;
};

// The order is the order of the images in the icon group.
constexpr IconImage kIconImages[] = {{32, 24}, {256, 32}, {128, 32}, {48, 32}};

QImage Render(QSvgRenderer& svg, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  svg.render(&painter);
  painter.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

void PutWord(QByteArray& out, unsigned value) {
  out.append(static_cast<char>(value & 0xFF));
  out.append(static_cast<char>((value >> 8) & 0xFF));
}

void PutLong(QByteArray& out, unsigned value) {
  PutWord(out, value & 0xFFFF);
  PutWord(out, value >> 16);
}

// A device-independent bitmap as icons store it: the header gives twice the height, for the
// colour rows and the transparency mask that follows them, both bottom-up and 4-byte aligned.
QByteArray IconBitmap(const QImage& image, int bits) {
  const int size = image.width();
  const int colour_stride = ((size * bits / 8) + 3) & ~3;
  const int mask_stride = ((size + 31) / 32) * 4;
  QByteArray out;
  PutLong(out, 40);
  PutLong(out, size);
  PutLong(out, size * 2);
  PutWord(out, 1);
  PutWord(out, bits);
  PutLong(out, 0);  // uncompressed
  PutLong(out, (colour_stride + mask_stride) * size);
  for (int i = 0; i < 4; ++i)
    PutLong(out, 0);
  for (int y = size - 1; y >= 0; --y) {
    QByteArray row;
    for (int x = 0; x < size; ++x) {
      const QRgb pixel = image.pixel(x, y);
      // Without an alpha channel a transparent pixel is black under a set mask bit.
      const bool opaque = bits == 32 || qAlpha(pixel) >= 128;
      row.append(static_cast<char>(opaque ? qBlue(pixel) : 0));
      row.append(static_cast<char>(opaque ? qGreen(pixel) : 0));
      row.append(static_cast<char>(opaque ? qRed(pixel) : 0));
      if (bits == 32) row.append(static_cast<char>(qAlpha(pixel)));
    }
    row.append(QByteArray(colour_stride - row.size(), '\0'));
    out.append(row);
  }
  for (int y = size - 1; y >= 0; --y) {
    QByteArray row(mask_stride, '\0');
    for (int x = 0; x < size; ++x) {
      if (qAlpha(image.pixel(x, y)) < 128)
        row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    }
    out.append(row);
  }
  return out;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <icon.svg> <output folder>\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "render_icon: cannot read %s\n", argv[1]);
    return 1;
  }
  const QString folder = QString::fromLocal8Bit(argv[2]);

  std::vector<QByteArray> bitmaps;
  for (const IconImage& entry : kIconImages) {
    const QImage image = Render(svg, entry.size);
    if (!image.save(QString("%1/tallowby-%2.png").arg(folder).arg(entry.size), "PNG")) {
      std::fprintf(stderr, "render_icon: cannot write the %d pixel image\n", entry.size);
      return 1;
    }
    bitmaps.push_back(IconBitmap(image, entry.bits));
  }

  QByteArray ico;
  PutWord(ico, 0);
  PutWord(ico, 1);  // an icon, not a cursor
  PutWord(ico, static_cast<unsigned>(bitmaps.size()));
  unsigned offset = 6 + 16 * static_cast<unsigned>(bitmaps.size());
  for (std::size_t i = 0; i < bitmaps.size(); ++i) {
    const IconImage& entry = kIconImages[i];
    ico.append(static_cast<char>(entry.size & 0xFF));  // 256 is written as 0
    ico.append(static_cast<char>(entry.size & 0xFF));
    ico.append('\0');  // no palette
    ico.append('\0');
    PutWord(ico, 1);
    PutWord(ico, entry.bits);
    PutLong(ico, static_cast<unsigned>(bitmaps[i].size()));
    PutLong(ico, offset);
    offset += static_cast<unsigned>(bitmaps[i].size());
  }
  for (const QByteArray& bitmap : bitmaps)
    ico.append(bitmap);
  if (!WriteFile(folder + "/tallowby.ico", ico)) {
    std::fprintf(stderr, "render_icon: cannot write tallowby.ico\n");
    return 1;
  }
  return 0;
}
