// How legible a text is on a screenshot: the WCAG contrast ratio of the text against its own
// background, measured on the pixels. Shared by both windows' scheme tests, independent of the
// program's own colour rules.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

namespace tallowby::testing {

// Pixels as 0xRRGGBB, row by row.
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

struct Area {
  int left;
  int top;
  int width;
  int height;
};

inline double Luminance(std::uint32_t rgb) {
  const auto linear = [](std::uint32_t channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear((rgb >> 16) & 0xFF) + 0.7152 * linear((rgb >> 8) & 0xFF) +
         0.0722 * linear(rgb & 0xFF);
}

inline double ContrastRatio(std::uint32_t a, std::uint32_t b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The area's most frequent colour is the text's background; the text's solid strokes are its
// pixels farthest from that. An area of one colour has no text: ratio 1.
inline double TextContrast(const Screenshot& shot, Area area) {
  std::map<std::uint32_t, int> counts;
  const int right = std::min(area.left + area.width, shot.width);
  const int bottom = std::min(area.top + area.height, shot.height);
  for (int y = std::max(area.top, 0); y < bottom; ++y) {
    for (int x = std::max(area.left, 0); x < right; ++x)
      ++counts[shot.At(x, y)];
  }
  if (counts.empty()) return 1.0;
  const std::uint32_t background =
      std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
      })->first;
  double best = 1.0;
  for (const auto& [colour, count] : counts)
    best = std::max(best, ContrastRatio(background, colour));
  return best;
}

}  // namespace tallowby::testing
