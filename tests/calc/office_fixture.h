// Real, headless offices for the tests: each test gets a private profile (a copy of one made once)
// and a pipe of its own, and its tear-down ends every office of that profile and checks that none
// is left.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "calc/calc_launcher.h"
#include "calc/office_connection.h"
#include "support/temporary_folder.h"

namespace tallowby::calc::testing {

// Processes whose command line contains text, as pgrep -f sees them.
std::vector<pid_t> ProcessesMentioning(const std::string& text);

// What a shell command printed on standard output; throws Failure when it cannot be run or does
// not end with status 0.
std::string OutputOf(const std::string& command);

// Looks at an office the way a user would, through a connection of its own. Each method works on
// the office's spreadsheets as the desktop lists them; `document` counts from 0.
//
// UNO keeps one proxy per office object and process, made by whichever connection met the object
// first. An Observer made while an application object is connected therefore calls through the
// application's connection, and once that connection is gone a later connection of this process
// can be handed its broken proxies. So no Observer while an application is connected: look from
// another process then (tallowby_calc_observe).
class Observer {
 public:
  // Connects within timeout, which also bounds every call.
  explicit Observer(const std::string& pipe_name,
                    std::chrono::seconds timeout = std::chrono::seconds(60));

  int SpreadsheetCount();
  // The ranges of the first sheet that hold numbers, and those that hold anything else ("A1:A5").
  std::vector<std::string> NumberRanges(int document);
  std::vector<std::string> OtherRanges(int document);
  // The numbers in column A at the given 1-based rows of the first sheet.
  std::vector<double> ColumnA(int document, const std::vector<int>& rows);
  bool WindowVisible(int document);
  // A hidden spreadsheet of the observer's own, as a user's document would be.
  void OpenSpreadsheet();
  void CloseSpreadsheet(int document);
  void Terminate();

 private:
  OfficeConnection connection_;
};

class OfficeTest : public ::testing::Test {
 protected:
  OfficeTest();
  void TearDown() override;

  // A headless office with this test's profile and pipe.
  CalcOptions Options() const;
  std::string ProfileArgument() const;
  const std::string& Pipe() const { return pipe_; }
  const std::filesystem::path& Folder() const { return folder_.Path(); }

  // The processes of offices using this test's profile.
  std::vector<pid_t> OfficeProcesses() const;
  void SignalOffices(int signal) const;
  bool WaitUntilNoOffice(std::chrono::seconds timeout) const;

 private:
  tallowby::testing::TemporaryFolder folder_;
  std::string pipe_;
  std::set<std::string> pipe_files_before_;
};

}  // namespace tallowby::calc::testing
