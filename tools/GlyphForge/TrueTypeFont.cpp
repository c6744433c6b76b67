// TrueType parsing. All numbers in the font are big-endian; every read is
// bounds-checked so that a damaged font fails instead of reading past its end.
#include "TrueTypeFont.h"

namespace mw::tools {
namespace {

constexpr int kMaxCompositeDepth = 8;
// Bounds of one glyph's outline, components included: a composite may name
// the same glyph many times at every level, which would otherwise multiply.
constexpr size_t kMaxPoints = 65535;
constexpr int kMaxComponents = 1024;

bool Has(std::string_view bytes, size_t at, size_t count) { return at <= bytes.size() && bytes.size() - at >= count; }
uint16_t U16(std::string_view b, size_t at) { return uint16_t(uint8_t(b[at]) << 8 | uint8_t(b[at + 1])); }
int16_t I16(std::string_view b, size_t at) { return int16_t(U16(b, at)); }
uint32_t U32(std::string_view b, size_t at) { return uint32_t(U16(b, at)) << 16 | U16(b, at + 2); }

} // namespace

bool TrueTypeFont::FindTable(const char* tag, std::string_view& table) const
{
    const uint16_t count = U16(m_bytes, 4);
    for (uint16_t i = 0; i < count; ++i)
    {
        size_t record = 12 + size_t(i) * 16;
        if (m_bytes.substr(record, 4) != tag)
            continue;
        uint32_t offset = U32(m_bytes, record + 8), length = U32(m_bytes, record + 12);
        if (!Has(m_bytes, offset, length))
            return false;
        table = m_bytes.substr(offset, length);
        return true;
    }
    return false;
}

bool TrueTypeFont::Load(std::string_view bytes, std::string& error)
{
    m_bytes = bytes;
    if (!Has(bytes, 0, 12))
    {
        error = "not a TrueType font (file too short)";
        return false;
    }
    uint32_t version = U32(bytes, 0);
    if (bytes.substr(0, 4) == "OTTO")
    {
        error = "fonts with PostScript outlines are not supported; use a TrueType font";
        return false;
    }
    if (version != 0x00010000 && bytes.substr(0, 4) != "true")
    {
        error = "not a TrueType font";
        return false;
    }
    if (!Has(bytes, 12, size_t(U16(bytes, 4)) * 16))
    {
        error = "damaged font: table directory past the end";
        return false;
    }
    std::string_view head, hhea, maxp, cmap;
    for (auto [tag, table] : {std::pair{"head", &head}, {"hhea", &hhea}, {"maxp", &maxp}, {"cmap", &cmap},
                              {"loca", &m_loca}, {"glyf", &m_glyf}, {"hmtx", &m_hmtx}})
    {
        if (!FindTable(tag, *table))
        {
            error = std::string("damaged or unsupported font: no valid '") + tag + "' table";
            return false;
        }
    }
    if (!Has(head, 0, 54) || !Has(hhea, 0, 36) || !Has(maxp, 0, 6))
    {
        error = "damaged font: a header table is too short";
        return false;
    }
    m_unitsPerEm = U16(head, 18);
    m_longOffsets = I16(head, 50) == 1;
    m_ascender = I16(hhea, 4);
    m_descender = I16(hhea, 6);
    m_lineGap = I16(hhea, 8);
    m_horizontalMetrics = U16(hhea, 34);
    m_glyphCount = U16(maxp, 4);
    if (m_unitsPerEm < 16 || m_unitsPerEm > 16384)
    {
        error = "damaged font: units per em out of range";
        return false;
    }
    if (m_horizontalMetrics < 1 || m_horizontalMetrics > m_glyphCount ||
        !Has(m_hmtx, 0, size_t(m_horizontalMetrics) * 4) ||
        !Has(m_loca, 0, size_t(m_glyphCount + 1) * (m_longOffsets ? 4 : 2)))
    {
        error = "damaged font: glyph tables too short for the glyph count";
        return false;
    }
    // The Unicode BMP map: platform 3 encoding 1, or platform 0, format 4.
    if (!Has(cmap, 0, 4))
    {
        error = "damaged font: character map too short";
        return false;
    }
    for (uint16_t i = 0, count = U16(cmap, 2); i < count && m_cmap4.empty(); ++i)
    {
        size_t record = 4 + size_t(i) * 8;
        if (!Has(cmap, record, 8))
            break;
        uint16_t platform = U16(cmap, record), encoding = U16(cmap, record + 2);
        uint32_t offset = U32(cmap, record + 4);
        if (!((platform == 3 && encoding == 1) || platform == 0) || !Has(cmap, offset, 4) || U16(cmap, offset) != 4)
            continue;
        uint16_t length = U16(cmap, offset + 2);
        if (Has(cmap, offset, length) && length >= 16)
            m_cmap4 = cmap.substr(offset, length);
    }
    if (m_cmap4.empty())
    {
        error = "font has no Unicode character map of format 4";
        return false;
    }
    return true;
}

uint16_t TrueTypeFont::GlyphIndex(uint32_t character) const
{
    if (character > 0xFFFF)
        return 0;
    const size_t segments = U16(m_cmap4, 6) / 2;
    const size_t ends = 14, starts = ends + segments * 2 + 2, deltas = starts + segments * 2,
                 rangeOffsets = deltas + segments * 2;
    if (!Has(m_cmap4, rangeOffsets, segments * 2))
        return 0;
    for (size_t s = 0; s < segments; ++s)
    {
        uint16_t end = U16(m_cmap4, ends + s * 2);
        if (character > end)
            continue;
        uint16_t start = U16(m_cmap4, starts + s * 2);
        if (character < start)
            return 0;
        uint16_t delta = U16(m_cmap4, deltas + s * 2);
        uint16_t rangeOffset = U16(m_cmap4, rangeOffsets + s * 2);
        if (rangeOffset == 0)
            return uint16_t(character + delta);
        size_t at = rangeOffsets + s * 2 + rangeOffset + (character - start) * 2;
        if (!Has(m_cmap4, at, 2))
            return 0;
        uint16_t glyph = U16(m_cmap4, at);
        return glyph == 0 ? 0 : uint16_t(glyph + delta);
    }
    return 0;
}

int TrueTypeFont::AdvanceWidth(uint16_t glyph) const
{
    int index = glyph < m_horizontalMetrics ? glyph : m_horizontalMetrics - 1;
    return U16(m_hmtx, size_t(index) * 4);
}

bool TrueTypeFont::Outline(uint16_t glyph, GlyphOutline& outline, std::string& error) const
{
    outline.clear();
    const float identity[6] = {1, 0, 0, 1, 0, 0};
    OutlineBudget budget{kMaxPoints, kMaxComponents};
    return AppendOutline(glyph, 0, identity, budget, outline, error);
}

bool TrueTypeFont::AppendOutline(uint16_t glyph, int depth, const float transform[6], OutlineBudget& budget,
                                 GlyphOutline& outline, std::string& error) const
{
    if (glyph >= m_glyphCount)
    {
        error = "damaged font: glyph index out of range";
        return false;
    }
    size_t start = m_longOffsets ? U32(m_loca, size_t(glyph) * 4) : size_t(U16(m_loca, size_t(glyph) * 2)) * 2;
    size_t end = m_longOffsets ? U32(m_loca, size_t(glyph) * 4 + 4) : size_t(U16(m_loca, size_t(glyph) * 2 + 2)) * 2;
    if (end == start)
        return true; // an empty glyph, such as the blank
    if (end < start || !Has(m_glyf, start, end - start) || end - start < 10)
    {
        error = "damaged font: glyph data outside its table";
        return false;
    }
    std::string_view data = m_glyf.substr(start, end - start);
    const int16_t contours = I16(data, 0);
    if (contours < 0)
    {
        if (depth >= kMaxCompositeDepth)
        {
            error = "damaged font: composite glyphs nested too deep";
            return false;
        }
        size_t at = 10;
        for (;;)
        {
            if (!Has(data, at, 4))
                break;
            uint16_t flags = U16(data, at), component = U16(data, at + 2);
            at += 4;
            float dx = 0, dy = 0;
            bool words = flags & 0x0001, offsets = flags & 0x0002;
            if (!Has(data, at, words ? 4 : 2))
                break;
            if (words)
                dx = I16(data, at), dy = I16(data, at + 2), at += 4;
            else
                dx = int8_t(data[at]), dy = int8_t(data[at + 1]), at += 2;
            if (!offsets)
                dx = dy = 0; // point matching is not supported; place at the origin
            float m[4] = {1, 0, 0, 1};
            size_t scaleBytes = (flags & 0x0008) ? 2 : (flags & 0x0040) ? 4 : (flags & 0x0080) ? 8 : 0;
            if (!Has(data, at, scaleBytes))
                break;
            if (flags & 0x0008)
                m[0] = m[3] = I16(data, at) / 16384.0f;
            else if (flags & 0x0040)
                m[0] = I16(data, at) / 16384.0f, m[3] = I16(data, at + 2) / 16384.0f;
            else if (flags & 0x0080)
                for (int i = 0; i < 4; ++i)
                    m[i] = I16(data, at + size_t(i) * 2) / 16384.0f;
            at += scaleBytes;
            const float child[6] = {
                transform[0] * m[0] + transform[2] * m[1], transform[1] * m[0] + transform[3] * m[1],
                transform[0] * m[2] + transform[2] * m[3], transform[1] * m[2] + transform[3] * m[3],
                transform[0] * dx + transform[2] * dy + transform[4], transform[1] * dx + transform[3] * dy + transform[5]};
            if (budget.components-- == 0)
            {
                error = "damaged font: a composite glyph of more than 1024 components";
                return false;
            }
            if (!AppendOutline(component, depth + 1, child, budget, outline, error))
                return false;
            if (!(flags & 0x0020))
                return true;
        }
        error = "damaged font: composite glyph ends early";
        return false;
    }

    size_t at = 10;
    if (!Has(data, at, size_t(contours) * 2 + 2))
    {
        error = "damaged font: glyph ends early";
        return false;
    }
    std::vector<uint16_t> contourEnds(static_cast<size_t>(contours));
    for (size_t c = 0; c < contourEnds.size(); ++c)
    {
        contourEnds[c] = U16(data, at + c * 2);
        if (c > 0 && contourEnds[c] <= contourEnds[c - 1])
        {
            error = "damaged font: contour ends out of order";
            return false;
        }
    }
    at += size_t(contours) * 2;
    const size_t points = contours ? size_t(contourEnds.back()) + 1 : 0;
    if (points > budget.points)
    {
        error = "damaged font: too many points";
        return false;
    }
    budget.points -= points;
    at += 2 + U16(data, at); // skip the hinting instructions
    std::vector<uint8_t> flags;
    flags.reserve(points);
    while (flags.size() < points)
    {
        if (!Has(data, at, 1))
        {
            error = "damaged font: glyph flags end early";
            return false;
        }
        uint8_t flag = uint8_t(data[at++]);
        size_t repeat = 1;
        if (flag & 0x08)
        {
            if (!Has(data, at, 1))
            {
                error = "damaged font: glyph flags end early";
                return false;
            }
            repeat += uint8_t(data[at++]);
        }
        for (size_t r = 0; r < repeat && flags.size() < points; ++r)
            flags.push_back(flag);
    }
    std::vector<int> xs(points), ys(points);
    for (int axis = 0; axis < 2; ++axis)
    {
        const uint8_t shortBit = axis == 0 ? 0x02 : 0x04, sameBit = axis == 0 ? 0x10 : 0x20;
        std::vector<int>& values = axis == 0 ? xs : ys;
        int value = 0;
        for (size_t p = 0; p < points; ++p)
        {
            if (flags[p] & shortBit)
            {
                if (!Has(data, at, 1))
                {
                    error = "damaged font: coordinates end early";
                    return false;
                }
                int step = uint8_t(data[at++]);
                value += (flags[p] & sameBit) ? step : -step;
            }
            else if (!(flags[p] & sameBit))
            {
                if (!Has(data, at, 2))
                {
                    error = "damaged font: coordinates end early";
                    return false;
                }
                value += I16(data, at);
                at += 2;
            }
            values[p] = value;
        }
    }
    size_t first = 0;
    for (uint16_t last : contourEnds)
    {
        std::vector<OutlinePoint> contour;
        for (size_t p = first; p <= last; ++p)
        {
            float x = float(xs[p]), y = float(ys[p]);
            contour.push_back(OutlinePoint{transform[0] * x + transform[2] * y + transform[4],
                                           transform[1] * x + transform[3] * y + transform[5], (flags[p] & 0x01) != 0});
        }
        outline.push_back(std::move(contour));
        first = size_t(last) + 1;
    }
    return true;
}

} // namespace mw::tools
