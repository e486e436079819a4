#include "core/run/results_text.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/run/results_path.h"
#include "core/window/application_title.h"
#include "support/native_platform.h"
#include "support/temporary_folder.h"

namespace tallowby {
namespace {

using testing::FileBytes;
using testing::TemporaryFolder;

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
      {PathStyle::Windows, R"(\)", R"(\\)"},
      {PathStyle::Windows, R"(\\\\)", R"(\\)"},
      {PathStyle::Windows, R"(\a)", R"(\\a)"},
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
}

TEST(AppendNumberLine, WritesDecimalDigitsAndCrLf) {
  ResultsText text;
  for (std::int32_t n : {3, 11, 7, 7, 1})
    AppendNumberLine(text, n);
  EXPECT_EQ(text, "3\r\n11\r\n7\r\n7\r\n1\r\n");
  EXPECT_EQ(text.size(), 16U);
  text.clear();
  for (std::int32_t n : {0, -1, 2147483647, -2147483647 - 1})
    AppendNumberLine(text, n);
  EXPECT_EQ(text, "0\r\n-1\r\n2147483647\r\n-2147483648\r\n");
  EXPECT_EQ(MaxLineLength(-9, 1), 4U);
  EXPECT_EQ(MaxLineLength(1, 100001), 8U);
  EXPECT_EQ(MaxLineLength(-2147483647, 1), 13U);
}

TEST(ApplicationTitleFor, DropsWordsFromTheEndUntilFortyCharactersRemain) {
  const std::pair<const char*, const char*> cases[] = {
      {"Tallowby", "Tallowby"},
      {"Tallowby Number Maker", "Tallowby Number"},  // at least one word goes
      {"Ab Cd", "Ab"},
      {"A very long display name that goes on and on and on",
       "A very long display name that goes on"},
      {"Averyveryveryveryveryveryveryveryveryverylongname",
       "Averyveryveryveryveryveryveryveryveryver"},
      {"Averyveryveryveryveryveryveryveryveryverylongname x",
       "Averyveryveryveryveryveryveryveryveryver"},
      {" Lead", ""},
  };
  for (const auto& [name, title] : cases)
    EXPECT_EQ(ApplicationTitleFor(name), title) << name;
}

TEST(ReplaceFileAtomically, CreatesAndReplacesTheFileWithExactlyTheText) {
  TemporaryFolder folder;
  const std::string path = (folder.Path() / "results.txt").string();
  NativeFileSystem().ReplaceFileAtomically(path, "3\r\n11\r\n");
  EXPECT_EQ(FileBytes(path), "3\r\n11\r\n");
  NativeFileSystem().ReplaceFileAtomically(path, "");
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0U);
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
}

TEST(ReplaceFileAtomically, ReplacesAReadOnlyFile) {
  TemporaryFolder folder;
  const std::string path = (folder.Path() / "results.txt").string();
  folder.Write("results.txt", "old\r\n");
  folder.MakeReadOnly("results.txt");
  NativeFileSystem().ReplaceFileAtomically(path, "1\r\n");
  EXPECT_EQ(FileBytes(path), "1\r\n");
  EXPECT_EQ(folder.Entries(), std::vector<std::string>{"results.txt"});
}

TEST(FolderExists, IsTrueOnlyForFolders) {
  NativeFileSystem files;
  TemporaryFolder folder;
  folder.Write("file.txt", "x");
  const std::string path = folder.Path().string();
  const char separator = PathSeparator(kNativePathStyle);
  EXPECT_TRUE(files.FolderExists(path));
  EXPECT_TRUE(files.FolderExists(path + separator));
  EXPECT_FALSE(files.FolderExists(path + separator + "file.txt"));
  EXPECT_FALSE(files.FolderExists(path + separator + "file.txt" + separator));
  EXPECT_FALSE(files.FolderExists(path + separator + "missing"));
  EXPECT_FALSE(files.FolderExists(""));
  EXPECT_TRUE(files.FileExists(path + separator + "file.txt"));
  EXPECT_FALSE(files.FileExists(path + separator + "missing"));
  EXPECT_FALSE(files.FileExists(""));
  // The skin counts only as a normal file listed in its folder.
  EXPECT_TRUE(files.IsListedNormalFile(path + separator + "file.txt"));
  EXPECT_FALSE(files.IsListedNormalFile(path));
  EXPECT_FALSE(files.IsListedNormalFile(path + separator + "missing"));
}

}  // namespace
}  // namespace tallowby
