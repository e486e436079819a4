#include "platform/posix/system_random.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>

#include "core/ports/failure.h"

namespace tallowby {

void FillFromSystemGenerator(std::span<std::uint64_t> block) {
  auto* bytes = reinterpret_cast<unsigned char*>(block.data());
  std::size_t left = block.size_bytes();
  // Reads beyond 256 bytes may come back short when a signal arrives; the rest is read again.
  while (left > 0) {
    const ssize_t got = ::getrandom(bytes, left, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw Failure(std::string("the system's random generator failed: ") + std::strerror(errno));
    }
    bytes += got;
    left -= static_cast<std::size_t>(got);
  }
}

}  // namespace tallowby
