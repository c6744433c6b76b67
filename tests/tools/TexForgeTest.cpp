// TexForge run for real on Targa images written by the test, with the
// command lines of the texture, bitmap and cube map assets.
#include "TargaReader.h"
#include "ToolRun.h"

#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::ReadFile;
using test::RunToolCommand;
using test::TempFolder;
using test::ToolsFolder;
using test::WriteFile;

struct Pixel
{
    uint8_t r, g, b, a;
};

// A Targa file of the image (rows top to bottom) in the given type and depth.
std::string Targa(int width, int height, const std::vector<Pixel>& pixels, int type, int depth, bool topLeft)
{
    std::string out(18, '\0');
    out[2] = char(type);
    out[12] = char(width), out[13] = char(width >> 8);
    out[14] = char(height), out[15] = char(height >> 8);
    out[16] = char(depth);
    out[17] = char((topLeft ? 0x20 : 0) | (depth == 32 ? 8 : 0));
    auto pixelBytes = [&](const Pixel& p) {
        if (depth == 8)
            return std::string(1, char(p.r));
        std::string bytes{char(p.b), char(p.g), char(p.r)};
        if (depth == 32)
            bytes += char(p.a);
        return bytes;
    };
    std::vector<Pixel> ordered;
    for (int row = 0; row < height; ++row)
    {
        int y = topLeft ? row : height - 1 - row;
        ordered.insert(ordered.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
    }
    if (type == 2 || type == 3)
    {
        for (const Pixel& p : ordered)
            out += pixelBytes(p);
        return out;
    }
    // Run-length: runs of equal pixels as run packets, the rest one raw packet each.
    for (size_t i = 0; i < ordered.size();)
    {
        size_t run = 1;
        while (i + run < ordered.size() && run < 128 && pixelBytes(ordered[i + run]) == pixelBytes(ordered[i]))
            ++run;
        if (run > 1)
            out += char(0x80 | (run - 1)), out += pixelBytes(ordered[i]);
        else
            out += char(0), out += pixelBytes(ordered[i]);
        i += run;
    }
    return out;
}

uint32_t U32(const std::string& bytes, size_t at)
{
    return uint32_t(uint8_t(bytes.at(at))) | uint32_t(uint8_t(bytes.at(at + 1))) << 8 |
           uint32_t(uint8_t(bytes.at(at + 2))) << 16 | uint32_t(uint8_t(bytes.at(at + 3))) << 24;
}

struct TexHeader
{
    uint32_t kind, width, height, images, format, flags, fps, levels;
};

TexHeader ReadHeader(const std::string& tex)
{
    EXPECT_EQ(tex.substr(0, 4), "MWTX");
    return TexHeader{U32(tex, 8), U32(tex, 12), U32(tex, 16), U32(tex, 20), U32(tex, 24), U32(tex, 28), U32(tex, 32),
                     U32(tex, 36)};
}

// The bytes of the first level of the first image.
std::string FirstLevel(const std::string& tex) { return tex.substr(44, U32(tex, 40)); }

class TexForgeTest : public ::testing::Test
{
protected:
    // The source folder as the tool hands it over: ending in a backslash.
    std::string Src() const { return temp.Path() + "source\\"; }
    std::string Tools() const { return ToolsFolder(); }
    test::ToolResult Run(const std::string& commandLine) { return RunToolCommand(commandLine, temp.Path()); }

    TempFolder temp;
};

TEST_F(TexForgeTest, ReadsUncompressedAndRunLengthTargaOfEveryKind)
{
    // 3x2, rows top to bottom; the bitmap line keeps the size and makes one level.
    const std::vector<Pixel> colour = {{255, 0, 0, 255}, {255, 0, 0, 255}, {0, 255, 0, 128},
                                       {0, 0, 255, 0},   {0, 0, 255, 0},   {9, 8, 7, 6}};
    const std::vector<Pixel> grey = {{10, 10, 10, 255}, {10, 10, 10, 255}, {10, 10, 10, 255},
                                     {200, 200, 200, 255}, {7, 7, 7, 255}, {7, 7, 7, 255}};
    struct Case
    {
        const char* what;
        int type, depth;
        bool topLeft;
        const std::vector<Pixel>& pixels;
    };
    for (const Case& c : {Case{"raw 24 bottom-up", 2, 24, false, colour}, Case{"raw 32 top-down", 2, 32, true, colour},
                          Case{"rle 32 bottom-up", 10, 32, false, colour}, Case{"rle 24 top-down", 10, 24, true, colour},
                          Case{"raw grey", 3, 8, false, grey}, Case{"rle grey", 11, 8, true, grey}})
    {
        WriteFile(temp / "source/image.tga", Targa(3, 2, c.pixels, c.type, c.depth, c.topLeft));
        test::ToolResult result = Run("\"" + Tools() + "TexForge.exe\" \"" + Src() + "image.tga\" \"" + temp.Path() +
                                      "out/image.tex\" -nopoweroftwo -nomipmaps");
        ASSERT_EQ(result.exitCode, 0) << c.what << result.err;
        std::string tex = ReadFile(temp / "out/image.tex");
        TexHeader header = ReadHeader(tex);
        EXPECT_EQ(header.width, 3u);
        EXPECT_EQ(header.height, 2u);
        EXPECT_EQ(header.levels, 1u);
        std::string expected;
        for (const Pixel& p : c.pixels)
            expected += std::string{char(p.r), char(p.g), char(p.b), char(c.depth == 32 ? p.a : 255)};
        EXPECT_EQ(FirstLevel(tex), expected) << c.what;
    }
}

TEST_F(TexForgeTest, AnimatedTextureLineWithStatisticsFramesAndFormat)
{
    std::vector<Pixel> pixels(16, Pixel{255, 255, 255, 255});
    for (int i = 0; i < 16; i += 2)
        pixels[size_t(i)] = Pixel{0, 0, 0, 255};
    WriteFile(temp / "source/anim/a.tga", Targa(4, 4, pixels, 2, 24, true));
    WriteFile(temp / "source/anim/b.tga", Targa(4, 4, pixels, 10, 24, false));
    WriteFile(temp / "source/anim/c.tga", Targa(4, 4, pixels, 2, 32, false));
    // Statistics on, so two blanks stand before -stat.
    std::string line = "\"" + Tools() + "TexForge.exe\"  -stat TextureBuildStatistics.csv \"" + Src() + "anim\\a.tga\" \"" +
                       Src() + "anim\\b.tga\" \"" + Src() + "anim\\c.tga\" \"" + temp.Path() +
                       "Build/resources/fx/anim.tex\" -fps 15 -format dxt1";
    ASSERT_EQ(Run(line).exitCode, 0);
    test::ToolResult again = Run(line);
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.out.find("anim.tex: 4x4, 3 image(s), 3 level(s), dxt1"), std::string::npos) << again.out;

    std::string tex = ReadFile(temp / "Build/resources/fx/anim.tex");
    TexHeader header = ReadHeader(tex);
    EXPECT_EQ(header.kind, 1u);
    EXPECT_EQ(header.images, 3u);
    EXPECT_EQ(header.fps, 15u);
    EXPECT_EQ(header.format, 1u);
    EXPECT_EQ(header.flags, 2u);
    EXPECT_EQ(header.levels, 3u);
    // Columns alternate black and white: endpoints white and black, every
    // pixel exactly one of them (index 0 white, 1 black).
    EXPECT_EQ(FirstLevel(tex), std::string("\xFF\xFF\x00\x00\x11\x11\x11\x11", 8));
    EXPECT_EQ(tex.size(), 40u + 3 * 3 * (4 + 8));

    std::string statistics = ReadFile(temp / "TextureBuildStatistics.csv");
    std::string row = temp.Path() + "Build/resources/fx/anim.tex,4,4,3,dxt1,3," + std::to_string(tex.size()) + "\r\n";
    EXPECT_EQ(statistics, "Output,Width,Height,Images,Format,Levels,Bytes\r\n" + row + row);
}

