// The text of the uniform error report that the guarded handlers show.
#pragma once

#include <string>
#include <string_view>

namespace tallowby {

// Who failed, as the report names it on its second line.
inline constexpr std::string_view kFormLoadIdentity = "in Orrindale2021/08/31.Form1.Form_Load ";
inline constexpr std::string_view kPushButton1ClickIdentity =
    "in Orrindale2021/08/31.Form1.PushButton1_Click ";
inline constexpr std::string_view kPushButton6ClickIdentity =
    "in Orrindale2021/08/31.Form1.PushButton6_Click ";

inline constexpr std::string_view kErrorReportCaption = "Application Error";

// The address the report asks users to write to; set when the program is built.
std::string_view SupportAddress();

// The description, CR LF, the identity, "at line " and the number, CR CR, and the request to
// e-mail a screenshot to the support address.
std::string ErrorReportText(std::string_view description, std::string_view identity, int line,
                            std::string_view support_address = SupportAddress());

}  // namespace tallowby
