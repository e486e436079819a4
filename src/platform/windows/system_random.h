// The operating system's cryptographic random generator.
#pragma once

#include <cstdint>
#include <span>

namespace tallowby {

// Fills the block with random bits from the system's cryptographic generator, which nobody can
// predict from earlier output; throws Failure when the system refuses. Fits
// BlockRandomSource::Fill.
void FillFromSystemGenerator(std::span<std::uint64_t> block);

}  // namespace tallowby
