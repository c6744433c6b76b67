// Encodes the alpha of one 4x4 block: BC2's explicit 4-bit values and BC3's
// interpolated alpha block.
#pragma once

#include <cstdint>

namespace mw::tools {

// Sixteen 4-bit values, each the nearest to the pixel's alpha.
void EncodeExplicitAlphaBlock(const uint8_t block[16][4], uint8_t out[8]);

// Two endpoints and sixteen 3-bit indexes. Both modes are searched (six
// interpolants between the endpoints, or four plus exact 0 and 255) and the
// one with the smaller summed squared error is kept.
void EncodeInterpolatedAlphaBlock(const uint8_t block[16][4], uint8_t out[8]);

// The summed squared alpha error of an interpolated alpha block against block.
uint32_t InterpolatedAlphaError(const uint8_t block[16][4], const uint8_t encoded[8]);

} // namespace mw::tools
