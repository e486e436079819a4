#include "platform/windows/excel_spreadsheet.h"

#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/ports/failure.h"
#include "excel_stand_in.h"
#include "platform/windows/system_error.h"
#include "stand_in_registration.h"
#include "support/temporary_folder.h"
#include "wine.h"

namespace tallowby {
namespace {

using testing::BesideThisProgram;
using testing::FileBytes;
using testing::kMissingServerClassIdText;
using testing::kMissingServerProgId;
using testing::kStandInClassIdText;
using testing::kStandInErrorCode;
using testing::kStandInProgId;
using testing::kStandInSettingsKey;
using testing::LocalServerRegistration;
using testing::RunningUnderWine;
using testing::TemporaryFolder;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

class ExcelTest : public ::testing::Test {
 protected:
  ~ExcelTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, kStandInSettingsKey); }

  // How the next application the stand-in creates behaves, and a fresh log for it.
  void Behave(const char* fail = "", const char* fail_plain = "", bool refuse = false) {
    std::remove(log_path_.c_str());
    const std::pair<const char*, std::string> settings[] = {{"Log", log_path_},
                                                            {"Fail", fail},
                                                            {"FailPlain", fail_plain},
                                                            {"Refuse", refuse ? "1" : ""}};
    for (const auto& [name, value] : settings) {
      ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kStandInSettingsKey, name, REG_SZ, value.c_str(),
                                static_cast<DWORD>(value.size() + 1)),
                ERROR_SUCCESS);
    }
  }

  // The log of the application, once it and everything reached through it are released (it
  // writes "end" last).
  std::vector<std::string> ServerLog() const {
    std::string text;
    for (int i = 0; i < 400; ++i) {
      text = FileBytes(log_path_);
      if (text.ends_with("end\n") || text == "create refused\n") break;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return Lines(text);
  }

  // Only the calls the application received, without its cells and end.
  std::vector<std::string> ServerCalls() const {
    std::vector<std::string> calls;
    for (const auto& line : ServerLog()) {
      if (line.starts_with("get ") || line.starts_with("call ") || line.starts_with("put ") ||
          line.starts_with("create")) {
        calls.push_back(line);
      }
    }
    return calls;
  }

  static ExcelLauncher StandIn(std::size_t rows_per_write = kExcelRowsPerWrite) {
    return ExcelLauncher({kStandInProgId, rows_per_write});
  }

  TemporaryFolder folder_;
  std::string log_path_ = (folder_.Path() / "stand-in.log").string();
  LocalServerRegistration registration_{
      kStandInClassIdText, kStandInProgId,
      "\"" + BesideThisProgram("excel_stand_in_server.exe") + "\""};
};

TEST_F(ExcelTest, FillsTheFirstColumnWithNumbersAndLeavesTheWorkbookShown) {
  Behave();
  auto application = StandIn().StartHidden();
  application->AddWorkbook();
  const std::int32_t values[] = {3, 11, 7, 7, 1};
  application->WriteFirstColumn(values, 1);
  application->MakeVisible();
  application.reset();
  EXPECT_EQ(ServerLog(),
            (std::vector<std::string>{"create", "get Workbooks", "call add", "get ActiveWorkbook",
                                      "get ActiveSheet", "get Range(A1:A5)", "put Value",
                                      "  array 5x1", "put Visible true", "cells 5", "A1 n:3",
                                      "A2 n:11", "A3 n:7", "A4 n:7", "A5 n:1", "end"}));
}

TEST_F(ExcelTest, AColumnWrittenInTwoCallsGoesOnWhereTheFirstEnded) {
  Behave();
  auto application = StandIn().StartHidden();
  application->AddWorkbook();
  const std::int32_t values[] = {3, 11, 7};
  application->WriteFirstColumn(std::span(values).first(2), 1);
  application->WriteFirstColumn(std::span(values).subspan(2), 3);
  application.reset();
  const std::vector<std::string> log = ServerLog();
  for (const char* range : {"get Range(A1:A2)", "get Range(A3:A3)", "A3 n:7"})
    EXPECT_NE(std::find(log.begin(), log.end(), range), log.end()) << range;
}

struct BlockCase {
  std::int32_t count;
  std::size_t rows_per_write;
  std::vector<std::string> ranges;
};

