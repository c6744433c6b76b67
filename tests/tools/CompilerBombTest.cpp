// Small crafted inputs that would make a compiler grow without end: each
// compiler runs for real under a memory limit and a time limit and must end
// with a one-line error and its failure code well within both.
#include "ToolRun.h"

#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace mw {
namespace {

using test::RunLimitedToolCommand;
using test::TempFolder;
using test::ToolsFolder;
using test::WriteFile;

// Far above what the compilers need for these inputs, far below what the
// inputs would take without their bounds.
constexpr size_t kMemoryMiB = 768;
constexpr int kSeconds = 20;

class CompilerBombTest : public ::testing::Test
{
protected:
    // Runs a program of tools/ on arguments (each quoted) under the limits.
    test::ToolResult Run(const std::string& program, const std::vector<std::string>& args)
    {
        std::string line = "\"" + ToolsFolder() + program + "\"";
        for (const std::string& arg : args)
            line += " \"" + arg + "\"";
        return RunLimitedToolCommand(line, temp.Path(), kMemoryMiB, kSeconds);
    }
    // The run failed with code exitCode and one error line naming the program
    // and holding reason.
    static void ExpectRefused(const test::ToolResult& result, int exitCode, const std::string& program,
                              const std::string& reason)
    {
        ASSERT_TRUE(result.started);
        EXPECT_FALSE(result.timedOut) << program << " still ran after " << kSeconds << " s";
        EXPECT_EQ(result.exitCode, exitCode) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err.substr(0, 400);
        EXPECT_EQ(result.err.rfind(program + ": ", 0), 0u) << result.err.substr(0, 400);
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err.substr(0, 400);
    }
    std::string Out(const std::string& name) const { return temp.Path() + "Build/" + name; }

