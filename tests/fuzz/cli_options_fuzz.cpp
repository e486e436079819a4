// tallowby-cli's command line: any argument list is either read or refused with a usage message
// that a terminal shows as it is (no control character, valid UTF-8), never anything else, and
// what is read says the same when written out as options again. The input's NUL bytes separate
// the arguments.
#include <clocale>
#include <cstdint>
#include <cwchar>
#include <cwctype>
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

// Valid UTF-8 with no control character (C0, DEL, C1), as the C library of a UTF-8 locale reads it.
bool ShowsAsItIs(std::string_view text) {
  static const bool utf8 = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
  std::mbstate_t state{};
  for (std::size_t i = 0; utf8 && i < text.size();) {
    wchar_t character = 0;
    const std::size_t length = std::mbrtowc(&character, text.data() + i, text.size() - i, &state);
    if (length == 0 || length > text.size() - i || std::iswcntrl(static_cast<wint_t>(character)))
      return false;
    i += length;
  }
  return utf8;
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