TEST_F(TexForgeTest, CubeMapsAndScalingToPowersOfTwo)
{
    const char* faces[] = {"sky_lf", "sky_rt", "sky_up", "sky_dn", "sky_fr", "sky_bk"};
    std::string line = "\"" + Tools() + "TexForge.exe\"";
    for (const char* face : faces)
    {
        WriteFile(temp / "source/" + face + ".tga", Targa(8, 8, std::vector<Pixel>(64, Pixel{1, 2, 3, 200}), 2, 32, true));
        line += std::string(" \"") + Src() + face + ".tga\"";
    }
    ASSERT_EQ(Run(line + " \"" + temp.Path() + "sky.tex\" -cubemap -format dxt5").exitCode, 0);
    TexHeader cube = ReadHeader(ReadFile(temp / "sky.tex"));
    EXPECT_EQ(cube.kind, 2u);
    EXPECT_EQ(cube.images, 6u);
    EXPECT_EQ(cube.format, 3u);
    EXPECT_EQ(cube.levels, 4u);
    // A uniform alpha of 200 is one endpoint pair with every index 0.
    EXPECT_EQ(FirstLevel(ReadFile(temp / "sky.tex")).substr(0, 8), std::string("\xC8\xC8\0\0\0\0\0\0", 8));

    WriteFile(temp / "source/odd.tga", Targa(3, 5, std::vector<Pixel>(15, Pixel{5, 5, 5, 255}), 2, 24, true));
    ASSERT_EQ(Run("\"" + Tools() + "TexForge.exe\" \"" + Src() + "odd.tga\" \"" + temp.Path() + "odd.tex\"").exitCode, 0);
    TexHeader odd = ReadHeader(ReadFile(temp / "odd.tex"));
    EXPECT_EQ(odd.width, 4u);
    EXPECT_EQ(odd.height, 8u);
    EXPECT_EQ(odd.levels, 4u);
    EXPECT_EQ(odd.format, 0u);
}

