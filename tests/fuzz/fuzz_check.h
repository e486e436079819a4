// What every fuzz target shares: an oracle's verdict that stops the run with the input named.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace tallowby::fuzz {

// libFuzzer saves the input that aborts and prints it; the message says which rule it broke.
inline void Check(bool holds, const char* rule, std::string_view detail = {}) {
  if (holds) return;
  std::fprintf(stderr, "oracle failed: %s %.*s\n", rule, static_cast<int>(detail.size()),
               detail.data());
  std::abort();
}

}  // namespace tallowby::fuzz
