// One run of tallowby-cli, from its arguments to its exit status, over the core and the ports
// the platform provides.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <span>
#include <string_view>

#include "core/ports/file_system.h"
#include "core/ports/spreadsheet.h"

namespace tallowby::cli {

struct CliEnvironment {
  FileSystem& files;
  // Made only when --spreadsheet asks for it; may return null when there is no backend.
  std::function<std::unique_ptr<SpreadsheetLauncher>()> spreadsheet;
  // Writes bytes to standard output; throws Failure when they cannot be written.
  std::function<void(std::string_view)> standard_output;
  std::ostream& standard_error;
};

// Returns the exit status. Messages go to standard error as one line each, beginning with the
// program's name.
int RunCli(std::span<const std::string_view> arguments, CliEnvironment& environment);

}  // namespace tallowby::cli
