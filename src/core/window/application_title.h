// The application title: the short form of the display name that captions message boxes.
#pragma once

#include <string>
#include <string_view>

namespace tallowby {

inline constexpr std::string_view kDisplayName = "Tallowby";
inline constexpr std::size_t kApplicationTitleLimit = 40;

// Drops the last word (from the last blank on) at least once, and again while the result is
// longer than 40 characters. A name without a blank, or a remainder without one, is kept and cut
// to 40 characters, as there is no word left to drop.
std::string ApplicationTitleFor(std::string_view display_name);

}  // namespace tallowby
