#include "platform/windows/system_random.h"

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <limits>
#include <string>

#include "core/ports/failure.h"

namespace tallowby {

void FillFromSystemGenerator(std::span<std::uint64_t> block) {
  auto* bytes = reinterpret_cast<PUCHAR>(block.data());
  std::size_t left = block.size_bytes();
  while (left > 0) {
    const auto part = static_cast<ULONG>(
        std::min<std::size_t>(left, std::numeric_limits<ULONG>::max() & ~ULONG{7}));
    const NTSTATUS status = BCryptGenRandom(nullptr, bytes, part, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (!BCRYPT_SUCCESS(status)) {
      throw Failure("the system's random generator failed (status " +
                    std::to_string(static_cast<unsigned long>(status)) + ")");
    }
    bytes += part;
    left -= part;
  }
}

}  // namespace tallowby
