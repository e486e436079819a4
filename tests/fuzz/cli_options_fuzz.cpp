// tallowby-cli's command line: any argument list is either read or refused with a usage message
// that a terminal shows as it is (no control character, valid UTF-8), never anything else, and
// what is read says the same when written out as options again. The input's NUL bytes separate
// the arguments.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/options.h"
#include "fuzz_check.h"

using tallowby::cli::CliOptions;
using tallowby::fuzz::Check;

namespace {

// The arguments that ask for exactly these options.
std::vector<std::string> Written(const CliOptions& o) {
  constexpr const char* kKinds[] = {"all", "even", "odd", "prime"};
  std::vector<std::string> a = {"--count=" + std::to_string(o.count),
                                std::string("--kind=") + kKinds[static_cast<int>(o.kind)],
                                "--columns=" + std::to_string(o.columns)};
  if (o.range) {
    a.push_back("--range=" + tallowby::cli::RangeText(*o.range));
  } else {
    a.push_back("--highest=" + std::to_string(o.highest));
  }
  if (!o.exclude_text.empty()) a.push_back("--exclude=" + o.exclude_text);
  if (o.seed) a.push_back("--seed=" + std::to_string(*o.seed));
  if (o.spreadsheet) {
    a.push_back("--spreadsheet");
  } else {
    a.push_back("--separator=" + o.separator);
    a.push_back("--output=" + o.output);
  }
  const std::pair<bool, const char*> flags[] = {{o.unique, "--unique"},
                                                {o.sort, "--sort"},
                                                {o.line_feeds_only, "--lf"},
                                                {o.secure, "--secure"}};
  for (const auto& [set, name] : flags) {
    if (set) a.push_back(name);
  }
  return a;
}

CliOptions Parse(const std::vector<std::string>& texts) {
  const std::vector<std::string_view> arguments(texts.begin(), texts.end());
  return tallowby::cli::ParseOptions(arguments);
}

// Printable UTF-8 by the table of well-formed byte sequences, C0 and C1 controls and DEL left out.
bool ShowsAsItIs(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = [&](std::size_t at) {
      return at < text.size() ? static_cast<unsigned char>(text[at]) : 0U;
    };
    const unsigned lead = byte(i);
    const auto tail = [&](std::size_t at) { return byte(at) >= 0x80 && byte(at) <= 0xbf; };
    std::size_t length = 0;
    if (lead >= 0x20 && lead < 0x7f) {
      length = 1;
    } else if (lead == 0xc2) {
      length = byte(i + 1) >= 0xa0 && tail(i + 1) ? 2 : 0;  // past the C1 controls
    } else if (lead > 0xc2 && lead <= 0xdf) {
      length = tail(i + 1) ? 2 : 0;
    } else if (lead >= 0xe0 && lead <= 0xef) {
      const bool second = lead == 0xe0   ? byte(i + 1) >= 0xa0 && tail(i + 1)
                          : lead == 0xed ? byte(i + 1) <= 0x9f && tail(i + 1)
                                         : tail(i + 1);
      length = second && tail(i + 2) ? 3 : 0;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
      const bool second = lead == 0xf0   ? byte(i + 1) >= 0x90 && tail(i + 1)
                          : lead == 0xf4 ? byte(i + 1) <= 0x8f && tail(i + 1)
                                         : tail(i + 1);
      length = second && tail(i + 2) && tail(i + 3) ? 4 : 0;
    }
    if (length == 0) return false;
    i += length;
  }
  return true;
}

bool Same(const CliOptions& a, const CliOptions& b) {
  return a.count == b.count && (a.range ? a.range == b.range : a.highest == b.highest) &&
         a.kind == b.kind && a.unique == b.unique && a.sort == b.sort &&
         a.line_feeds_only == b.line_feeds_only && a.spreadsheet == b.spreadsheet &&
         a.excluded == b.excluded && a.columns == b.columns && a.separator == b.separator &&
         a.secure == b.secure && a.seed == b.seed && a.output == b.output;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments;
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = std::min(text.find('\0', start), text.size());
    arguments.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  CliOptions options;
  try {
    options = Parse(arguments);
  } catch (const tallowby::cli::UsageError& error) {
    Check(*error.what() != '\0', "a usage error without a message");
    Check(ShowsAsItIs(error.what()), "a message a terminal would not show as it is:", error.what());
    return 0;
  }
  if (options.help || options.version) return 0;
  Check(
      options.count >= 0 && options.columns >= 1 && options.columns <= tallowby::cli::kMostColumns,
      "a count or column count out of its range");
  Check(!(options.secure && options.seed), "--secure taken with --seed");
  CliOptions again;
  try {
    again = Parse(Written(options));
  } catch (const tallowby::cli::UsageError& error) {
    Check(false, "options written out again are refused:", error.what());
  }
  Check(Same(options, again), "options written out again read differently");
  return 0;
}
