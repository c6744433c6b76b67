// GlyphForge run for real with the Font command line on a small TrueType
// font built by the test (and on a system font when one is installed).
#include "ToolRun.h"

#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>

namespace mw {
namespace {

using test::ReadFile;
using test::RunToolCommand;
using test::TempFolder;
using test::ToolsFolder;
using test::WriteFile;

class BigEndian
{
public:
    BigEndian& U16(int value)
    {
        bytes += char((value >> 8) & 0xFF);
        bytes += char(value & 0xFF);
        return *this;
    }
    BigEndian& U32(uint32_t value) { return U16(int(value >> 16)).U16(int(value & 0xFFFF)); }
    BigEndian& Zeros(size_t count)
    {
        bytes.append(count, '\0');
        return *this;
    }
    std::string bytes;
};

// A simple glyph of one contour; points (x, y, on curve) in font units.
std::string SimpleGlyph(const std::vector<std::array<int, 3>>& points)
{
    BigEndian g;
    g.U16(1).U16(0).U16(0).U16(500).U16(500).U16(int(points.size()) - 1).U16(0);
    for (const auto& p : points)
        g.bytes += char(p[2] ? 1 : 0);
    int last = 0;
    for (const auto& p : points)
        g.U16(p[0] - last), last = p[0];
    last = 0;
    for (const auto& p : points)
        g.U16(p[1] - last), last = p[1];
    if (g.bytes.size() % 2)
        g.bytes += '\0';
    return g.bytes;
}

// Four glyphs, 1000 units per em: 0 empty, 1 a 500-unit square ('A'), 2 the
// square moved right by 100 as a composite ('B'), 3 a rounded square with
// off-curve points ('O').
std::string TestFont()
{
    std::vector<std::string> glyphs = {
        "", SimpleGlyph({{0, 0, 1}, {0, 500, 1}, {500, 500, 1}, {500, 0, 1}}),
        BigEndian().U16(-1 & 0xFFFF).Zeros(8).U16(0x0003).U16(1).U16(100).U16(0).bytes,
        SimpleGlyph({{250, 0, 1}, {0, 0, 0}, {0, 250, 1}, {0, 500, 0}, {250, 500, 1}, {500, 500, 0}, {500, 250, 1}, {500, 0, 0}})};
    std::string glyf;
    BigEndian loca;
    for (const std::string& glyph : glyphs)
    {
        loca.U16(int(glyf.size() / 2));
        glyf += glyph;
    }
    loca.U16(int(glyf.size() / 2));

    BigEndian head;
    head.U32(0x00010000).U32(0).U32(0).U32(0x5F0F3CF5).U16(0).U16(1000).Zeros(16).Zeros(8).U16(0).U16(8).U16(2).U16(0).U16(0);
    BigEndian hhea;
    hhea.U32(0x00010000).U16(800).U16(-200 & 0xFFFF).U16(0).Zeros(24).U16(4);
    BigEndian maxp;
    maxp.U32(0x00005000).U16(4);
    BigEndian hmtx;
    hmtx.U16(500).U16(0).U16(600).U16(0).U16(700).U16(0).U16(550).U16(0);
    BigEndian cmap;
    cmap.U16(0).U16(1).U16(3).U16(1).U32(12);
    // Format 4, segments 'A'-'B', 'O' and the closing 0xFFFF.
    cmap.U16(4).U16(16 + 3 * 8).U16(0).U16(6).U16(4).U16(1).U16(2);
    cmap.U16(66).U16(79).U16(0xFFFF).U16(0).U16(65).U16(79).U16(0xFFFF);
    cmap.U16((1 - 65) & 0xFFFF).U16((3 - 79) & 0xFFFF).U16(1).U16(0).U16(0).U16(0);

    std::vector<std::pair<std::string, std::string>> tables = {{"cmap", cmap.bytes}, {"glyf", glyf}, {"head", head.bytes},
                                                               {"hhea", hhea.bytes}, {"hmtx", hmtx.bytes},
                                                               {"loca", loca.bytes}, {"maxp", maxp.bytes}};
    BigEndian font;
    font.U32(0x00010000).U16(int(tables.size())).U16(64).U16(2).U16(48);
    uint32_t offset = uint32_t(12 + 16 * tables.size());
    std::string data;
    for (const auto& [tag, bytes] : tables)
    {
        font.bytes += tag;
        font.U32(0).U32(offset + uint32_t(data.size())).U32(uint32_t(bytes.size()));
        data += bytes;
        while (data.size() % 4)
            data += '\0';
    }
    return font.bytes + data;
}

struct Glyph
{
    uint32_t character;
    uint16_t x, y, width, height;
    int16_t left, top, advance;
};

Glyph GlyphOf(const std::string& fnt, char character)
{
    Glyph glyph;
    std::memcpy(&glyph.character, fnt.data() + 36 + 18 * size_t(character - 32), 4);
    std::memcpy(&glyph.x, fnt.data() + 40 + 18 * size_t(character - 32), 14);
    return glyph;
}

class GlyphForgeTest : public ::testing::Test
{
protected:
    test::ToolResult Run(const std::string& font, const std::string& size)
    {
        return RunToolCommand("\"" + ToolsFolder() + "GlyphForge.exe\" \"" + font + "\" \"" + temp.Path() +
                                  "Build/resources/fonts/test.fnt\" " + size,
                              temp.Path());
    }
    std::string Output() const { return ReadFile(temp / "Build/resources/fonts/test.fnt"); }

