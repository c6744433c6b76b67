// Reads arbitrary bytes as a TrueType font the way GlyphForge does and
// rasterises the printable ASCII characters.
#include "GlyphRasterizer.h"
#include "TrueTypeFont.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    mw::tools::TrueTypeFont font;
    std::string error;
    if (!font.Load(bytes, error))
        return 0;
    const float scale = 24.0f / float(font.UnitsPerEm());
    uint64_t crossingBudget = mw::tools::kMaxCrossings;
    for (uint32_t character = 32; character <= 126; ++character)
    {
        uint16_t glyph = font.GlyphIndex(character);
        font.AdvanceWidth(glyph);
        mw::tools::GlyphOutline outline;
        if (!font.Outline(glyph, outline, error))
            continue;
        mw::tools::GlyphBitmap bitmap;
        if (!mw::tools::RasterizeGlyph(outline, scale, bitmap, &crossingBudget))
            break;
    }
    return 0;
}
