// The guarded-step runner behind every handler whose failures are reported with a line number.
//
// A handler is a table of steps. Each step has the line number its failures are reported with,
// an action that returns where to go next, and where to resume after a failure. A failure
// anywhere inside the action, including in routines it calls, is reported with the step's line;
// then the handler carries on where the table says.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace tallowby {

// Places a step can send the handler to, besides a line number (the first step with that line).
inline constexpr int kNextStep = -1;      // the step after this one in the table
inline constexpr int kEndOfHandler = -2;  // the handler returns

struct GuardedStep {
  int line;
  std::function<int()> action;  // returns a line, kNextStep or kEndOfHandler
  int resume_at = kNextStep;    // where to go after a reported failure
};

class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  // Shows the report and returns when the user has closed it.
  virtual void ReportError(const std::string& description, std::string_view identity, int line) = 0;
};

// Runs the table from its first step. A target line missing from the table is a programming
// error and throws std::logic_error, never reported to the user as their failure.
void RunGuardedSteps(std::span<const GuardedStep> steps, std::string_view identity,
                     ErrorReporter& reporter);

}  // namespace tallowby
