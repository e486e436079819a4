#include "cli/options.h"

#include <charconv>
#include <limits>
#include <set>

#include "cli/shell_quoting.h"
#include "core/build_settings.h"

namespace tallowby::cli {

namespace {

template <class Integer>
Integer ParseInteger(std::string_view option, std::string_view text, Integer low, Integer high) {
  Integer value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error == std::errc::invalid_argument || end != text.data() + text.size()) {
    throw UsageError("invalid value " + ShellQuoted(text) + " for " + std::string(option) +
                     ": not a whole number");
  }
  if (error == std::errc::result_out_of_range || value < low || value > high) {
    throw UsageError("invalid value " + ShellQuoted(text) + " for " + std::string(option) +
                     ": must be between " + std::to_string(low) + " and " + std::to_string(high));
  }
  return value;
}

NumberKind ParseKind(std::string_view text) {
  if (text == "all") return NumberKind::AllNumbers;
  if (text == "even") return NumberKind::Even;
  if (text == "odd") return NumberKind::Odd;
  if (text == "prime") return NumberKind::PrimeOnly;
  throw UsageError("invalid value " + ShellQuoted(text) +
                   " for --kind: must be all, even, odd or prime");
}

// A range's text, or the reason it is no range, in the words of every other invalid value.
template <class Parse>
auto ParseRanges(std::string_view option, std::string_view text, Parse parse) {
  try {
    return parse(text);
  } catch (const RangeTextError& error) {
    throw UsageError("invalid value " + ShellQuoted(text) + " for " + std::string(option) + ": " +
                     error.what());
  }
}

}  // namespace

CliOptions ParseOptions(std::span<const std::string_view> arguments) {
  CliOptions options;
  bool has_count = false;
  bool has_highest = false;
  bool has_output = false;
  // A script that names an option twice has a fault somewhere; taking the last would hide it.
  std::set<std::string_view> given;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view name = arguments[i];
    std::optional<std::string_view> attached;
    if (name.starts_with("--")) {
      if (const auto equals = name.find('='); equals != std::string_view::npos) {
        attached = name.substr(equals + 1);
        name = name.substr(0, equals);
      }
    } else if (name != "-h") {
      throw UsageError("unexpected argument " + ShellQuoted(name));
    }
    if (!given.insert(name == "-h" ? "--help" : name).second) {
      throw UsageError("option " + ShellQuoted(name) + " is given twice");
    }
    const auto flag = [&](bool& target) {
      if (attached) throw UsageError("option " + ShellQuoted(name) + " takes no value");
      target = true;
    };
    // Values may begin with '-' (a negative highest number, or standard output), but one that
    // begins with "--" is the next option: "--output --lf" lacks its file rather than writing
    // one named "--lf" (which "--output=--lf" or "./--lf" still can).
    const auto value = [&]() -> std::string_view {
      if (attached) return *attached;
      if (i + 1 >= arguments.size() || arguments[i + 1].starts_with("--"))
        throw UsageError("option " + ShellQuoted(name) + " needs a value");
      return arguments[++i];
    };
    if (name == "--count") {
      options.count =
          ParseInteger<std::int32_t>(name, value(), 0, std::numeric_limits<std::int32_t>::max());
      has_count = true;
    } else if (name == "--highest") {
      options.highest = ParseInteger<std::int32_t>(
          name, value(), std::numeric_limits<std::int32_t>::min(), kLargestHighest);
      has_highest = true;
    } else if (name == "--kind") {
      options.kind = ParseKind(value());
    } else if (name == "--seed") {
      options.seed =
          ParseInteger<std::uint64_t>(name, value(), 0, std::numeric_limits<std::uint64_t>::max());
    } else if (name == "--output") {
      options.output = value();
      if (options.output.empty()) throw UsageError("invalid value '' for --output: empty name");
      has_output = true;
    } else if (name == "--range") {
      options.range = ParseRanges(name, value(), ParseRange);
    } else if (name == "--exclude") {
      options.exclude_text = value();
      options.excluded = ParseRanges(name, options.exclude_text, ParseExclusions);
    } else if (name == "--columns") {
      options.columns = ParseInteger<std::int32_t>(name, value(), 1, kMostColumns);
    } else if (name == "--separator") {
      options.separator = value();
      // Numbers with nothing between them would run into each other.
      if (options.separator.empty())
        throw UsageError("invalid value '' for --separator: empty text");
    } else if (name == "--secure") {
      flag(options.secure);
    } else if (name == "--version") {
      flag(options.version);
    } else if (name == "--unique") {
      flag(options.unique);
    } else if (name == "--sort") {
      flag(options.sort);
    } else if (name == "--lf") {
      flag(options.line_feeds_only);
    } else if (name == "--spreadsheet") {
      flag(options.spreadsheet);
    } else if (name == "--help" || name == "-h") {
      flag(options.help);
    } else {
      throw UsageError("unknown option " + ShellQuoted(name));
    }
  }
  if (options.help || options.version) return options;
  if (!has_count) throw UsageError("option '--count' is required");
  if (options.range && has_highest) {
    throw UsageError("options '--range " + RangeText(*options.range) + "' and '--highest " +
                     std::to_string(options.highest) + "' cannot be used together");
  }
  if (!has_highest && !options.range) throw UsageError("option '--highest' is required");
  if (options.secure && options.seed) {
    throw UsageError("options '--secure' and '--seed " + std::to_string(*options.seed) +
                     "' cannot be used together: the system's generator takes no seed");
  }
  if (options.spreadsheet && has_output)
    throw UsageError("options '--spreadsheet' and '--output' cannot be used together");
  if (options.spreadsheet && options.line_feeds_only)
    throw UsageError("option '--lf' has no meaning with '--spreadsheet'");
  if (options.spreadsheet && given.contains("--separator"))
    throw UsageError("option '--separator' has no meaning with '--spreadsheet'");
  return options;
}

