#include "calc/office_fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include "calc/calc_installation.h"
#include "calc/office_process.h"
#include "calc/poll_until.h"
#include "core/numbers/random_source.h"
#include "core/ports/failure.h"

namespace tallowby::calc::testing {

namespace {

namespace fs = std::filesystem;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using std::chrono::milliseconds;
using std::chrono::seconds;

// An office's argument to use the profile in folder instead of the user's.
std::string ProfileArgumentFor(const fs::path& folder) {
  return "-env:UserInstallation=file://" + folder.string();
}

// The profile every test copies, made once per build by a first start of the office: that start
// writes the whole profile and is the slow one. Tests running side by side take turns here.
const fs::path& ProfileSeed() {
  static const fs::path profile = [] {
    const fs::path seed = TALLOWBY_PROFILE_SEED;
    fs::create_directories(seed);
    const int lock = ::open((seed / "lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    ::flock(lock, LOCK_EX);
    if (!fs::exists(seed / "complete")) {
      fs::remove_all(seed / "profile");
      const std::string soffice = InspectCalcInstallation("").soffice;
      const std::string pipe = "tallowby_seed_" + std::to_string(::getpid());
      const auto office = OfficeProcess::Start(
          soffice,
          OfficeCommandLine(soffice, pipe, {"--headless", ProfileArgumentFor(seed / "profile")}),
          {});
      Observer(pipe).Terminate();
      if (!office->WaitForExit(seconds(30))) office->Stop(seconds(5));
      std::ofstream(seed / "complete") << "seeded\n";
    }
    ::close(lock);
    return seed / "profile";
  }();
  return profile;
}

// The sockets of the pipes offices listen on, as osl names them.
std::set<std::string> PipeFiles() {
  std::set<std::string> names;
  const std::string prefix = "OSL_PIPE_" + std::to_string(::getuid()) + "_";
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/tmp", error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix)) names.insert(entry.path().string());
  }
  return names;
}

bool SomeoneListens(const std::string& socket_path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket_path.c_str(), sizeof address.sun_path - 1);
  const bool listens =
      ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return listens;
}

std::string ColumnName(int column) {
  if (column < 26) return std::string(1, static_cast<char>('A' + column));
  std::string name = "C";  // not "C" + text: GCC 12 warns falsely about that at -O3
  name += std::to_string(column + 1);
  return name;
}

std::vector<std::string> RangeTexts(const Reference<css::sheet::XSpreadsheet>& sheet,
                                    sal_Int32 flags) {
  const Reference<css::sheet::XCellRangesQuery> query(sheet, UNO_QUERY_THROW);
  std::vector<std::string> texts;
  for (const css::table::CellRangeAddress& range :
       query->queryContentCells(static_cast<sal_Int16>(flags))->getRangeAddresses()) {
    texts.push_back(ColumnName(range.StartColumn) + std::to_string(range.StartRow + 1) + ":" +
                    ColumnName(range.EndColumn) + std::to_string(range.EndRow + 1));
  }
  return texts;
}

std::vector<Reference<css::sheet::XSpreadsheetDocument>> Spreadsheets(
    const Reference<css::frame::XDesktop2>& desktop) {
  std::vector<Reference<css::sheet::XSpreadsheetDocument>> documents;
  const auto components = desktop->getComponents()->createEnumeration();
  while (components->hasMoreElements()) {
    const Reference<css::sheet::XSpreadsheetDocument> document(components->nextElement(),
                                                               UNO_QUERY);
    if (document.is()) documents.push_back(document);
  }
  return documents;
}

Reference<css::sheet::XSpreadsheet> FirstSheet(const Reference<css::frame::XDesktop2>& desktop,
                                               int document) {
  const auto documents = Spreadsheets(desktop);
  if (document >= static_cast<int>(documents.size())) throw Failure("no such spreadsheet");
  const Reference<css::container::XIndexAccess> sheets(documents[document]->getSheets(),
                                                       UNO_QUERY_THROW);
  return Reference<css::sheet::XSpreadsheet>(sheets->getByIndex(0), UNO_QUERY_THROW);
}

constexpr const char* kObserving = "Observing the office failed";

}  // namespace

std::vector<pid_t> ProcessesMentioning(const std::string& text) {
  std::vector<pid_t> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream file(entry.path() / "cmdline", std::ios::binary);
    std::string command_line((std::istreambuf_iterator<char>(file)), {});
    if (command_line.find(text) != std::string::npos) found.push_back(std::stoi(name));
  }
  return found;
}

std::string OutputOf(const std::string& command) {
  FILE* stream = ::popen(command.c_str(), "r");
  if (stream == nullptr) throw Failure("cannot run " + command);
  std::string output;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, stream))
    output += buffer;
  if (::pclose(stream) != 0) throw Failure(command + " failed");
  return output;
}

Observer::Observer(const std::string& pipe_name, seconds timeout) : connection_(timeout) {
  if (!PollUntil(timeout, milliseconds(100), [&] { return connection_.TryConnect(pipe_name); }))
    throw Failure("No office on " + pipe_name);
}

