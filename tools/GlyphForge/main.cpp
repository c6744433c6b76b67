// GlyphForge: rasterises the printable ASCII characters of a TrueType font
// at a pixel size into a .fnt glyph atlas. Ends with 1 on success and 2 on
// failure. Command line and formats: tools/README.md.
#include "GlyphRasterizer.h"
#include "TrueTypeFont.h"

#include "common/CompilerMain.h"
#include "common/BinaryOutput.h"
#include "common/ToolOutput.h"

#include "platform/PathRules.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using mw::Format;
using mw::tools::GlyphBitmap;

const char kProgram[] = "GlyphForge";
constexpr int kSuccess = 1;
constexpr int kFailure = 2;
constexpr uint32_t kFormatVersion = 1;
constexpr uint32_t kFirstCharacter = 32, kLastCharacter = 126;
constexpr int kPadding = 1;
constexpr int kMaxAtlasWidth = 4096;
// Font files beyond this are refused unread.
constexpr uint64_t kMaxFontSize = 64u << 20;

struct PlacedGlyph
{
    uint32_t character = 0;
    GlyphBitmap bitmap;
    int advance = 0;
    int x = 0, y = 0;
};

// Places the glyphs in rows of an atlas of the given width; the height used.
int Pack(std::vector<PlacedGlyph>& glyphs, int width)
{
    int x = kPadding, y = kPadding, rowHeight = 0;
    for (PlacedGlyph& glyph : glyphs)
    {
        if (x + glyph.bitmap.width + kPadding > width)
        {
            x = kPadding;
            y += rowHeight + kPadding;
            rowHeight = 0;
        }
        glyph.x = x;
        glyph.y = y;
        x += glyph.bitmap.width + kPadding;
        rowHeight = std::max(rowHeight, glyph.bitmap.height);
    }
    return y + rowHeight + kPadding;
}

// One compile; main runs it once, or once for each command line a worker is sent.
int Compile(const std::vector<std::string>& args)
{
    if (args.size() != 3)
    {
        mw::tools::ReportError(kProgram, "usage: GlyphForge FONT.ttf OUTPUT SIZE");
        return kFailure;
    }
    const std::string& fontPath = args[0];
    const std::string& output = args[1];
    const std::string& sizeText = args[2];
    if (sizeText.empty() || sizeText.size() > 4 || sizeText.find_first_not_of("0123456789") != std::string::npos ||
        std::atoi(sizeText.c_str()) < 4 || std::atoi(sizeText.c_str()) > 512)
    {
        mw::tools::ReportError(kProgram, Format("size '%s' is not a number from 4 to 512", sizeText.c_str()));
        return kFailure;
    }
    const int size = std::atoi(sizeText.c_str());

    std::string bytes, error;
    if (!mw::tools::ReadInput(kProgram, fontPath, bytes, kMaxFontSize))
        return kFailure;
    mw::tools::TrueTypeFont font;
    if (!font.Load(bytes, error))
    {
        mw::tools::ReportError(kProgram, Format("cannot read '%s': %s", fontPath.c_str(), error.c_str()));
        return kFailure;
    }
    const float scale = float(size) / float(font.UnitsPerEm());
    std::vector<PlacedGlyph> glyphs;
    uint64_t crossingBudget = mw::tools::kMaxCrossings;
    for (uint32_t character = kFirstCharacter; character <= kLastCharacter; ++character)
    {
        PlacedGlyph glyph;
        glyph.character = character;
        uint16_t index = font.GlyphIndex(character);
        mw::tools::GlyphOutline outline;
        if (!font.Outline(index, outline, error))
        {
            mw::tools::ReportError(kProgram, Format("cannot read '%s': character %u: %s", fontPath.c_str(), character,
                                                    error.c_str()));
            return kFailure;
        }
        if (!mw::tools::RasterizeGlyph(outline, scale, glyph.bitmap, &crossingBudget))
        {
            mw::tools::ReportError(kProgram, Format("'%s': character %u is too large or too complex to rasterise at size %d",
                                                    fontPath.c_str(), character, size));
            return kFailure;
        }
        glyph.advance = int(std::lround(font.AdvanceWidth(index) * scale));
        glyphs.push_back(std::move(glyph));
    }

    int width = 64, height = 0;
    for (;; width *= 2)
    {
        height = Pack(glyphs, width);
        if (height <= width || width >= kMaxAtlasWidth)
            break;
    }
    if (height > kMaxAtlasWidth)
    {
        mw::tools::ReportError(kProgram, Format("size %d does not fit into a %dx%d atlas", size, kMaxAtlasWidth,
                                                kMaxAtlasWidth));
        return kFailure;
    }
    std::vector<uint8_t> atlas(size_t(width) * size_t(height), 0);
    for (const PlacedGlyph& glyph : glyphs)
        for (int row = 0; row < glyph.bitmap.height; ++row)
            std::copy_n(glyph.bitmap.coverage.begin() + std::ptrdiff_t(row) * glyph.bitmap.width, glyph.bitmap.width,
                        atlas.begin() + std::ptrdiff_t(glyph.y + row) * width + glyph.x);

    mw::tools::BinaryOutput out;
    out.Bytes("MWFN");
    out.U32(kFormatVersion);
    out.U32(uint32_t(size));
    out.I32(int32_t(std::lround(font.Ascender() * scale)));
    out.I32(int32_t(std::lround(font.Descender() * scale)));
    out.I32(int32_t(std::lround(font.LineGap() * scale)));
    out.U32(uint32_t(width));
    out.U32(uint32_t(height));
    out.U32(uint32_t(glyphs.size()));
    for (const PlacedGlyph& glyph : glyphs)
    {
        out.U32(glyph.character);
        out.U16(uint16_t(glyph.x));
        out.U16(uint16_t(glyph.y));
        out.U16(uint16_t(glyph.bitmap.width));
        out.U16(uint16_t(glyph.bitmap.height));
        out.I16(int16_t(glyph.bitmap.left));
        out.I16(int16_t(glyph.bitmap.top));
        out.I16(int16_t(glyph.advance));
    }
    out.Bytes(std::string_view(reinterpret_cast<const char*>(atlas.data()), atlas.size()));
    if (!mw::tools::WriteOutput(kProgram, output, out))
        return kFailure;
    mw::tools::ReportProgress(Format("%s: %zu glyphs at %d pixels, %dx%d atlas, %zu bytes", output.c_str(), glyphs.size(),
                                     size, width, height, out.Data().size()));
    return kSuccess;
}

} // namespace

int main(int argc, char** argv)
{
    return mw::tools::CompilerMain(argc, argv, Compile);
}
