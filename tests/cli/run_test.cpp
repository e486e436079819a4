#include "cli/cli_run.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/options.h"
#include "core/ports/failure.h"
#include "support/native_platform.h"
#include "support/temporary_folder.h"

namespace tallowby::cli {
namespace {

using tallowby::testing::FileBytes;

// A spreadsheet that keeps what it is given, and can fail at one call.
struct FakeSheet {
  std::vector<std::int32_t> rows;
  std::vector<std::string> calls;
  std::string failing_call;
};

class FakeApplication final : public SpreadsheetApplication {
 public:
  explicit FakeApplication(FakeSheet& sheet) : sheet_(sheet) {}
  void AddWorkbook() override { Call("add"); }
  void WriteFirstColumn(std::span<const std::int32_t> values, std::int64_t first_row) override {
    Call("write " + std::to_string(first_row));
    sheet_.rows.insert(sheet_.rows.end(), values.begin(), values.end());
  }
  void MakeVisible() override { Call("show"); }

 private:
  void Call(const std::string& name) {
    sheet_.calls.push_back(name);
    if (name == sheet_.failing_call) throw Failure("the office went away");
  }
  FakeSheet& sheet_;
};

class FakeLauncher final : public SpreadsheetLauncher {
 public:
  explicit FakeLauncher(FakeSheet& sheet) : sheet_(sheet) {}
  bool IsPresent() override { return true; }
  std::unique_ptr<SpreadsheetApplication> StartHidden() override {
    return std::make_unique<FakeApplication>(sheet_);
  }

 private:
  FakeSheet& sheet_;
};

class CliRunTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string_view> arguments) {
    CliEnvironment environment{files_, [this] { return std::make_unique<FakeLauncher>(sheet_); },
                               [this](std::string_view bytes) { out_.append(bytes); }, err_};
    return RunCli(arguments, environment);
  }
  std::string File(const char* name) const { return (folder_.Path() / name).string(); }

  tallowby::testing::TemporaryFolder folder_;
  NativeFileSystem files_;
  FakeSheet sheet_;
  std::string out_;
  std::ostringstream err_;
};

TEST_F(CliRunTest, WritesTheWindowsTextFormatToStandardOutputOrAFile) {
  ASSERT_EQ(Run({"--count", "3", "--highest", "0"}), kExitSuccess);
  EXPECT_EQ(out_, "1\r\n1\r\n1\r\n");
  const std::string path = File("numbers.txt");
  ASSERT_EQ(Run({"--count", "2", "--highest", "-1", "--kind", "even", "--output", path, "--lf"}),
            kExitSuccess);
  EXPECT_EQ(FileBytes(path), "0\n0\n");
  EXPECT_EQ(err_.str(), "");
  EXPECT_EQ(Run({"--help"}), kExitSuccess);
  EXPECT_NE(out_.find("Usage: tallowby-cli"), std::string::npos);
}

// Refused before drawing: exit status 2, one line on standard error, and the file that was there
// stays as it was.
TEST_F(CliRunTest, RefusesImpossibleRequestsLeavingTheOutputAlone) {
  const std::string path = File("kept.txt");
  files_.ReplaceFileAtomically(path, "old\r\n");
  const struct {
    std::vector<std::string_view> arguments;
    std::string message;
  } cases[] = {
      {{"--count", "x"}, "invalid value 'x' for --count: not a whole number"},
      {{"--count", "1", "--highest", "0", "--kind", "even"},
       "no number of --kind even can be drawn with --highest 0"},
      {{"--count", "1", "--highest", "-2", "--kind", "prime"},
       "no number of --kind prime can be drawn with --highest -2"},
      {{"--count", "5", "--highest", "9", "--kind", "prime", "--unique"},
       "--unique: only 4 different numbers of --kind prime can be drawn with --highest 9, fewer "
       "than --count 5"},
      {{"--count", "1048577", "--highest", "9", "--spreadsheet"},
       "--count 1048577 is more than a sheet's 1048576 rows"},
      {{"--count", "300000000", "--highest", "2000000000", "--sort"},
       "--sort: 300000000 numbers with --highest 2000000000 need more than 1 GiB to sort; use a "
       "smaller --count or --highest, or add --unique"},
      // What the user typed comes back quoted, so that no terminal obeys what is in it.
      {{"--count", "\x1b]0;x\a"},
       R"(invalid value $'\033'']0;x'$'\a' for --count: not a whole number)"},
      {{"--fo\no"}, R"(unknown option '--fo'$'\n''o')"},
      {{"--count", "1", "--kind", "\xff\x80'"},
       R"(invalid value $'\377\200\'' for --kind: must be all, even, odd or prime)"},
      {{"--count", "1", "--kind", "it's"},
       R"(invalid value 'it'\''s' for --kind: must be all, even, odd or prime)"},
      {{"--count", "1", "--range",
        "\xc2\x9b"
        "2J..3"},
       R"(invalid value $'\302\233''2J..3' for --range: $'\302\233''2J' is not a whole number)"},
  };
  // Outputs that can never be written, told before a number is drawn.
  const std::string folder = folder_.Path().string();
  const std::string missing = File("no-such\x1b[2J") + "/numbers.txt";
  const std::string in_folder = "--output '" + folder + "' is a folder";
  const std::string quoted_missing = "'" + File("no-such") + R"('$'\033''[2J)";
  const std::string in_missing =
      "--output " + quoted_missing + "/numbers.txt': there is no folder " + quoted_missing + "'";
  const std::vector<std::string_view> folder_output = {"--count", "3",        "--highest",
                                                       "9",       "--output", folder};
  const std::vector<std::string_view> missing_output = {"--count", "3",        "--highest",
                                                        "9",       "--output", missing};
  for (const auto& [arguments, message] :
       {std::pair{folder_output, in_folder}, std::pair{missing_output, in_missing}}) {
    err_.str("");
    EXPECT_EQ(Run(arguments), kExitBadInput);
    EXPECT_EQ(err_.str(), "tallowby-cli: " + message + "\n");
  }
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"kept.txt"});
  for (const auto& c : cases) {
    err_.str("");
    std::vector<std::string_view> arguments = c.arguments;
    if (std::find(arguments.begin(), arguments.end(), "--spreadsheet") == arguments.end())
      arguments.insert(arguments.end(), {"--output", path});
    EXPECT_EQ(Run(arguments), kExitBadInput);
    EXPECT_EQ(err_.str(), "tallowby-cli: " + c.message + "\n");
  }
  EXPECT_EQ(FileBytes(path), "old\r\n");
  EXPECT_EQ(Run({"--count", "0", "--highest", "0", "--kind", "even"}), kExitSuccess)
      << "no number asked for, none needs drawing";
}

