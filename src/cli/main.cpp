// tallowby-cli: the arguments and the process's standard streams, handed to RunCli.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/cli_run.h"
#include "cli/options.h"
#include "core/ports/failure.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include "platform/windows/com_apartment.h"
#include "platform/windows/excel_spreadsheet.h"
#include "platform/windows/native_file_system.h"
#include "platform/windows/wide_text.h"
#else
#include "platform/posix/native_file_system.h"
#include "platform/posix/spreadsheet_plugin.h"
#endif

namespace {

std::unique_ptr<tallowby::SpreadsheetLauncher> SpreadsheetBackend() {
#ifdef _WIN32
  tallowby::EnsureComApartment();
  return std::make_unique<tallowby::ExcelLauncher>();
#else
  // The plugin lies beside the program, in the build tree as where it is installed.
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return tallowby::LoadSpreadsheetPlugin(error ? std::string(".") : program.parent_path().string());
#endif
}

// The arguments as UTF-8, whatever the user's code page: main()'s would have turned names outside
// it into question marks.
std::vector<std::string> Arguments([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
  std::vector<std::string> arguments;
#ifdef _WIN32
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; wide != nullptr && i < count; ++i)
    arguments.push_back(tallowby::Narrow(wide[i]));
  LocalFree(wide);
#else
  arguments.assign(argv + (argc > 0 ? 1 : 0), argv + argc);
#endif
  return arguments;
}

void WriteStandardOutput(std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
    throw tallowby::Failure(std::strerror(errno));
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The lines carry their own CR LF; a text-mode stream would double the CR. Messages are UTF-8.
  _setmode(_fileno(stdout), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
#endif
  int status = tallowby::cli::kExitOutputFailed;
  try {
    const std::vector<std::string> texts = Arguments(argc, argv);
    const std::vector<std::string_view> arguments(texts.begin(), texts.end());
    tallowby::NativeFileSystem files;
    tallowby::cli::CliEnvironment environment{files, SpreadsheetBackend, WriteStandardOutput,
                                              std::cerr};
    status = tallowby::cli::RunCli(arguments, environment);
  } catch (...) {
    std::cerr << "tallowby-cli: " << tallowby::DescribeCurrentException() << '\n';
    return tallowby::cli::kExitOutputFailed;
  }
  if (std::fflush(stdout) != 0 && status == tallowby::cli::kExitSuccess) {
    std::cerr << "tallowby-cli: cannot write standard output: " << std::strerror(errno) << '\n';
    status = tallowby::cli::kExitOutputFailed;
  }
  return status;
}
