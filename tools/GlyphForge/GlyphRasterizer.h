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

// The edge crossings a whole font's glyphs may take together: far beyond
// any real font at the largest size, and a second or so of work.
constexpr uint64_t kMaxCrossings = uint64_t(1) << 26;

// scale: pixels per font unit. False when the glyph would be larger than
// kMaxGlyphSide on a side, or would take more edge crossings than are left
// in crossingBudget (when given; what the glyph takes is subtracted).
bool RasterizeGlyph(const GlyphOutline& outline, float scale, GlyphBitmap& bitmap, uint64_t* crossingBudget = nullptr);

} // namespace mw::tools
