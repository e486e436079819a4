#include "cli/cli_run.h"

#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/shell_quoting.h"
#include "core/numbers/draw_request.h"
#include "core/ports/failure.h"
#include "core/run/results_text.h"
#include "core/run/spreadsheet_rows.h"

#ifdef _WIN32
#include "platform/windows/system_random.h"
#else
#include "platform/posix/system_random.h"
#endif

namespace tallowby::cli {

namespace {

constexpr std::string_view kProgram = "tallowby-cli: ";

std::string KindName(NumberKind kind) {
  switch (kind) {
    case NumberKind::AllNumbers:
      return "all";
    case NumberKind::Even:
      return "even";
    case NumberKind::Odd:
      return "odd";
    case NumberKind::PrimeOnly:
      return "prime";
  }
  return "";
}

// The list the options ask for; its source is chosen when it is drawn.
DrawRequest RequestOf(const CliOptions& options) {
  return {.kind = options.kind,
          .highest = options.highest,
          .range = options.range,
          .excluded = options.excluded,
          .count = options.count,
          .unique = options.unique,
          .sorted = options.sort,
          .source = {}};
}

// Where the numbers come from, as the refusals name it.
std::string DrawnWith(const CliOptions& options) {
  std::string where = options.range ? "--range " + RangeText(*options.range)
                                    : "--highest " + std::to_string(options.highest);
  if (!options.excluded.empty()) where += " --exclude " + options.exclude_text;
  return where;
}

// Every refusal that can be told from the options alone, before anything is drawn or written.
void CheckDrawable(const CliOptions& options, const DrawRequest& request) {
  using Reason = DrawRefusal::Reason;
  const std::string with = "with " + DrawnWith(options);
  const std::optional<DrawRefusal> refusal = CheckRequest(request);
  if (refusal && refusal->reason == Reason::kNothingToDraw) {
    throw UsageError("no number of --kind " + KindName(options.kind) + " can be drawn " + with);
  }
  const std::int64_t rows = (std::int64_t{options.count} + options.columns - 1) / options.columns;
  if (options.spreadsheet && rows > kSheetRowLimit) {
    throw UsageError("--count " + std::to_string(options.count) + " is more than a sheet's " +
                     std::to_string(kSheetRowLimit) + " rows" +
                     (options.columns > 1
                          ? " of " + std::to_string(options.columns) + " columns hold"
                          : std::string()));
  }
  if (refusal && refusal->reason == Reason::kTooFewDistinct) {
    throw UsageError("--unique: only " + std::to_string(refusal->distinct) +
                     " different numbers of --kind " + KindName(options.kind) + " can be drawn " +
                     with + ", fewer than --count " + std::to_string(options.count));
  }
  if (refusal && refusal->reason == Reason::kTooLargeToSort) {
    throw UsageError("--sort: " + std::to_string(options.count) + " numbers " + with +
                     " need more than 1 GiB to sort; use a smaller --count or " +
                     (options.range ? "--range" : "--highest") + ", or add --unique");
  }
}

// The folder part of an output's name, or nothing when it names a file in the working folder.
std::string FolderOf(const std::string& output) {
#ifdef _WIN32
  const std::size_t separator = output.find_last_of("\\/");
#else
  const std::size_t separator = output.rfind('/');
#endif
  if (separator == std::string::npos) return {};
  return output.substr(0, separator == 0 ? 1 : separator);
}

// An output that can never be written is refused before anything is drawn.
void CheckOutput(const CliOptions& options, FileSystem& files) {
  if (options.spreadsheet || options.output == "-") return;
  const std::string quoted = "--output " + ShellQuoted(options.output);
  if (files.FolderExists(options.output)) throw UsageError(quoted + " is a folder");
  // A folder that cannot be looked at (a name too long, no permission) is no missing folder: the
  // write then says why.
  const std::string folder = FolderOf(options.output);
  if (!folder.empty() && files.FolderIsMissing(folder)) {
    throw UsageError(quoted + ": there is no folder " + ShellQuoted(folder));
  }
}

void Draw(const CliOptions& options, DrawRequest request, NumberSink& sink) {
  if (options.secure) {
    request.source = DrawSource(FillFromSystemGenerator);
    DrawList(request, sink);
    return;
  }
  RandomSource random;
  if (options.seed) {
    random.Seed(*options.seed);
  } else {
    random.SeedFromClock(SecondsSinceMidnight());
  }
  request.source = DrawSource(random);
  DrawList(request, sink);
}

class LineSink final : public NumberSink {
 public:
  explicit LineSink(NumberLineBuffer& buffer) : buffer_(buffer) {}
  void Append(std::int32_t n) override { buffer_.Append(n); }

