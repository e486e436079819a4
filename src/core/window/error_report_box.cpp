#include "core/window/error_report_box.h"

#include "core/run/error_report_text.h"

namespace tallowby {

void ErrorReportBox::ReportError(const std::string& description, std::string_view identity,
                                 int line) {
  view_.ShowMessageBox(ErrorReportText(description, identity, line),
                       std::string(kErrorReportCaption), MessageIcon::Warning);
}

}  // namespace tallowby
