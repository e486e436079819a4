// The command line of tallowby-cli: what it asks for, read from the arguments.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/number_ranges.h"
#include "core/ports/choices.h"

namespace tallowby::cli {

// Exit statuses, as command-line tools use them.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitOutputFailed = 1;
inline constexpr int kExitBadInput = 2;

// Bad input: a one-line message naming the option or value at fault. Nothing has been drawn or
// written when it is thrown.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CliOptions {
  std::int32_t count = 0;
  std::int32_t highest = 0;
  NumberKind kind = NumberKind::AllNumbers;
  bool unique = false;
  bool sort = false;
  bool line_feeds_only = false;
  bool spreadsheet = false;
  bool help = false;
  bool version = false;
  // Instead of highest: every number of the kind in the range equally likely.
  std::optional<NumberRange> range;
  // Never drawn; sorted ranges apart from each other. exclude_text is as the user wrote it.
  std::vector<NumberRange> excluded;
  std::string exclude_text;
  // Numbers per line (or spreadsheet row), and what stands between two of them on a line.
  std::int32_t columns = 1;
  std::string separator = "\t";
  // Every draw from the operating system's cryptographic generator.
  bool secure = false;
  std::optional<std::uint64_t> seed;
  // "-" is standard output.
  std::string output = "-";
};

// The most columns a line or a sheet takes.
inline constexpr std::int32_t kMostColumns = 16'384;

// The highest number whose draws all fit in 32 bits: one above it, a draw can reach 2^31.
inline constexpr std::int32_t kLargestHighest = 2'147'483'646;

// Reads the arguments after the program name. Throws UsageError for anything it cannot take.
CliOptions ParseOptions(std::span<const std::string_view> arguments);

// The text --help prints.
std::string_view UsageText();

// The line --version prints.
std::string VersionText();

}  // namespace tallowby::cli
