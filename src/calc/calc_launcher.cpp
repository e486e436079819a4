#include "calc/calc_launcher.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include "calc/calc_installation.h"
#include "calc/office_connection.h"
#include "calc/office_process.h"
#include "calc/poll_until.h"
#include "core/numbers/random_source.h"
#include "core/ports/failure.h"
#include "core/run/spreadsheet_rows.h"

namespace tallowby::calc {

namespace {

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using std::chrono::milliseconds;

constexpr milliseconds kRetryInterval{100};
// How long an office asked to terminate may take before it is stopped by signals, and how long
// SIGTERM has before SIGKILL.
constexpr std::chrono::seconds kExitGrace{10};
constexpr std::chrono::seconds kStopGrace{3};

constexpr const char* kCouldNotStart = "LibreOffice could not be started";
constexpr const char* kCouldNotCreate = "LibreOffice Calc could not create a new spreadsheet";
constexpr const char* kCouldNotWrite = "LibreOffice Calc could not write the numbers";
constexpr const char* kCouldNotShow = "LibreOffice Calc could not show the spreadsheet";
constexpr const char* kCouldNotClose = "LibreOffice Calc could not close the hidden spreadsheet";
constexpr const char* kNoWorkbook = "LibreOffice Calc has no new spreadsheet open.";

// The pipe's name is part of a socket path under /tmp, which allows about a hundred characters.
std::string UniquePipeName() {
  static std::atomic<unsigned> started{0};
  char name[64];
  std::snprintf(name, sizeof name, "tallowby_%ld_%u_%08llx", static_cast<long>(::getpid()),
                ++started, static_cast<unsigned long long>(OperatingSystemEntropy() & 0xffffffff));
  return name;
}

std::string DescribeSeconds(milliseconds duration) {
  char text[32];
  const double seconds = static_cast<double>(duration.count()) / 1000.0;
  std::snprintf(text, sizeof text, duration.count() % 1000 == 0 ? "%.0f" : "%.1f", seconds);
  return std::string(text) + (duration == std::chrono::seconds(1) ? " second" : " seconds");
}

template <class Interface>
Reference<Interface> Require(const Reference<css::uno::XInterface>& object, const char* problem) {
  Reference<Interface> result(object, UNO_QUERY);
  if (!result.is()) throw Failure(problem);
  return result;
}

// The office's objects for the run's workbooks. They are touched only inside calls on the
// connection's thread, which own a share of them.
struct Workbooks {
  std::vector<Reference<css::lang::XComponent>> documents;  // the last one is the active one
  Reference<css::sheet::XSpreadsheet> sheet;                // its first sheet

  void Add(const Reference<css::lang::XComponent>& document) {
    if (!document.is()) throw Failure("LibreOffice did not create a spreadsheet.");
    documents.push_back(document);  // whatever it is, it is hidden and closed with the others
    sheet.clear();
    const auto spreadsheet = Require<css::sheet::XSpreadsheetDocument>(
        document, "LibreOffice did not create a spreadsheet.");
    const auto sheets = Require<css::container::XIndexAccess>(spreadsheet->getSheets(),
                                                              "The new spreadsheet has no sheets.");
    if (sheets->getCount() < 1) throw Failure("The new spreadsheet has no sheets.");
    sheet = Require<css::sheet::XSpreadsheet>(
        Reference<css::uno::XInterface>(sheets->getByIndex(0), UNO_QUERY),
        "The new spreadsheet has no sheets.");
  }

  void CloseAll() {
    for (const Reference<css::lang::XComponent>& document : documents) {
      const Reference<css::util::XCloseable> closeable(document, UNO_QUERY);
      try {
        if (closeable.is()) {
          closeable->close(true);  // a veto makes the vetoing party close it when done
        } else {
          document->dispose();
        }
      } catch (const css::util::CloseVetoException&) {
      }
    }
    Clear();
  }

  void Clear() {
    sheet.clear();
    documents.clear();
  }
};

class CalcApplication final : public SpreadsheetApplication {
 public:
  CalcApplication(std::unique_ptr<OfficeProcess> process,
                  std::unique_ptr<OfficeConnection> connection)
      : process_(std::move(process)), connection_(std::move(connection)) {}

  ~CalcApplication() override {
    if (shown_) {
      Release();
    } else {
      CloseHiddenWork();
    }
  }

