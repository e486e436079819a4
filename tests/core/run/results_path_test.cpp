// Where results.txt goes: the folder as typed, the separator and the name, fixed up.
#include "core/run/results_path.h"

#include <gtest/gtest.h>

namespace tallowby {
namespace {

struct Normalization {
  PathStyle style;
  const char* path;
  const char* expected;
};

TEST(CollapseDoubledSeparators, CollapsesPairsAndFixesTheLeadingRunForEachPlatform) {
  const Normalization cases[] = {
      {PathStyle::Windows, R"(C:\out\\results.txt)", R"(C:\out\results.txt)"},
      {PathStyle::Windows, R"(\\srv\\share\\results.txt)", R"(\\srv\share\results.txt)"},
      {PathStyle::Windows, R"(\\\srv\x)", R"(\\srv\x)"},
      {PathStyle::Windows, R"(\)", R"(\)"},
      {PathStyle::Windows, R"(\\\\)", R"(\\)"},
      {PathStyle::Windows, R"(\a)", R"(\a)"},  // the current drive's root, no network path
      {PathStyle::Windows, R"(C:\a\\\b)", R"(C:\a\\b)"},   // three become two
      {PathStyle::Windows, R"(C:\a\\\\b)", R"(C:\a\\b)"},  // four become two
      {PathStyle::Windows, "", ""},
      {PathStyle::Windows, "C:/a//b", "C:/a//b"},  // only the platform's separator counts
      {PathStyle::Posix, "/home/u/out//results.txt", "/home/u/out/results.txt"},
      {PathStyle::Posix, "//srv//x", "/srv/x"},
      {PathStyle::Posix, "////", "/"},
      {PathStyle::Posix, "/", "/"},
      {PathStyle::Posix, "out///results.txt", "out//results.txt"},
      {PathStyle::Posix, R"(a\\b)", R"(a\\b)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CollapseDoubledSeparators(c.path, c.style), c.expected) << c.path;
  }
}

TEST(ResultsPath, GivesTheSamePathWithOrWithoutATrailingSeparator) {
  EXPECT_EQ(ResultsPath(R"(C:\out\)", PathStyle::Windows), R"(C:\out\results.txt)");
  EXPECT_EQ(ResultsPath(R"(C:\out)", PathStyle::Windows), R"(C:\out\results.txt)");
  EXPECT_EQ(ResultsPath(R"(C:\)", PathStyle::Windows), R"(C:\results.txt)");
  EXPECT_EQ(ResultsPath("/tmp/out/", PathStyle::Posix), "/tmp/out/results.txt");
  EXPECT_EQ(ResultsPath("/tmp/out", PathStyle::Posix), "/tmp/out/results.txt");
  EXPECT_EQ(ResultsPath("/", PathStyle::Posix), "/results.txt");
  // A folder on the current drive stays on it, the drive's root too.
  EXPECT_EQ(ResultsPath(R"(\Users\me\out\)", PathStyle::Windows), R"(\Users\me\out\results.txt)");
  EXPECT_EQ(ResultsPath(R"(\)", PathStyle::Windows), R"(\results.txt)");
}

}  // namespace
}  // namespace tallowby
