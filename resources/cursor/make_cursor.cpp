// Builds a Windows cursor file (.cur) from a character drawing: a 32 x 32 image at 32 bits per
// pixel with its transparency mask, and the same drawing at twice the size for screens at 200 %,
// enlarged by the Scale2x rule, which rounds the outline's steps instead of doubling them; each
// with its hot spot in its directory entry, where cursors keep it.
//
// Usage: make_cursor <drawing.txt> <output.cur>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 32;

void PutWord(std::string& out, unsigned value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutLong(std::string& out, std::uint32_t value) {
  PutWord(out, value & 0xFFFF);
  PutWord(out, value >> 16);
}

// One image of the file: its header, the colour rows bottom-up, then the mask rows.
std::string Image(const std::vector<std::string>& rows) {
  const int size = static_cast<int>(rows.size());
  std::string image;
  PutLong(image, 40);
  PutLong(image, static_cast<std::uint32_t>(size));
  PutLong(image, static_cast<std::uint32_t>(size * 2));  // colour rows, then the mask rows
  PutWord(image, 1);
  PutWord(image, 32);
  PutLong(image, 0);
  PutLong(image, static_cast<std::uint32_t>(size * size * 4 + size * size / 8));
  for (int i = 0; i < 4; ++i)
    PutLong(image, 0);
  for (int y = size - 1; y >= 0; --y) {
    for (char pixel : rows[y]) {
      const char level = pixel == 'o' ? '\xFF' : '\0';
      image.append({level, level, level, pixel == '.' ? '\0' : '\xFF'});
    }
  }
  for (int y = size - 1; y >= 0; --y) {  // one bit a pixel, rows of whole 32-bit words
    for (int word = 0; word < size / 32; ++word) {
      std::uint32_t mask = 0;
      for (int x = 0; x < 32; ++x) {
        if (rows[y][word * 32 + x] == '.') mask |= 0x80000000U >> x;
      }
      image.append({static_cast<char>(mask >> 24), static_cast<char>(mask >> 16),
                    static_cast<char>(mask >> 8), static_cast<char>(mask)});
    }
  }
  return image;
}

// Each pixel becomes four; a corner takes its two neighbours' value where they agree and the
// other two differ, so diagonal steps become smoother instead of twice as large.
std::vector<std::string> Scale2x(const std::vector<std::string>& rows) {
  const int size = static_cast<int>(rows.size());
  const auto at = [&](int x, int y) {
    return rows[std::clamp(y, 0, size - 1)][std::clamp(x, 0, size - 1)];
  };
  std::vector<std::string> out(size * 2, std::string(size * 2, '.'));
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const char p = at(x, y), a = at(x, y - 1), b = at(x + 1, y), c = at(x - 1, y),
                 d = at(x, y + 1);
      out[2 * y][2 * x] = c == a && c != d && a != b ? a : p;
      out[2 * y][2 * x + 1] = a == b && a != c && b != d ? b : p;
      out[2 * y + 1][2 * x] = d == c && d != b && c != a ? c : p;
      out[2 * y + 1][2 * x + 1] = b == d && b != a && d != c ? d : p;
    }
  }
  return out;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "make_cursor: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 3) return Fail("usage: make_cursor <drawing.txt> <output.cur>");
  std::ifstream in(argv[1]);
  if (!in) return Fail(std::string("cannot read ") + argv[1]);

  int hot_x = -1;
  int hot_y = -1;
  std::vector<std::string> rows;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || (line[0] == '#' && line.find_first_not_of("#.o") != std::string::npos)) {
      continue;  // comments
    }
    if (line.rfind("hotspot ", 0) == 0) {
      std::istringstream(line.substr(8)) >> hot_x >> hot_y;
      continue;
    }
    if (line.size() != kSize || line.find_first_not_of("#.o") != std::string::npos) {
      return Fail("every row must be 32 characters of '.', '#' and 'o': " + line);
    }
    rows.push_back(line);
  }
  if (rows.size() != kSize) return Fail("the drawing must have 32 rows");
  if (hot_x < 0 || hot_x >= kSize || hot_y < 0 || hot_y >= kSize || rows[hot_y][hot_x] == '.') {
    return Fail("the hot spot must lie on a drawn pixel");
  }

  const std::vector<std::string> images[] = {rows, Scale2x(rows)};
  std::string file;
  PutWord(file, 0);
  PutWord(file, 2);  // a cursor
  PutWord(file, 2);
  std::string data;
  for (int scale = 1; const std::vector<std::string>& drawing : images) {
    const std::string image = Image(drawing);
    file.push_back(static_cast<char>(drawing.size()));
    file.push_back(static_cast<char>(drawing.size()));
    file.push_back('\0');
    file.push_back('\0');
    PutWord(file, static_cast<unsigned>(hot_x * scale));
    PutWord(file, static_cast<unsigned>(hot_y * scale));
    PutLong(file, static_cast<std::uint32_t>(image.size()));
    PutLong(file, static_cast<std::uint32_t>(6 + 16 * 2 + data.size()));
    data += image;
    scale *= 2;
  }
  file += data;

  std::ofstream out(argv[2], std::ios::binary);
  out << file;
  if (!out.flush()) return Fail(std::string("cannot write ") + argv[2]);
  return 0;
}