TEST_F(ExcelTest, WritesLargeColumnsInBlocksOfOneCallEach) {
  const BlockCase cases[] = {
      {0, kExcelRowsPerWrite, {}},
      {7, 3, {"get Range(A1:A3)", "get Range(A4:A6)", "get Range(A7:A7)"}},
      {6, 3, {"get Range(A1:A3)", "get Range(A4:A6)"}},
      {70'000, kExcelRowsPerWrite, {"get Range(A1:A65536)", "get Range(A65537:A70000)"}},
  };
  for (const auto& c : cases) {
    Behave();
    std::vector<std::int32_t> values;
    for (std::int32_t i = 0; i < c.count; ++i)
      values.push_back(i % 2 == 0 ? i * 7919 : -i);  // every cell its own value
    auto application = StandIn(c.rows_per_write).StartHidden();
    application->AddWorkbook();
    application->WriteFirstColumn(values, 1);
    application->MakeVisible();
    application.reset();

    const auto log = ServerLog();
    std::vector<std::string> ranges;
    std::vector<std::string> cells;
    for (const auto& line : log) {
      if (line.starts_with("get Range")) ranges.push_back(line);
      if (line.starts_with("A")) cells.push_back(line);
    }
    EXPECT_EQ(ranges, c.ranges) << c.count;
    ASSERT_EQ(cells.size(), values.size()) << c.count;
    for (std::size_t row = 0; row < values.size(); ++row) {
      ASSERT_EQ(cells[row], "A" + std::to_string(row + 1) + " n:" + std::to_string(values[row]));
    }
    EXPECT_EQ(log.back(), "end") << "every reference released";
  }
}

struct FailedCall {
  const char* fail;
  const char* fail_plain;
  std::function<void(SpreadsheetApplication&)> steps;
  int code;
  const char* description;  // null: the system's text for the code
  std::vector<std::string> calls;
};

TEST_F(ExcelTest, AFailingCallGivesOneFailureAndAnUnshownApplicationIsClosed) {
  const std::int32_t values[] = {1, 2, 3, 4, 5, 6, 7};
  const auto all_steps = [&](SpreadsheetApplication& application) {
    application.AddWorkbook();
    application.WriteFirstColumn(values, 1);
    application.MakeVisible();
  };
  const std::string close = "put DisplayAlerts false";
  const FailedCall cases[] = {
      {"Add",
       "",
       all_steps,
       kStandInErrorCode,
       "The stand-in refused Add.",
       {"create", "get Workbooks", "call add", close, "call Quit"}},
      {"Value",
       "",
       all_steps,
       kStandInErrorCode,
       "The stand-in refused Value.",
       {"create", "get Workbooks", "call add", "get ActiveWorkbook", "get ActiveSheet",
        "get Range(A1:A3)", "put Value", close, "call Quit"}},
      {"Visible",
       "",
       all_steps,
       kStandInErrorCode,
       "The stand-in refused Visible.",
       {"create", "get Workbooks", "call add", "get ActiveWorkbook", "get ActiveSheet",
        "get Range(A1:A3)", "put Value", "get Range(A4:A6)", "put Value", "get Range(A7:A7)",
        "put Value", "put Visible true", close, "call Quit"}},
      {"",
       "Workbooks",
       all_steps,
       static_cast<int>(E_ACCESSDENIED),
       nullptr,
       {"create", "get Workbooks", close, "call Quit"}},
      // Without a workbook there is no active one: Excel answers Nothing.
      {"",
       "",
       [&](SpreadsheetApplication& application) { application.WriteFirstColumn(values, 1); },
       static_cast<int>(DISP_E_TYPEMISMATCH),
       "The spreadsheet application gave no object for ActiveWorkbook",
       {"create", "get ActiveWorkbook", close, "call Quit"}},
  };
  for (const auto& c : cases) {
    Behave(c.fail, c.fail_plain);
    const std::string what = std::string(c.fail) + c.fail_plain;
    auto application = StandIn(3).StartHidden();
    int failures = 0;
    try {
      c.steps(*application);
    } catch (const Failure& failure) {
      ++failures;
      EXPECT_EQ(failure.Code(), c.code) << what;
      const std::string expected =
          c.description ? c.description : DescribeSystemError(static_cast<unsigned long>(c.code));
      EXPECT_EQ(failure.Description(), expected) << what;
    }
    EXPECT_EQ(failures, 1) << what;
    application.reset();
    EXPECT_EQ(ServerCalls(), c.calls) << what;
  }
}

TEST_F(ExcelTest, IsPresentCreatesTheApplicationAndReleasesItAtOnce) {
  Behave();
  EXPECT_TRUE(StandIn().IsPresent());
  EXPECT_EQ(ServerLog(), (std::vector<std::string>{"create", "cells 0", "end"}));
}

struct Absent {
  const char* what;
  const char* prog_id;
  HRESULT code;
};

TEST_F(ExcelTest, AnApplicationThatCannotBeCreatedIsAbsent) {
  Behave("", "", true);
  const LocalServerRegistration missing(
      kMissingServerClassIdText, kMissingServerProgId,
      "\"" + BesideThisProgram("tallowby-no-such-server.exe") + "\"");
  const Absent cases[] = {
      {"Excel not installed", kExcelProgId, CO_E_CLASSSTRING},
      {"the server creates no object", kStandInProgId, E_OUTOFMEMORY},
      // Windows' code for a missing server program could not be checked here.
      {"the server program is missing", kMissingServerProgId,
       RunningUnderWine() ? REGDB_E_CLASSNOTREG : S_OK},
  };
  for (const auto& c : cases) {
    ExcelLauncher launcher({c.prog_id, kExcelRowsPerWrite});
    EXPECT_FALSE(launcher.IsPresent()) << c.what;
    try {
      launcher.StartHidden();
      ADD_FAILURE() << c.what << ": started";
    } catch (const Failure& failure) {
      if (c.code != S_OK) {
        EXPECT_EQ(failure.Code(), static_cast<int>(c.code)) << c.what;
      }
      EXPECT_LT(failure.Code(), 0) << c.what << ": a failed HRESULT";
      EXPECT_NE(std::string(failure.Description()), "") << c.what;
    }
  }
}

// The backend joins whatever thread it runs on to COM, and works in a thread that already
// chose its apartment.
TEST_F(ExcelTest, WorksOnAnyThread) {
  const std::optional<DWORD> apartments[] = {std::nullopt, COINIT_APARTMENTTHREADED,
                                             COINIT_MULTITHREADED};
  for (const auto& apartment : apartments) {
    Behave();
    std::string outcome;
    std::thread([&] {
      if (apartment) CoInitializeEx(nullptr, *apartment);
      try {
        auto application = StandIn().StartHidden();
        application->AddWorkbook();
        application->MakeVisible();
        outcome = "shown";
      } catch (const Failure& failure) {
        outcome = failure.Description();
      }
      if (apartment) CoUninitialize();
    }).join();
    EXPECT_EQ(outcome, "shown");
    EXPECT_EQ(ServerCalls(), (std::vector<std::string>{"create", "get Workbooks", "call add",
                                                       "put Visible true"}));
  }
}

}  // namespace
}  // namespace tallowby