    TempFolder temp;
};

TEST_F(CompilerBombTest, ShaderDefinesThatDoubleAtEveryLevelAreRefused)
{
    // 22 lines; the last define would be 4^20 times the first one's 8 bytes.
    std::string source = "#define D0 abcdefgh\n";
    for (int level = 1; level <= 20; ++level)
    {
        std::string previous = "D" + std::to_string(level - 1);
        source += "#define D" + std::to_string(level) + " " + previous + " " + previous + " " + previous + " " +
                  previous + "\n";
    }
    source += "technique T { D20 }\n";
    WriteFile(temp / "bomb.ssh", source);
    ExpectRefused(Run("ShadeForge", {temp / "bomb.ssh", Out("bomb.ssh")}), 1, "ShadeForge", "expands to more than");
    EXPECT_FALSE(PathExists(Out("bomb.ssh")));
}

TEST_F(CompilerBombTest, ShaderIncludeChainThatDoublesAtEveryFileIsRefused)
{
    // Each of 31 files includes the next one twice: 2^31 includes in all.
    for (int i = 0; i < 31; ++i)
    {
        std::string next = "#include \"f" + std::to_string(i + 1) + ".ssh\"\n";
        WriteFile(temp / ("f" + std::to_string(i) + ".ssh"), i == 30 ? "float x;\n" : next + next);
    }
    WriteFile(temp / "main.ssh", "#include \"f0.ssh\"\ntechnique T { }\n");
    ExpectRefused(Run("ShadeForge", {temp / "main.ssh", Out("main.ssh")}), 1, "ShadeForge", "includes in all");
}

#ifndef _WIN32
TEST_F(CompilerBombTest, InputsThatNeverEndAreRefusedAtTheSizeLimit)
{
    ExpectRefused(Run("ShadeForge", {"/dev/zero", Out("zero.ssh")}), 1, "ShadeForge", "is larger than");
    ExpectRefused(Run("MeshForge", {"/dev/zero", Out("zero.msh")}), 1, "MeshForge", "is larger than");
    ExpectRefused(Run("AnimForge", {"/dev/zero", Out("zero.anm")}), 1, "AnimForge", "is larger than");
    WriteFile(temp / "zero.mdl", "MDL 1\nvertices 3\n0 0 0 0 0\n1 0 0 0 0\n0 1 0 0 0\ntriangles 1\n0 1 2\n");
    ExpectRefused(Run("MeshForge", {temp / "zero.mdl", "-mif", "zero", "/dev/", Out("zero.msh")}), 1,
                  "MeshForge", "is larger than");
    WriteFile(temp / "zero.mwd", "MWWORLD 1\nregion a zero\n");
    ExpectRefused(Run("MapForge", {temp / "zero.mwd", "/dev/", Out("zero.map")}), 1, "MapForge", "is larger than");
}
#endif

TEST_F(CompilerBombTest, AnimationHeaderClaimingBillionsOfKeysIsRefusedBeforeAllocating)
{
    // 14 KB: 1024 bones of 100000 frames would be 2.8 GB of keys.
    std::string header = "ANM 1\nfps 30\nbones 1024\n";
    for (int i = 0; i < 1024; ++i)
        header += "bone b" + std::to_string(i) + " -1\n";
    header += "frames 100000\n0 0 0 0 0 0 1\n";
    WriteFile(temp / "bomb.anim", header);
    ExpectRefused(Run("AnimForge", {temp / "bomb.anim", Out("bomb.anm")}), 1, "AnimForge",
                  "more than the file can hold");
}

TEST_F(CompilerBombTest, MeshHeaderClaimingMoreThanTheFileHoldsIsRefused)
{
    WriteFile(temp / "bomb.mdl", "MDL 1\nvertices 1000000 colors\n0 0 0 0 0 0 0 0 0\n");
    ExpectRefused(Run("MeshForge", {temp / "bomb.mdl", Out("bomb.msh")}), 1, "MeshForge", "more than the file can hold");
    WriteFile(temp / "bomb.mdl", "MDL 1\nvertices 3\n0 0 0 0 0\n1 0 0 0 0\n0 1 0 0 0\ntriangles 2000000\n0 1 2\n");
    ExpectRefused(Run("MeshForge", {temp / "bomb.mdl", Out("bomb.msh")}), 1, "MeshForge", "more than the file can hold");
}

TEST_F(CompilerBombTest, WorldNamingOneLargeRegionThousandsOfTimesIsRefused)
{
    // One 1024 x 1024 region (2 MB of text) named by 4096 regions: 8 GB of map.
    std::string row;
    for (int x = 0; x < 1024; ++x)
        row += x ? " 0" : "0";
    std::string region = "MWREGION 1\nsize 1024 1024\nheights\n";
    region.reserve(region.size() + 1024 * (row.size() + 1));
    for (int y = 0; y < 1024; ++y)
        region += row + "\n";
    WriteFile(temp / "source/big.rgn", region);
    std::string world = "MWWORLD 1\n";
    for (int i = 0; i < 4096; ++i)
        world += "region r" + std::to_string(i) + " big.rgn\n";
    WriteFile(temp / "bomb.mwd", world);
    ExpectRefused(Run("MapForge", {temp / "bomb.mwd", temp / "source", Out("bomb.map")}), 1, "MapForge",
                  "the map's regions hold more than");
    EXPECT_FALSE(PathExists(Out("bomb.map")));
}

// A TrueType font whose characters 32-126 all map to glyph 1; glyphs[0] is
// the missing glyph. 1000 units per em.
class FontBytes
{
public:
    FontBytes& U16(int value)
    {
        bytes += char((value >> 8) & 0xFF);
        bytes += char(value & 0xFF);
        return *this;
    }
    FontBytes& U32(uint32_t value) { return U16(int(value >> 16)).U16(int(value & 0xFFFF)); }
    FontBytes& Zeros(size_t count)
    {
        bytes.append(count, '\0');
        return *this;
    }
    std::string bytes;
};

std::string SimpleGlyph(const std::vector<std::pair<int, int>>& points)
{
    FontBytes g;
    g.U16(1).U16(0).U16(0).U16(1000).U16(1000).U16(int(points.size()) - 1).U16(0);
    g.bytes.append(points.size(), char(1));
    int last = 0;
    for (const auto& p : points)
        g.U16((p.first - last) & 0xFFFF), last = p.first;
    last = 0;
    for (const auto& p : points)
        g.U16((p.second - last) & 0xFFFF), last = p.second;
    if (g.bytes.size() % 2)
        g.bytes += '\0';
    return g.bytes;
}

// A composite glyph of count references to glyph component, each moved by 1 unit.
std::string CompositeGlyph(int component, int count)
{
    FontBytes g;
    g.U16(0xFFFF).Zeros(8);
    for (int i = 0; i < count; ++i)
        g.U16(0x0003 | (i + 1 < count ? 0x0020 : 0)).U16(component).U16(i % 7).U16(0);
    return g.bytes;
}

std::string FontOf(const std::vector<std::string>& glyphs)
{
    std::string glyf;
    FontBytes loca;
    for (const std::string& glyph : glyphs)
    {
        loca.U32(uint32_t(glyf.size()));
        glyf += glyph;
    }
    loca.U32(uint32_t(glyf.size()));
    FontBytes head;
    head.U32(0x00010000).U32(0).U32(0).U32(0x5F0F3CF5).U16(0).U16(1000).Zeros(16).Zeros(8).U16(0).U16(8).U16(2).U16(1).U16(0);
    FontBytes hhea;
    hhea.U32(0x00010000).U16(800).U16(-200 & 0xFFFF).U16(0).Zeros(24).U16(1);
    FontBytes maxp;
    maxp.U32(0x00005000).U16(int(glyphs.size()));
    FontBytes hmtx;
    hmtx.U16(1000).U16(0);
    FontBytes cmap;
    cmap.U16(0).U16(1).U16(3).U16(1).U32(12);
    // Format 4: 32-126 to glyph 1, then the closing 0xFFFF segment.
    cmap.U16(4).U16(16 + 2 * 8).U16(0).U16(4).U16(4).U16(1).U16(0);
    cmap.U16(126).U16(0xFFFF).U16(0).U16(32).U16(0xFFFF).U16((1 - 32) & 0xFFFF).U16(1).U16(0).U16(0);
    std::vector<std::pair<std::string, std::string>> tables = {{"cmap", cmap.bytes}, {"glyf", glyf}, {"head", head.bytes},
                                                               {"hhea", hhea.bytes}, {"hmtx", hmtx.bytes},
                                                               {"loca", loca.bytes}, {"maxp", maxp.bytes}};
    FontBytes font;
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

TEST_F(CompilerBombTest, CompositeGlyphsNamingEachOtherManyTimesAreRefused)
{
    // About 1 KB: glyph 1 names glyph 2 sixteen times, glyph 2 names glyph 3
    // sixteen times, ... down to a square: 16^8 squares once expanded.
    std::vector<std::string> glyphs = {std::string()};
    for (int level = 1; level <= 8; ++level)
        glyphs.push_back(CompositeGlyph(level + 1, 16));
    glyphs.push_back(SimpleGlyph({{0, 0}, {0, 500}, {500, 500}, {500, 0}}));
    WriteFile(temp / "bomb.ttf", FontOf(glyphs));
    test::ToolResult result = Run("GlyphForge", {temp / "bomb.ttf", Out("bomb.fnt"), "512"});
    ExpectRefused(result, 2, "GlyphForge", "composite glyph of more than 1024 components");
    EXPECT_FALSE(PathExists(Out("bomb.fnt")));
}

TEST_F(CompilerBombTest, GlyphsTooComplexToRasteriseAreRefused)
{
    // A zigzag of 1000 points from the bottom of the em to its top, named 64
    // times by glyph 1: at 512 pixels every character would cross 64000
    // edges on each of 2048 sample rows.
    std::vector<std::pair<int, int>> zigzag;
    for (int i = 0; i < 1000; ++i)
        zigzag.push_back({i, i % 2 ? 1000 : 0});
    WriteFile(temp / "bomb.ttf", FontOf({std::string(), CompositeGlyph(2, 64), SimpleGlyph(zigzag)}));
    test::ToolResult result = Run("GlyphForge", {temp / "bomb.ttf", Out("bomb.fnt"), "512"});
    ExpectRefused(result, 2, "GlyphForge", "too large or too complex to rasterise at size 512");
}

} // namespace
} // namespace mw
