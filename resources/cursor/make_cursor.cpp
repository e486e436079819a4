// Builds a Windows cursor file (.cur) from a character drawing: one 32 x 32 image at 32 bits per
// pixel with its transparency mask, and the hot spot in the directory entry, where cursors keep
// it.
//
// Usage: make_cursor <drawing.txt> <output.cur>
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

  std::string image;
  PutLong(image, 40);
  PutLong(image, kSize);
  PutLong(image, kSize * 2);  // colour rows, then the mask rows
  PutWord(image, 1);
  PutWord(image, 32);
  PutLong(image, 0);
  PutLong(image, kSize * kSize * 4 + kSize * 4);
  for (int i = 0; i < 4; ++i)
    PutLong(image, 0);
  for (int y = kSize - 1; y >= 0; --y) {  // bottom-up
    for (char pixel : rows[y]) {
      const char level = pixel == 'o' ? '\xFF' : '\0';
      image.append({level, level, level, pixel == '.' ? '\0' : '\xFF'});
    }
  }
  for (int y = kSize - 1; y >= 0; --y) {
    std::uint32_t mask = 0;
    for (int x = 0; x < kSize; ++x) {
      if (rows[y][x] == '.') mask |= 0x80000000U >> x;
    }
    image.append({static_cast<char>(mask >> 24), static_cast<char>(mask >> 16),
                  static_cast<char>(mask >> 8), static_cast<char>(mask)});
  }

  std::string file;
  PutWord(file, 0);
  PutWord(file, 2);  // a cursor
  PutWord(file, 1);
  file.push_back(static_cast<char>(kSize));
  file.push_back(static_cast<char>(kSize));
  file.push_back('\0');
  file.push_back('\0');
  PutWord(file, static_cast<unsigned>(hot_x));
  PutWord(file, static_cast<unsigned>(hot_y));
  PutLong(file, static_cast<std::uint32_t>(image.size()));
  PutLong(file, 6 + 16);
  file += image;

  std::ofstream out(argv[2], std::ios::binary);
  out << file;
  if (!out.flush()) return Fail(std::string("cannot write ") + argv[2]);
  return 0;
}
