// What tallowby-cli's range texts accept as a number: an optional '-', ASCII digits, nothing
// else, and a value that fits in 32 bits.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tallowby::fuzz {

inline std::optional<std::int32_t> WholeNumber(std::string_view text) {
  const bool negative = text.starts_with('-');
  if (negative) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  while (text.size() > 1 && text.front() == '0')
    text.remove_prefix(1);
  if (text.size() > 10) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text)
    value = value * 10 + (c - '0');
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace tallowby::fuzz
