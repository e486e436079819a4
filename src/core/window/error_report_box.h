// The uniform error report, shown in the window: "Application Error", OK only, the warning icon.
#pragma once

#include "core/ports/window_view.h"
#include "core/run/guarded_steps.h"

namespace tallowby {

class ErrorReportBox final : public ErrorReporter {
 public:
  explicit ErrorReportBox(WindowView& view) : view_(view) {}
  void ReportError(const std::string& description, std::string_view identity, int line) override;

 private:
  WindowView& view_;
};

}  // namespace tallowby
