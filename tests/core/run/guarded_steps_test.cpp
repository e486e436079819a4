#include "core/run/guarded_steps.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/ports/failure.h"
#include "core/run/error_report_text.h"

namespace tallowby {
namespace {

class RecordingReporter final : public ErrorReporter {
 public:
  void ReportError(const std::string& description, std::string_view identity, int line) override {
    reports.push_back(description + "|" + std::string(identity) + "|" + std::to_string(line));
  }
  std::vector<std::string> reports;
};

void FailDeepInside() {
  throw Failure("Permission denied", 13);
}

TEST(RunGuardedSteps, ReportsEachFailureWithItsStepsLineAndResumesWhereTheTableSays) {
  std::vector<int> ran;
  const auto step = [&](int line, int next) {
    return [&ran, line, next] {
      ran.push_back(line);
      return next;
    };
  };
  const GuardedStep steps[] = {
      {100, step(100, kNextStep)},
      {102,
       [&] {
         ran.push_back(102);
         FailDeepInside();
         return 200;
       },
       106},
      {104, step(104, kNextStep)},  // skipped: the failure resumes at 106
      {106,
       [&] {
         ran.push_back(106);
         throw std::bad_alloc();
         return 0;
       }},
      {108, step(108, 112)},
      {110, step(110, kNextStep)},  // jumped over
      {112, step(112, kNextStep)},
      {112,
       [&] {
         ran.push_back(1120);
         throw std::runtime_error("");
         return 0;
       }},
      {114, step(114, kEndOfHandler)},
      {116, step(116, kNextStep)},
  };
  RecordingReporter reporter;
  RunGuardedSteps(steps, "in X ", reporter);
  EXPECT_EQ(ran, (std::vector<int>{100, 102, 106, 108, 112, 1120, 114}));
  EXPECT_EQ(reporter.reports,
            (std::vector<std::string>{"Permission denied|in X |102", "Out of memory|in X |106",
                                      "Unexpected failure|in X |112"}));
}

TEST(RunGuardedSteps, ABrokenTableIsAProgrammingErrorNotAReport) {
  const GuardedStep steps[] = {{100, [] { return 150; }}};
  RecordingReporter reporter;
  EXPECT_THROW(RunGuardedSteps(steps, "in X ", reporter), std::logic_error);
  EXPECT_TRUE(reporter.reports.empty());
}

TEST(ErrorReportText, JoinsDescriptionIdentityLineAndTheSupportRequest) {
  EXPECT_EQ(ErrorReportText("Overflow", kFormLoadIdentity, 130, "help@x.example"),
            "Overflow\r\nin Orrindale2021/08/31.Form1.Form_Load at line 130\r\r"
            "Please email screenshot of this message to help@x.example");
  EXPECT_EQ(ErrorReportText("", kPushButton6ClickIdentity, 144, "a@b.example"),
            "\r\nin Orrindale2021/08/31.Form1.PushButton6_Click at line 144\r\r"
            "Please email screenshot of this message to a@b.example");
  EXPECT_TRUE(ErrorReportText("D", kPushButton1ClickIdentity, 104)
                  .ends_with(std::string("to ") + std::string(SupportAddress())));
}

}  // namespace
}  // namespace tallowby