    TempFolder temp;
};

TEST_F(GlyphForgeTest, RasterisesSimpleCompositeAndCurvedGlyphsAndEndsWithOne)
{
    WriteFile(temp / "source/fonts/test.ttf", TestFont());
    test::ToolResult result = Run(temp.Path() + "source\\fonts\\test.ttf", "10");
    ASSERT_EQ(result.exitCode, 1) << result.err;
    std::string fnt = Output();
    ASSERT_EQ(fnt.substr(0, 4), "MWFN");
    uint32_t header[8];
    std::memcpy(header, fnt.data() + 4, sizeof(header));
    EXPECT_EQ(header[1], 10u);                   // size
    EXPECT_EQ(int32_t(header[2]), 8);            // ascent
    EXPECT_EQ(int32_t(header[3]), -2);           // descent
    EXPECT_EQ(header[7], 95u);                   // glyphs
    const uint32_t atlasWidth = header[5], atlasHeight = header[6];
    EXPECT_EQ(atlasWidth, 64u);
    ASSERT_EQ(fnt.size(), 36 + 95 * 18 + size_t(atlasWidth) * atlasHeight);
    auto coverage = [&](int x, int y) { return uint8_t(fnt[36 + 95 * 18 + size_t(y) * atlasWidth + size_t(x)]); };

    Glyph a = GlyphOf(fnt, 'A');
    EXPECT_EQ(a.character, uint32_t('A'));
    EXPECT_EQ(a.width, 5);
    EXPECT_EQ(a.height, 5);
    EXPECT_EQ(a.left, 0);
    EXPECT_EQ(a.top, 5);
    EXPECT_EQ(a.advance, 6);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(coverage(a.x + x, a.y + y), 255) << x << "," << y;
    EXPECT_EQ(coverage(a.x + 5, a.y), 0); // the padding

    Glyph b = GlyphOf(fnt, 'B');
    EXPECT_EQ(b.left, 1);
    EXPECT_EQ(b.width, 5);
    EXPECT_EQ(b.advance, 7);

    // The rounded square: full in the middle, partly covered at the corners.
    Glyph o = GlyphOf(fnt, 'O');
    ASSERT_EQ(o.width, 5);
    EXPECT_EQ(coverage(o.x + 2, o.y + 2), 255);
    EXPECT_GT(coverage(o.x, o.y), 0);
    EXPECT_LT(coverage(o.x, o.y), 200);

    Glyph blank = GlyphOf(fnt, ' ');
    EXPECT_EQ(blank.width, 0);
    EXPECT_EQ(blank.advance, 5);

    // Same input, same bytes.
    ASSERT_EQ(Run(temp.Path() + "source\\fonts\\test.ttf", "10").exitCode, 1);
    EXPECT_EQ(Output(), fnt);
}

TEST_F(GlyphForgeTest, SystemFontIsReadWhenInstalled)
{
    const std::string dejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!IsFile(dejaVu))
        GTEST_SKIP() << "no DejaVu Sans on this machine";
    test::ToolResult result = Run(dejaVu, "24");
    ASSERT_EQ(result.exitCode, 1) << result.err;
    Glyph a = GlyphOf(Output(), 'A');
    EXPECT_GT(a.width, 10);
    EXPECT_GT(a.height, 10);
}

TEST_F(GlyphForgeTest, FailuresEndWithTwoAndOneLine)
{
    std::string font = TestFont();
    struct Case
    {
        const char* what;
        std::string bytes;
        std::string size;
    };
    std::string random(2000, '\0');
    for (size_t i = 0; i < random.size(); ++i)
        random[i] = char((i * 7919 + 13) & 0xFF);
    for (const Case& c : {Case{"missing font", "", "10"}, Case{"size zero", font, "0"}, Case{"size not a number", font, "big"},
                          Case{"size too large", font, "9999"}, Case{"cut in half", font.substr(0, font.size() / 2), "10"},
                          Case{"PostScript outlines", "OTTO" + font.substr(4), "10"}, Case{"random bytes", random, "10"},
                          Case{"empty file", std::string(), "10"}})
    {
        std::string path = temp / "source/input.ttf";
        RemoveFile(path);
        if (std::string(c.what) != "missing font")
            WriteFile(path, c.bytes);
        RemoveFile(temp / "Build/resources/fonts/test.fnt");
        test::ToolResult result = Run(path, c.size);
        EXPECT_EQ(result.exitCode, 2) << c.what;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << c.what << ": " << result.err;
        EXPECT_FALSE(PathExists(temp / "Build/resources/fonts/test.fnt")) << c.what;
    }
}

} // namespace
} // namespace mw
