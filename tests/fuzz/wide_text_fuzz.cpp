// Text across the Windows boundary (folder names, stored settings): every name Windows can hold,
// paired surrogates or not, comes back from UTF-8 unchanged, and every valid UTF-8 text too.
// Built on every platform: the conversion is plain C++.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "platform/windows/wide_text.h"

using tallowby::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The bytes as UTF-16 units, as Windows would hand over a name.
  std::wstring units;
  for (std::size_t i = 0; i + 1 < size; i += 2)
    units.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  const std::string narrow = tallowby::Narrow(units);
  Check(tallowby::Widen(narrow) == units, "a Windows name does not come back", narrow);

  // The bytes as UTF-8: valid UTF-8 comes back byte for byte. A surrogate's three-byte form
  // (ED A0..BF) is left out: two of them in a row name the same character as its four-byte form,
  // which is the one that comes back, and the program only ever holds what Narrow made.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::wstring wide = tallowby::Widen(bytes);
  bool surrogate_form = false;
  for (std::size_t i = 0; i + 1 < size; ++i)
    surrogate_form |= data[i] == 0xED && data[i + 1] >= 0xA0 && data[i + 1] <= 0xBF;
  if (!surrogate_form && wide.find(L'\xFFFD') == std::wstring::npos)
    Check(tallowby::Narrow(wide) == bytes, "a UTF-8 text does not come back", bytes);
  return 0;
}
