// Turns a glyph outline into an 8-bit coverage bitmap: quadratic curves
// flattened into lines, filled with the non-zero rule at 4x4 samples a pixel.
#pragma once

#include "TrueTypeFont.h"

#include <cstdint>
#include <vector>

namespace mw::tools {

struct GlyphBitmap
{
    int left = 0;  // pixel column of the bitmap's left edge, from the origin
    int top = 0;   // pixel row of its top edge above the baseline
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage; // width * height, rows top to bottom
};

constexpr int kMaxGlyphSide = 2048;

// scale: pixels per font unit. False when the glyph would be larger than
// kMaxGlyphSide on a side.
bool RasterizeGlyph(const GlyphOutline& outline, float scale, GlyphBitmap& bitmap);

} // namespace mw::tools