  void AddWorkbook() override {
    const Reference<css::frame::XDesktop2> desktop = connection_->Desktop();
    const std::shared_ptr<Workbooks> workbooks = workbooks_;
    connection_->Call(kCouldNotCreate, [desktop, workbooks] {
      Sequence<css::beans::PropertyValue> arguments(1);
      arguments.getArray()[0].Name = "Hidden";
      arguments.getArray()[0].Value <<= true;
      workbooks->Add(
          desktop->loadComponentFromURL("private:factory/scalc", "_blank", 0, arguments));
    });
  }

  void WriteFirstColumn(std::span<const std::int32_t> values, std::int64_t first_row) override {
    WriteRows(values, 1, first_row);
  }

  void WriteRows(std::span<const std::int32_t> values, std::int32_t columns,
                 std::int64_t first_row) override {
    ForEachRectangle(values, static_cast<std::size_t>(columns),
                     static_cast<std::size_t>(kRowsPerCall), first_row,
                     [this](std::span<const std::int32_t> block, std::size_t width,
                            std::int64_t top) { WriteBlock(block, width, top); });
  }

  void MakeVisible() override {
    const std::shared_ptr<Workbooks> workbooks = workbooks_;
    connection_->Call(kCouldNotShow, [workbooks] {
      if (workbooks->documents.empty()) throw Failure(kNoWorkbook);
      const auto model = Require<css::frame::XModel>(workbooks->documents.back(), kNoWorkbook);
      const Reference<css::frame::XController> controller = model->getCurrentController();
      if (!controller.is()) throw Failure("The new spreadsheet has no window.");
      const Reference<css::frame::XFrame> frame = controller->getFrame();
      const Reference<css::awt::XWindow> window =
          frame.is() ? frame->getContainerWindow() : nullptr;
      if (!window.is()) throw Failure("The new spreadsheet has no window.");
      window->setVisible(true);
      const Reference<css::awt::XTopWindow> top_window(window, UNO_QUERY);
      if (top_window.is()) top_window->toFront();
    });
    shown_ = true;
  }

 private:
  // One rectangle of values.size() / width rows from column A and top_row on, in one call.
  void WriteBlock(std::span<const std::int32_t> values, std::size_t width, std::int64_t top_row) {
    const std::size_t count = values.size() / width;
    Sequence<Sequence<Any>> rows(static_cast<sal_Int32>(count));
    Sequence<Any>* row = rows.getArray();
    for (std::size_t i = 0; i < count; ++i) {
      row[i] = Sequence<Any>(static_cast<sal_Int32>(width));
      Any* cell = row[i].getArray();
      for (std::size_t j = 0; j < width; ++j)
        cell[j] <<= static_cast<double>(values[i * width + j]);
    }
    const auto top = static_cast<sal_Int32>(top_row - 1);
    const auto bottom = static_cast<sal_Int32>(top + static_cast<sal_Int32>(count) - 1);
    const auto right = static_cast<sal_Int32>(width - 1);
    const std::shared_ptr<Workbooks> workbooks = workbooks_;
    connection_->Call(kCouldNotWrite, [workbooks, rows, top, bottom, right] {
      if (!workbooks->sheet.is()) throw Failure(kNoWorkbook);
      Require<css::sheet::XCellRangeData>(
          workbooks->sheet->getCellRangeByPosition(0, top, right, bottom),
          "The sheet does not take values in bulk.")
          ->setDataArray(rows);
    });
  }

  // The office is ours while the soffice we started still runs: one that handed its arguments to
  // an office the user already ran ended straight after.
  bool OfficeIsOurs() const { return !process_->ExitStatus().has_value(); }

  // Drops our references on the connection's thread; the office and its documents stay.
  void Release() noexcept {
    const std::shared_ptr<Workbooks> workbooks = workbooks_;
    try {
      if (connection_->Usable())
        connection_->Call(kCouldNotClose, [workbooks] { workbooks->Clear(); });
    } catch (const Failure&) {
    }
    connection_.reset();
  }