std::string_view UsageText() {
  return R"(Usage: tallowby-cli --count N (--highest H | --range LO..HI) [options]
Draws N random whole numbers, one per line: as the Tallowby window does, up to H + 1, or every
number of the kind from LO to HI equally likely.

  --count N         how many numbers (0 to 2147483647)
  --highest H       the highest possible number (-2147483648 to 2147483646); for H >= 1 the
                    numbers lie in 1 .. H + 1, the two end values half as likely, for H <= -1
                    in H + 1 .. 1
  --range LO..HI    instead of --highest: LO to HI, both included (-2147483648 to 2147483647),
                    each number of the kind equally likely
  --kind KIND       all (the default), even, odd or prime (primes are positive)
  --exclude LIST    never draw these: numbers and ranges separated by commas (13,20..29,-5..-1);
                    the numbers left keep their likelihoods
  --unique          no number twice, each set of N distinct numbers equally likely
  --sort            smallest first
  --seed S          the same S (0 to 18446744073709551615) gives the same list everywhere
  --secure          draw from the system's cryptographic generator, for numbers nobody must be
                    able to predict (a raffle, a lottery); not with --seed
  --columns N       N numbers per line (1 to 16384), or per spreadsheet row
  --separator TEXT  between numbers on a line (default: a tab)
  --output FILE     write to FILE, replaced only once it is complete; '-' (the default) is
                    standard output
  --lf              end lines with a line feed instead of CR LF
  --spreadsheet     put the numbers into a new, unsaved spreadsheet (at most 1048576 rows)
  -h, --help        show this text
  --version         show the program's version

A lottery, six different numbers from 1 to 49:
  tallowby-cli --range 1..49 --count 6 --unique --sort

Exit status: 0 done, 1 the output failed, 2 bad input.
)";
}

std::string VersionText() {
  return std::string("tallowby-cli ") + kBuildVersion + "\n";
}

}  // namespace tallowby::cli
