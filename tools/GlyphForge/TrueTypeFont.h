// Reads what GlyphForge needs from a TrueType font: metrics, the character
// map and glyph outlines (simple and composite), every offset checked.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw::tools {

struct OutlinePoint
{
    float x = 0;
    float y = 0;
    bool onCurve = true;
};

// Closed contours in font units, y up.
using GlyphOutline = std::vector<std::vector<OutlinePoint>>;

class TrueTypeFont
{
public:
    // The font bytes must outlive this object. False with a reason.
    bool Load(std::string_view bytes, std::string& error);

    int UnitsPerEm() const { return m_unitsPerEm; }
    int Ascender() const { return m_ascender; }
    int Descender() const { return m_descender; }
    int LineGap() const { return m_lineGap; }

    // 0 (the missing-glyph glyph) when the character has no glyph.
    uint16_t GlyphIndex(uint32_t character) const;
    int AdvanceWidth(uint16_t glyph) const;
    // False with a reason when the glyph data is damaged.
    bool Outline(uint16_t glyph, GlyphOutline& outline, std::string& error) const;

private:
    bool FindTable(const char* tag, std::string_view& table) const;
    // What one glyph's outline may still take.
    struct OutlineBudget
    {
        size_t points;
        int components;
    };
    bool AppendOutline(uint16_t glyph, int depth, const float transform[6], OutlineBudget& budget,
                       GlyphOutline& outline, std::string& error) const;

    std::string_view m_bytes;
    std::string_view m_glyf, m_loca, m_hmtx, m_cmap4;
    int m_unitsPerEm = 0;
    int m_ascender = 0, m_descender = 0, m_lineGap = 0;
    int m_glyphCount = 0;
    int m_horizontalMetrics = 0;
    bool m_longOffsets = false;
};

} // namespace mw::tools
