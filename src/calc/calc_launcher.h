// LibreOffice Calc as the program's spreadsheet application, driven over UNO.
//
// Starting: the launcher runs soffice out of sight with a pipe of its own to accept a UNO
// connection, and connects to it. When the user already runs LibreOffice, that soffice hands its
// arguments to the running office and ends; the connection then reaches the user's office, where
// the workbook opens. The office's process is in a session of its own, so it outlives this program.
//
// Ending: once the workbook was shown, it and the office are the user's and stay as they are.
// Before that, the hidden workbook is closed again, and an office this launcher started is ended
// when nothing else is open in it.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/spreadsheet.h"

namespace tallowby::calc {

struct CalcOptions {
  // The office's start script; empty: soffice on PATH, or the usual installation folders.
  std::string soffice;
  // More command-line arguments for the office, such as "--headless" or
  // "-env:UserInstallation=file:///…" (a profile of its own instead of the user's).
  std::vector<std::string> extra_arguments;
  // "NAME=value" entries for the office's environment, replacing variables of the same name.
  std::vector<std::string> extra_environment;
  // The pipe the office accepts the connection on; empty: a new name for every start.
  std::string pipe_name;
  // How long the office may take to start, and to answer each later call.
  std::chrono::milliseconds start_timeout{std::chrono::seconds(60)};
  std::chrono::milliseconds call_timeout{std::chrono::seconds(30)};
};

std::unique_ptr<SpreadsheetLauncher> CreateCalcLauncher(CalcOptions options = {});

// The command line (soffice first) the launcher starts an office with: out of sight, without the
// start-up screens and document recovery, accepting a UNO connection on pipe; extra_arguments go
// last. Offices started elsewhere for the launcher to find are started with it too.
std::vector<std::string> OfficeCommandLine(const std::string& soffice, const std::string& pipe,
                                           const std::vector<std::string>& extra_arguments = {});

// The cells written per call into the office (rows, when they are a column's): large enough that a
// sheet's column takes a handful of calls, small enough that no single call holds megabytes.
inline constexpr std::int32_t kRowsPerCall = 65'536;

}  // namespace tallowby::calc