  // Leaves nothing invisible behind: the hidden workbooks are closed, and an office we started
  // ends unless something else is open in it by now. An office of ours that no longer answers is
  // stopped by signals.
  void CloseHiddenWork() noexcept {
    const std::shared_ptr<Workbooks> workbooks = workbooks_;
    bool asked_to_end = false;
    try {
      connection_->Call(kCouldNotClose, [workbooks] { workbooks->CloseAll(); });
      if (OfficeIsOurs()) {
        const Reference<css::frame::XDesktop2> desktop = connection_->Desktop();
        asked_to_end = connection_->Call(kCouldNotClose, [desktop] {
          const Reference<css::container::XIndexAccess> frames(desktop->getFrames(), UNO_QUERY);
          if (frames.is() && frames->getCount() > 0) return false;  // the user works in it
          desktop->terminate();
          return true;
        });
      }
    } catch (const Failure&) {
      // The office went away, maybe ending as asked, or hangs; the connection tells which.
    }
    const bool lost = !connection_->Usable();
    const bool hangs = connection_->TimedOut();
    Release();
    if (!OfficeIsOurs()) return;
    if ((asked_to_end || lost) && !hangs && process_->WaitForExit(kExitGrace)) return;
    if (asked_to_end || lost) process_->Stop(kStopGrace);
  }

  std::unique_ptr<OfficeProcess> process_;
  std::unique_ptr<OfficeConnection> connection_;
  std::shared_ptr<Workbooks> workbooks_ = std::make_shared<Workbooks>();
  bool shown_ = false;
};

class CalcLauncher final : public SpreadsheetLauncher {
 public:
  explicit CalcLauncher(CalcOptions options) : options_(std::move(options)) {}

  bool IsPresent() override {
    return InspectCalcInstallation(options_.soffice).state == CalcInstallState::kPresent;
  }

  std::unique_ptr<SpreadsheetApplication> StartHidden() override {
    const CalcInstallation installation = InspectCalcInstallation(options_.soffice);
    if (installation.state != CalcInstallState::kPresent) {
      throw Failure(DescribeMissingCalc(installation.state));
    }
    const std::string pipe = options_.pipe_name.empty() ? UniquePipeName() : options_.pipe_name;
    const std::vector<std::string> arguments =
        OfficeCommandLine(installation.soffice, pipe, options_.extra_arguments);

    auto connection = std::make_unique<OfficeConnection>(options_.call_timeout);
    std::unique_ptr<OfficeProcess> process;
    try {
      process = OfficeProcess::Start(installation.soffice, arguments, options_.extra_environment);
    } catch (const Failure& failure) {
      throw Failure(std::string(kCouldNotStart) + ": " + failure.Description() + ".",
                    failure.Code());
    }
    try {
      ConnectWhileStarting(*process, *connection, pipe);
    } catch (...) {
      // A hidden office that never became usable is of no use to anyone.
      connection.reset();
      if (!process->ExitStatus()) process->Stop(kStopGrace);
      throw;
    }
    return std::make_unique<CalcApplication>(std::move(process), std::move(connection));
  }

 private:
  void ConnectWhileStarting(const OfficeProcess& process, OfficeConnection& connection,
                            const std::string& pipe) const {
    const bool connected = PollUntil(options_.start_timeout, kRetryInterval, [&] {
      if (connection.TryConnect(pipe)) return true;
      // Status 0 is a soffice that handed over to the user's running office, which is now
      // opening the pipe; -1 is a status the host collected before us.
      const std::optional<int> status = process.ExitStatus();
      if (status && *status != 0 && *status != -1) {
        throw Failure(std::string(kCouldNotStart) + ": it ended with " +
                      DescribeWaitStatus(*status) + ".");
      }
      return false;
    });
    if (!connected) {
      throw Failure(std::string(kCouldNotStart) + ": it did not answer within " +
                    DescribeSeconds(options_.start_timeout) + ".");
    }
  }

  CalcOptions options_;
};

}  // namespace

std::vector<std::string> OfficeCommandLine(const std::string& soffice, const std::string& pipe,
                                           const std::vector<std::string>& extra_arguments) {
  std::vector<std::string> arguments = {
      soffice,
      "--invisible",
      "--nologo",
      "--norestore",
      "--nodefault",
      "--nolockcheck",
      "--accept=pipe,name=" + pipe + ";urp;StarOffice.ComponentContext"};
  arguments.insert(arguments.end(), extra_arguments.begin(), extra_arguments.end());
  return arguments;
}

std::unique_ptr<SpreadsheetLauncher> CreateCalcLauncher(CalcOptions options) {
  return std::make_unique<CalcLauncher>(std::move(options));
}

}  // namespace tallowby::calc