TEST_F(CliRunTest, AFailedOutputIsExitStatusOneWithNothingLeftBehind) {
  sheet_.failing_call = "write 65537";
  err_.str("");
  EXPECT_EQ(Run({"--count", "70000", "--highest", "9", "--spreadsheet"}), kExitOutputFailed);
  EXPECT_EQ(err_.str(), "tallowby-cli: cannot write the spreadsheet: the office went away\n");
  EXPECT_EQ(sheet_.calls, (std::vector<std::string>{"add", "write 1", "write 65537"}));
}

#ifndef _WIN32
// Outputs that are no regular file: written where they are, and still what they were after.
TEST_F(CliRunTest, WritesIntoPipesAndThroughLinksWithoutReplacingThem) {
  tallowby::testing::TemporaryFolder elsewhere;
  const std::string pipe = File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::string piped;
  std::thread reader([&] { piped = FileBytes(pipe); });
  const std::string target = (elsewhere.Path() / "target.txt").string();
  elsewhere.Write("target.txt", "old\r\n");
  const std::string link = File("link");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  const struct {
    std::string output;
    std::function<std::string()> written;
    std::function<bool()> unchanged;
  } cases[] = {
      {pipe, [&] { return reader.join(), piped; }, [&] { return std::filesystem::is_fifo(pipe); }},
      {link, [&] { return FileBytes(target); },
       [&] {
         return std::filesystem::is_symlink(link) && std::filesystem::read_symlink(link) == target;
       }},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Run({"--count", "1000", "--highest", "10", "--output", c.output}), kExitSuccess)
        << err_.str();
    const std::string lines = c.written();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1000) << c.output;
    EXPECT_TRUE(c.unchanged()) << c.output;
  }
  EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"link", "pipe"}));
  EXPECT_EQ(elsewhere.Entries(), std::vector<std::string>{"target.txt"});
}

// A null device of the test's own: the system's /dev/null is never given to a test.
TEST_F(CliRunTest, WritesIntoANullDeviceAndLeavesItADevice) {
  const std::string null = File("null");
  if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "making a device node needs root (mknod: " << std::strerror(errno) << ")";
  }
  EXPECT_EQ(Run({"--count", "1000", "--highest", "10", "--output", null}), kExitSuccess)
      << err_.str();
  EXPECT_TRUE(std::filesystem::is_character_file(null));
  EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"null"});
}
#else
TEST_F(CliRunTest, WritesIntoTheNulDeviceWithoutReplacingIt) {
  EXPECT_EQ(Run({"--count", "1000", "--highest", "10", "--output", "NUL"}), kExitSuccess)
      << err_.str();
  EXPECT_EQ(err_.str(), "");
}
#endif

TEST_F(CliRunTest, FillsANewWorkbookAndShowsIt) {
  ASSERT_EQ(Run({"--count", "4", "--highest", "3", "--unique", "--sort", "--spreadsheet"}),
            kExitSuccess);
  EXPECT_EQ(sheet_.rows, (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(sheet_.calls, (std::vector<std::string>{"add", "write 1", "show"}));
}

}  // namespace
}  // namespace tallowby::cli