int Observer::SpreadsheetCount() {
  const auto desktop = connection_.Desktop();
  return connection_.Call(kObserving,
                          [desktop] { return static_cast<int>(Spreadsheets(desktop).size()); });
}

std::vector<std::string> Observer::NumberRanges(int document) {
  const auto desktop = connection_.Desktop();
  return connection_.Call(kObserving, [desktop, document] {
    return RangeTexts(FirstSheet(desktop, document), css::sheet::CellFlags::VALUE);
  });
}

std::vector<std::string> Observer::OtherRanges(int document) {
  const auto desktop = connection_.Desktop();
  return connection_.Call(kObserving, [desktop, document] {
    namespace flags = css::sheet::CellFlags;
    return RangeTexts(FirstSheet(desktop, document), flags::DATETIME | flags::STRING |
                                                         flags::ANNOTATION | flags::FORMULA |
                                                         flags::HARDATTR | flags::OBJECTS);
  });
}

std::vector<double> Observer::ColumnA(int document, const std::vector<int>& rows) {
  const auto desktop = connection_.Desktop();
  return connection_.Call(kObserving, [desktop, document, rows] {
    const auto sheet = FirstSheet(desktop, document);
    std::vector<double> values;
    for (const int row : rows)
      values.push_back(sheet->getCellByPosition(0, row - 1)->getValue());
    return values;
  });
}

bool Observer::WindowVisible(int document) {
  const auto desktop = connection_.Desktop();
  return connection_.Call(kObserving, [desktop, document] {
    const Reference<css::frame::XModel> model(Spreadsheets(desktop).at(document), UNO_QUERY_THROW);
    const Reference<css::awt::XWindow2> window(
        model->getCurrentController()->getFrame()->getContainerWindow(), UNO_QUERY_THROW);
    return window->isVisible() != 0;
  });
}

void Observer::OpenSpreadsheet() {
  const auto desktop = connection_.Desktop();
  connection_.Call(kObserving, [desktop] {
    css::uno::Sequence<css::beans::PropertyValue> arguments(1);
    arguments.getArray()[0].Name = "Hidden";
    arguments.getArray()[0].Value <<= true;
    desktop->loadComponentFromURL("private:factory/scalc", "_blank", 0, arguments);
  });
}

void Observer::CloseSpreadsheet(int document) {
  const auto desktop = connection_.Desktop();
  connection_.Call(kObserving, [desktop, document] {
    Reference<css::util::XCloseable>(Spreadsheets(desktop).at(document), UNO_QUERY_THROW)
        ->close(true);
  });
}

void Observer::Terminate() {
  const auto desktop = connection_.Desktop();
  try {
    connection_.Call(kObserving, [desktop] { desktop->terminate(); });
  } catch (const Failure&) {
    // The office may be gone before its answer is.
  }
}

OfficeTest::OfficeTest()
    : pipe_("tallowby_test_" + std::to_string(OperatingSystemEntropy() % 1'000'000'000)),
      pipe_files_before_(PipeFiles()) {
  fs::copy(ProfileSeed(), folder_.Path() / "profile", fs::copy_options::recursive);
}

void OfficeTest::TearDown() {
  if (!OfficeProcesses().empty()) {
    // Politely first, then by signals: a test may have left its office hanging on purpose.
    try {
      Observer(pipe_, seconds(5)).Terminate();
    } catch (const Failure&) {
    }
    if (!WaitUntilNoOffice(seconds(10))) {
      SignalOffices(SIGTERM);
      SignalOffices(SIGCONT);
      if (!WaitUntilNoOffice(seconds(5))) SignalOffices(SIGKILL);
    }
  }
  EXPECT_TRUE(WaitUntilNoOffice(seconds(5))) << "LibreOffice processes are left running";
  // An office that was killed leaves its sockets behind. A dying one loses its command line a
  // moment before it closes them, so a socket may still answer briefly.
  PollUntil(seconds(5), milliseconds(50), [this] {
    bool none_listening = true;
    for (const std::string& pipe_file : PipeFiles()) {
      if (pipe_files_before_.contains(pipe_file)) continue;
      if (SomeoneListens(pipe_file)) {
        none_listening = false;
      } else {
        fs::remove(pipe_file);
      }
    }
    return none_listening;
  });
}

CalcOptions OfficeTest::Options() const {
  CalcOptions options;
  options.extra_arguments = {"--headless", ProfileArgument()};
  options.pipe_name = pipe_;
  return options;
}

std::string OfficeTest::ProfileArgument() const {
  return ProfileArgumentFor(folder_.Path() / "profile");
}

std::vector<pid_t> OfficeTest::OfficeProcesses() const {
  return ProcessesMentioning(ProfileArgument());
}

void OfficeTest::SignalOffices(int signal) const {
  for (const pid_t pid : OfficeProcesses())
    ::kill(pid, signal);
}

bool OfficeTest::WaitUntilNoOffice(std::chrono::seconds timeout) const {
  return PollUntil(timeout, milliseconds(50), [this] { return OfficeProcesses().empty(); });
}

}  // namespace tallowby::calc::testing
