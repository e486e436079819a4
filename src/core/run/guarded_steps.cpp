#include "core/run/guarded_steps.h"

#include <stdexcept>

#include "core/ports/failure.h"

namespace tallowby {

namespace {

std::size_t Resolve(std::span<const GuardedStep> steps, std::size_t current, int target) {
  if (target == kNextStep) return current + 1;
  if (target == kEndOfHandler) return steps.size();
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (steps[i].line == target) return i;
  }
  throw std::logic_error("guarded handler has no step at line " + std::to_string(target));
}

}  // namespace

void RunGuardedSteps(std::span<const GuardedStep> steps, std::string_view identity,
                     ErrorReporter& reporter) {
  std::size_t current = 0;
  while (current < steps.size()) {
    const GuardedStep& step = steps[current];
    int target = kNextStep;
    try {
      target = step.action();
    } catch (...) {
      reporter.ReportError(DescribeCurrentException(), identity, step.line);
      target = step.resume_at;
    }
    current = Resolve(steps, current, target);
  }
}

}  // namespace tallowby
