#include "core/run/error_report_text.h"

#include "core/build_settings.h"

namespace tallowby {

std::string_view SupportAddress() {
  return kBuildSupportAddress;
}

std::string ErrorReportText(std::string_view description, std::string_view identity, int line,
                            std::string_view support_address) {
  std::string text;
  text.append(description)
      .append("\r\n")
      .append(identity)
      .append("at line ")
      .append(std::to_string(line))
      .append("\r\r")
      .append("Please email screenshot of this message to ")
      .append(support_address);
  return text;
}

}  // namespace tallowby
