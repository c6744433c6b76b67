// Adler-32 as zlib computes it, with a vector path for large inputs: an
// archive save sums tens of megabytes of record bodies, and zlib's byte loop
// costs more than writing them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mw {

// The running value after the bytes; start with 1 for a fresh sum.
uint32_t Adler32(uint32_t adler, const void* bytes, size_t size);

} // namespace mw
