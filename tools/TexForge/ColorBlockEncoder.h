// Encodes the colour of one 4x4 block as an 8-byte BC1 colour block.
#pragma once

#include <cstdint>

namespace mw::tools {

enum class ColorBlockMode {
    FourColour, // colour0 > colour1 (or equal with every index 0): BC2 and BC3 colour blocks
    AnyMode,    // BC1 without alpha: the three-colour mode too, never index 3
};

enum class EncodeQuality {
    Best, // least-squares endpoints refined by a search of neighbouring 565 values
    Fast, // least-squares endpoints only
    Clusters, // Best, plus every split of the pixels along the axis into the four colours
};

// block: 16 RGBA pixels, rows top to bottom; alpha is ignored. The endpoints
// and indexes minimise the summed squared RGB error of the decoded block
// within the search; a block of one colour gets the closest colour the 565
// endpoints and their interpolants can make. Output in integer arithmetic
// only, so that every build gives the same bytes.
void EncodeColorBlock(const uint8_t block[16][4], ColorBlockMode mode, EncodeQuality quality, uint8_t out[8]);

// The summed squared RGB error of an encoded colour block against block.
uint32_t ColorBlockError(const uint8_t block[16][4], const uint8_t encoded[8], ColorBlockMode mode);

} // namespace mw::tools