 private:
  NumberLineBuffer& buffer_;
};

class KeptNumbers final : public NumberSink {
 public:
  void Append(std::int32_t n) override { numbers.push_back(n); }
  std::vector<std::int32_t> numbers;
};

void WriteText(const CliOptions& options, const DrawRequest& request, CliEnvironment& environment) {
  const LineEnd line_end = options.line_feeds_only ? LineEnd::Lf : LineEnd::CrLf;
  if (options.output == "-") {
    NumberLineBuffer buffer(environment.standard_output, line_end, options.columns,
                            options.separator);
    LineSink sink(buffer);
    Draw(options, request, sink);
    buffer.Flush();
    return;
  }
  // The file appears, complete, only at the end; a failure on the way leaves the old one.
  const std::unique_ptr<FileReplacement> replacement =
      environment.files.BeginReplacement(options.output, {});
  {
    NumberLineBuffer buffer([&](std::string_view bytes) { replacement->Write(bytes); }, line_end,
                            options.columns, options.separator);
    LineSink sink(buffer);
    Draw(options, request, sink);
    buffer.Flush();
  }
  replacement->Commit();
}

void FillSpreadsheet(const CliOptions& options, const DrawRequest& request,
                     CliEnvironment& environment) {
  KeptNumbers kept;
  kept.numbers.reserve(static_cast<std::size_t>(options.count));
  Draw(options, request, kept);
  const std::unique_ptr<SpreadsheetLauncher> launcher =
      environment.spreadsheet ? environment.spreadsheet() : nullptr;
  if (!launcher) throw Failure("no spreadsheet support is installed");
  const std::unique_ptr<SpreadsheetApplication> application = launcher->StartHidden();
  application->AddWorkbook();
  WriteRowsInBlocks(*application, kept.numbers, options.columns);
  application->MakeVisible();
}

}  // namespace

int RunCli(std::span<const std::string_view> arguments, CliEnvironment& environment) {
  CliOptions options;
  DrawRequest request;
  try {
    options = ParseOptions(arguments);
    if (options.help || options.version) {
      environment.standard_output(options.help ? std::string(UsageText()) : VersionText());
      return kExitSuccess;
    }
    request = RequestOf(options);
    CheckDrawable(options, request);
    CheckOutput(options, environment.files);
  } catch (const UsageError& error) {
    environment.standard_error << kProgram << error.what() << '\n';
    return kExitBadInput;
  } catch (...) {
    environment.standard_error << kProgram << DescribeCurrentException() << '\n';
    return kExitOutputFailed;
  }
  const std::string target = options.spreadsheet     ? std::string("the spreadsheet")
                             : options.output == "-" ? std::string("standard output")
                                                     : ShellQuoted(options.output);
  try {
    if (options.spreadsheet) {
      FillSpreadsheet(options, request, environment);
    } else {
      WriteText(options, request, environment);
    }
  } catch (...) {
    // Whatever it was (the output, memory, a thread that could not start), one line says so.
    environment.standard_error << kProgram << "cannot write " << target << ": "
                               << DescribeCurrentException() << '\n';
    return kExitOutputFailed;
  }
  return kExitSuccess;
}

}  // namespace tallowby::cli