TEST_F(TexForgeTest, InputsItCannotReadFailWithOneLineAndNoOutput)
{
    std::vector<Pixel> four(4, Pixel{1, 1, 1, 255});
    std::string rle = Targa(2, 2, four, 10, 24, true);
    std::string colourMapped = Targa(2, 2, four, 2, 24, true);
    colourMapped[1] = 1;
    colourMapped[2] = 1;
    WriteFile(temp / "source/square.tga", Targa(2, 2, four, 2, 24, true));
    WriteFile(temp / "source/wide.tga", Targa(4, 2, std::vector<Pixel>(8, Pixel{1, 1, 1, 255}), 2, 24, true));
    struct Case
    {
        const char* what;
        std::string file;     // written to source/input.tga unless empty
        std::string sources;  // the image arguments
        std::string switches;
    };
    auto header = [](int type, int width, int height, int depth) {
        std::string bytes(18, '\0');
        bytes[2] = char(type), bytes[12] = char(width), bytes[14] = char(height), bytes[16] = char(depth);
        return bytes + std::string(64, '\x7F');
    };
    std::string input = "\"" + Src() + "input.tga\"";
    std::string square = "\"" + Src() + "square.tga\"";
    std::string sixWide, fiveSquare;
    for (int i = 0; i < 6; ++i)
        sixWide += (i ? " \"" : "\"") + Src() + "wide.tga\"";
    for (int i = 0; i < 5; ++i)
        fiveSquare += (i ? " " : "") + square;
    for (const Case& c : {Case{"missing file", "", "\"" + Src() + "nothing.tga\"", ""},
                          Case{"photoshop", "8BPS" + std::string(40, '\0'), input, ""},
                          Case{"rle cut short", rle.substr(0, rle.size() - 2), input, ""},
                          Case{"raw cut short", Targa(2, 2, four, 2, 32, true).substr(0, 30), input, ""},
                          Case{"colour-mapped", colourMapped, input, ""},
                          Case{"zero width", header(2, 0, 4, 24), input, ""},
                          Case{"16-bit pixels", header(2, 2, 2, 16), input, ""},
                          Case{"unknown image type", header(7, 2, 2, 24), input, ""},
                          Case{"frame of another size", "", square + " \"" + Src() + "wide.tga\"", ""},
                          Case{"non-square face", "", sixWide, " -cubemap"},
                          Case{"five faces", "", fiveSquare, " -cubemap"},
                          Case{"unknown format", "", square, " -format dxt9"}})
    {
        if (!c.file.empty())
            WriteFile(temp / "source/input.tga", c.file);
        test::ToolResult result =
            Run("\"" + Tools() + "TexForge.exe\" " + c.sources + " \"" + temp.Path() + "out.tex\"" + c.switches);
        EXPECT_EQ(result.exitCode, 1) << c.what;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << c.what << ": " << result.err;
        EXPECT_EQ(result.err.rfind("TexForge: ", 0), 0u) << c.what;
        EXPECT_FALSE(PathExists(temp / "out.tex")) << c.what;
    }
}

// The reasons TexForge gives for Targa files it refuses, as its error line shows them.
TEST(TexForgeTarga, RefusalsNameTheirReason)
{
    auto header = [](int colorMapType, int type, int width, int height, int depth) {
        std::string out(18, '\0');
        out[1] = char(colorMapType), out[2] = char(type);
        out[12] = char(width), out[13] = char(width >> 8), out[14] = char(height), out[15] = char(height >> 8);
        out[16] = char(depth);
        return out;
    };
    struct Case
    {
        std::string bytes, reason;
    };
    for (const Case& c : {Case{"TRUEVISION", "not a Targa image (file too short)"},
                          Case{"8BPS" + std::string(40, '\0'), "Photoshop images cannot be read; save the image as Targa (.tga)"},
                          Case{header(1, 2, 2, 2, 24), "colour-mapped Targa images are not supported"},
                          Case{header(0, 7, 2, 2, 24), "not a Targa image this program reads (image type 7)"},
                          Case{header(0, 3, 2, 2, 24), "unsupported Targa pixel depth 24"},
                          Case{header(0, 2, 9000, 2, 24), "image size 9000x2 out of range"},
                          Case{header(0, 10, 2, 2, 32) + "\x81", "Targa image ends early"}})
    {
        tools::RgbaImage image;
        std::string error;
        EXPECT_FALSE(tools::ReadTarga(c.bytes, image, error)) << c.reason;
        EXPECT_EQ(error, c.reason);
    }
}

} // namespace
} // namespace mw
