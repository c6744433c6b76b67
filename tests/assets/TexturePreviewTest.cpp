// The preview readers: texture files made by the real texture compiler in
// every format, cube maps and mipmap chains decoded back; hand-made blocks
// for the decoder modes the compiler never writes; hostile files refused;
// and the choice between the built texture and the source image.
#include "assets/Asset.h"
#include "assets/AssetRegistry.h"
#include "assets/AssetTypes.h"
#include "assets/preview/AssetPreview.h"
#include "assets/preview/FontAtlasFile.h"
#include "assets/preview/TargaImage.h"
#include "assets/preview/TexelDecoding.h"
#include "assets/preview/TextureFile.h"
#include "platform/FileSystem.h"
#include "platform/ProcessRunner.h"
#include "support/FakeWorkspace.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace mw {
namespace {

using test::TempFolder;
using test::WriteFile;

struct Rgba
{
    int r, g, b, a;
};

// A 32-bit top-left Targa image whose pixel (x, y) is colour(x, y).
template <typename Colour>
std::string Targa32(int width, int height, Colour colour)
{
    std::string out(18, '\0');
    out[2] = 2;
    out[12] = char(width), out[13] = char(width >> 8);
    out[14] = char(height), out[15] = char(height >> 8);
    out[16] = 32;
    out[17] = char(0x20 | 8);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            Rgba p = colour(x, y);
            out += char(p.b), out += char(p.g), out += char(p.r), out += char(p.a);
        }
    return out;
}

class NullOutput : public IProcessOutput
{
public:
    void OnOutput(const std::string& chunk, bool) override { text += chunk; }
    std::string text;
};

// Runs the texture compiler of the tools folder; true when it succeeded.
bool RunTexForge(const std::string& arguments, std::string& printed)
{
    ProcessRunner runner(MW_TOOLS_DIR);
    NullOutput output;
    ProcessOutcome outcome;
    bool ran = runner.Run("\"" MW_TOOLS_DIR "TexForge\" " + arguments, nullptr, output, outcome);
    printed = output.text;
    return ran && outcome.exitCode == 0;
}

void ExpectNear(const uint8_t* texel, Rgba expected, int colourSlack, int alphaSlack, const std::string& where)
{
    EXPECT_NEAR(texel[0], expected.r, colourSlack) << where;
    EXPECT_NEAR(texel[1], expected.g, colourSlack) << where;
    EXPECT_NEAR(texel[2], expected.b, colourSlack) << where;
    EXPECT_NEAR(texel[3], expected.a, alphaSlack) << where;
}

// Four 4x4 quadrants of distinct colours and alphas: each block holds one
// colour, so every format reproduces it within its quantisation.
Rgba Quadrant(int x, int y)
{
    static const Rgba kColours[4] = {{255, 0, 0, 255}, {0, 255, 0, 0}, {0, 0, 255, 136}, {255, 255, 255, 68}};
    return kColours[(y / 4) * 2 + x / 4];
}

TEST(TexturePreview, EveryFormatOfTheCompilerDecodesBackToItsSource)
{
    TempFolder temp;
    WriteFile(temp / "quad.tga", Targa32(8, 8, Quadrant));
    struct Case
    {
        const char* format;
        uint32_t code;
        int colourSlack;
        int alphaSlack; // -1: the format keeps no alpha
    };
    for (Case c : {Case{"", 0, 0, 0}, Case{"dxt1", 1, 8, -1}, Case{"dxt3", 2, 8, 9}, Case{"dxt5", 3, 8, 0}})
    {
        std::string output = temp / (std::string("quad") + c.format + ".tex");
        std::string printed;
        std::string format = *c.format ? std::string(" -format ") + c.format : std::string();
        ASSERT_TRUE(RunTexForge("\"" + temp / "quad.tga" + "\" \"" + output + "\"" + format, printed)) << printed;
        TextureFile texture;
        std::string error;
        ASSERT_TRUE(texture.ReadFile(output, error)) << c.format << ": " << error;
        EXPECT_EQ(texture.FormatCode(), c.code);
        EXPECT_EQ(texture.LevelCount(), 4u) << "8x8 has levels 8, 4, 2 and 1";
        EXPECT_EQ(texture.LevelWidth(3), 1u);
        PreviewImage picture;
        ASSERT_TRUE(texture.Decode(0, 0, picture));
        ASSERT_EQ(picture.width, 8u);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
            {
                Rgba expected = Quadrant(x, y);
                if (c.alphaSlack < 0)
                    expected.a = 255;
                ExpectNear(picture.At(uint32_t(x), uint32_t(y)), expected, c.colourSlack, std::max(c.alphaSlack, 0),
                           std::string(c.format) + " at " + std::to_string(x) + "," + std::to_string(y));
            }
        // The smallest level is the box-filtered average of the whole image.
        ASSERT_TRUE(texture.Decode(0, 3, picture));
        EXPECT_EQ(picture.width, 1u);
        EXPECT_FALSE(texture.Decode(0, 4, picture));
        EXPECT_FALSE(texture.Decode(1, 0, picture));
    }
}

TEST(TexturePreview, OffsetMapsAndCubeMapFacesAreBrowsable)
{
    TempFolder temp;
    static const Rgba kFaces[6] = {{255, 0, 0, 255},   {0, 255, 0, 255},   {0, 0, 255, 255},
                                   {255, 255, 0, 255}, {0, 255, 255, 255}, {255, 0, 255, 255}};
    std::string faces;
    for (int i = 0; i < 6; ++i)
    {
        std::string path = temp / ("face" + std::to_string(i) + ".tga");
        WriteFile(path, Targa32(4, 4, [&](int, int) { return kFaces[i]; }));
        faces += "\"" + path + "\" ";
    }
    std::string printed;
    ASSERT_TRUE(RunTexForge(faces + "\"" + temp / "sky.tex" + "\" -cubemap -format dxt1", printed)) << printed;
    TextureFile cube;
    std::string error;
    ASSERT_TRUE(cube.ReadFile(temp / "sky.tex", error)) << error;
    EXPECT_EQ(cube.GetKind(), TextureFile::Kind::CubeMap);
    ASSERT_EQ(cube.ImageCount(), 6u);
    EXPECT_EQ(cube.ImageName(0), "Left");
    EXPECT_EQ(cube.ImageName(5), "Back");
    for (uint32_t face = 0; face < 6; ++face)
        for (uint32_t level = 0; level < cube.LevelCount(); ++level)
        {
            PreviewImage picture;
            ASSERT_TRUE(cube.Decode(face, level, picture));
            ExpectNear(picture.At(0, 0), kFaces[face], 8, 0, "face " + std::to_string(face));
        }

    // Offset maps keep red and green as signed offsets around 128.
    WriteFile(temp / "bump.tga", Targa32(4, 4, [](int x, int) { return Rgba{x * 60, 200, 0, 255}; }));
    ASSERT_TRUE(RunTexForge("\"" + temp / "bump.tga" + "\" \"" + temp / "bump.tex" + "\" -format dsdt", printed));
    TextureFile bump;
    ASSERT_TRUE(bump.ReadFile(temp / "bump.tex", error)) << error;
    PreviewImage picture;
    ASSERT_TRUE(bump.Decode(0, 0, picture));
    ExpectNear(picture.At(3, 0), Rgba{180, 200, 128, 255}, 0, 0, "dsdt");
}

// One 8-byte BC1 block: endpoints and 2-bit indexes, little-endian.
std::string ColourBlock(uint16_t color0, uint16_t color1, uint32_t indexes)
{
    std::string block;
    for (uint32_t value : {uint32_t(color0), uint32_t(color1)})
        block += char(value & 0xFF), block += char(value >> 8);
    for (int i = 0; i < 4; ++i)
        block += char((indexes >> (8 * i)) & 0xFF);
    return block;
}

TEST(TexturePreview, BlockModesTheCompilerNeverWritesDecodeAsPlayersSeeThem)
{
    PreviewImage picture;
    // BC1 with color0 <= color1: three colours and transparent black (index 3).
    ASSERT_TRUE(DecodeTexelLevel(1, ColourBlock(0x001F, 0xF800, 0xE4), 4, 4, picture));
    ExpectNear(picture.At(0, 0), Rgba{0, 0, 255, 255}, 0, 0, "index 0");
    ExpectNear(picture.At(1, 0), Rgba{255, 0, 0, 255}, 0, 0, "index 1");
    ExpectNear(picture.At(2, 0), Rgba{127, 0, 127, 255}, 0, 0, "index 2 halfway");
    ExpectNear(picture.At(3, 0), Rgba{0, 0, 0, 0}, 0, 0, "index 3 transparent");

    // BC3 with alpha0 <= alpha1: six steps, then 0 and 255 (indexes 6 and 7).
    std::string alpha{char(40), char(240)};
    uint64_t indexes = 6 | 7 << 3 | 1 << 6 | 2 << 9;
    for (int i = 0; i < 6; ++i)
        alpha += char((indexes >> (8 * i)) & 0xFF);
    ASSERT_TRUE(DecodeTexelLevel(3, alpha + ColourBlock(0xFFFF, 0xFFFF, 0), 4, 4, picture));
    EXPECT_EQ(picture.At(0, 0)[3], 0);
    EXPECT_EQ(picture.At(1, 0)[3], 255);
    EXPECT_EQ(picture.At(2, 0)[3], 240);
    EXPECT_EQ(picture.At(3, 0)[3], (4 * 40 + 240) / 5);
    EXPECT_EQ(picture.At(0, 1)[3], 40);

    // A level smaller than a block takes one block and keeps its own size.
    ASSERT_TRUE(DecodeTexelLevel(2, std::string(8, '\x5A') + ColourBlock(0, 0, 0), 2, 1, picture));
    EXPECT_EQ(picture.width, 2u);
    EXPECT_EQ(picture.height, 1u);
    EXPECT_EQ(picture.At(0, 0)[3], 0xA * 17);
    EXPECT_EQ(picture.At(1, 0)[3], 0x5 * 17);

    // Wrong byte counts and unknown formats are refused, not read past.
    EXPECT_FALSE(DecodeTexelLevel(1, std::string(7, '\0'), 4, 4, picture));
    EXPECT_FALSE(DecodeTexelLevel(9, std::string(64, '\0'), 4, 4, picture));
    EXPECT_EQ(TexelFormatName(9), "format 9");
}

// A texture file header followed by the given level records.
std::string TexHeader(uint32_t kind, uint32_t width, uint32_t height, uint32_t images, uint32_t format,
                      uint32_t levels)
{
    std::string out = "MWTX";
    for (uint32_t value : {1u, kind, width, height, images, format, 0u, 0u, levels})
        for (int i = 0; i < 4; ++i)
            out += char((value >> (8 * i)) & 0xFF);
    return out;
}

std::string Level(uint32_t count, char fill = '\0')
{
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += char((count >> (8 * i)) & 0xFF);
    return out + std::string(count, fill);
}

TEST(TexturePreview, DamagedAndHostileTextureFilesAreRefusedWithAReason)
{
    struct Case
    {
        const char* what;
        std::string bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", "", "not a texture file"},
        {"other magic", "MWFN" + std::string(40, '\0'), "not a texture file"},
        {"huge side", TexHeader(0, 100000, 4, 1, 0, 1) + Level(64), "out of range"},
        {"cube map with one face", TexHeader(2, 4, 4, 1, 0, 1) + Level(64), "cannot hold"},
        {"unknown format", TexHeader(0, 4, 4, 1, 7, 1) + Level(64), "unknown texture format"},
        {"more levels than the chain", TexHeader(0, 4, 4, 1, 0, 4) + Level(64), "mipmap levels"},
        {"count beyond the file", TexHeader(0, 4, 4, 1, 0, 1) + Level(64).substr(0, 20), "ends early"},
        {"count not the level's size", TexHeader(0, 4, 4, 1, 0, 1) + std::string("\xF0\xFF\xFF\xFF", 4), "instead of"},
        {"bytes left over", TexHeader(0, 4, 4, 1, 0, 1) + Level(64) + "x", "after its last level"},
    };
    for (const Case& c : cases)
    {
        TextureFile texture;
        std::string error;
        EXPECT_FALSE(texture.Read(c.bytes, error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
        PreviewImage picture;
        EXPECT_FALSE(texture.Decode(0, 0, picture)) << c.what;
    }
    TextureFile good;
    std::string error;
    EXPECT_TRUE(good.Read(TexHeader(0, 4, 2, 1, 0, 2) + Level(32, '\x7F') + Level(8, '\x7F'), error)) << error;
    EXPECT_EQ(good.LevelWidth(1), 2u);
    EXPECT_EQ(good.LevelHeight(1), 1u);

    // Targa files: cut short anywhere, or announcing more than they hold.
    std::string tga = Targa32(16, 16, [](int x, int y) { return Rgba{x, y, 0, 255}; });
    PreviewImage picture;
    for (size_t cut : {size_t(0), size_t(17), size_t(18), tga.size() - 1})
        EXPECT_FALSE(ReadTargaImage(tga.substr(0, cut), picture, error)) << cut;
    ASSERT_TRUE(ReadTargaImage(tga, picture, error)) << error;
    EXPECT_EQ(picture.At(15, 3)[0], 15);
    EXPECT_EQ(picture.At(15, 3)[1], 3);
    std::string rle = tga.substr(0, 18);
    rle[2] = 10;
    rle[12] = rle[14] = char(0xFF); // 8191x8191 claimed by four bytes of runs
    rle[13] = rle[15] = char(0x1F);
    EXPECT_FALSE(ReadTargaImage(rle + std::string(4, '\xFF'), picture, error));

    // The reasons a preview gives for Targa files it cannot show.
    auto header = [](int colorMapType, int type, int width, int height, int depth) {
        std::string out(18, '\0');
        out[1] = char(colorMapType), out[2] = char(type);
        out[12] = char(width), out[13] = char(width >> 8), out[14] = char(height), out[15] = char(height >> 8);
        out[16] = char(depth);
        return out;
    };
    const std::pair<std::string, std::string> refusals[] = {
        {"TRUEVISION", "not a Targa image (file too short)"},
        {header(1, 2, 2, 2, 24), "colour-mapped Targa images cannot be shown"},
        {header(0, 7, 2, 2, 24), "not a Targa image (image type 7)"},
        {header(0, 3, 2, 2, 24), "Targa pixel depth 24 cannot be shown"},
        {header(0, 2, 9000, 2, 24), "image size 9000x2 out of range"},
        {header(0, 10, 2, 2, 32) + "\x81", "Targa image ends early"}};
    for (const auto& [bytes, reason] : refusals)
    {
        EXPECT_FALSE(ReadTargaImage(bytes, picture, error)) << reason;
        EXPECT_EQ(error, reason);
    }
}

TEST(TexturePreview, AssetsShowTheirBuiltTextureOrElseTheirSourceImage)
{
    TempFolder temp;
    test::FakeWorkspace workspace(temp / "work/", temp / "build/");
    AssetRegistry registry;
    RegisterAssetTypes(registry, workspace);
    WriteFile(temp / "work/source/ui/logo.tga", Targa32(8, 4, [](int, int) { return Rgba{10, 20, 30, 40}; }));
    // A texture asset naming the source image, written the way the tool writes it.
    Asset* texture = nullptr;
    for (int i = 0; i < registry.TypeCount(); ++i)
        if (registry.TypeAt(i)->GetName() == "Texture")
            texture = registry.TypeAt(i);
    ASSERT_NE(texture, nullptr);
    ASSERT_TRUE(texture->AutoCreate("ui\\logo.tga"));
    ASSERT_TRUE(EnsureFolders(temp / "work/assets/ui/"));
    ASSERT_TRUE(AssetRegistry::SaveAsset(*texture, temp / "work/assets/ui/logo.tex", AssetHeader{}));

    AssetPreview preview;
    ASSERT_TRUE(preview.Load(workspace, registry, "assets/ui/logo.tex", true)) << preview.Message();
    EXPECT_EQ(preview.Message(), "Not built yet: showing the source image");
    EXPECT_EQ(preview.Description(0, 0), "8x4, source image, 146 bytes");
    PreviewImage picture;
    ASSERT_TRUE(preview.Picture(0, 0, picture));
    ExpectNear(picture.At(7, 3), Rgba{10, 20, 30, 40}, 0, 0, "source");
    // While a build may use the registered types, the asset is not read.
    EXPECT_FALSE(preview.Load(workspace, registry, "assets/ui/logo.tex", false));
    EXPECT_EQ(preview.Message(), "Not built yet");

    std::string built = AssetPreview::BuiltOutputPath(temp / "build/", "assets/ui/logo.tex");
    EXPECT_EQ(built, temp / "build/resources/ui/logo.tex");
    WriteFile(built, TexHeader(0, 4, 2, 1, 0, 2) + Level(32, '\x7F') + Level(8, '\x7F'));
    ASSERT_TRUE(preview.Load(workspace, registry, "assets/ui/logo.tex", true));
    EXPECT_EQ(preview.LevelCount(), 2u);
    EXPECT_EQ(preview.Description(0, 1), "4x2, RGBA8, level 2 of 2 (2x1, 8 bytes), file 88 bytes");
    // A damaged build output says so and falls back to the source.
    WriteFile(built, "MWTX");
    ASSERT_TRUE(preview.Load(workspace, registry, "assets/ui/logo.tex", true));
    EXPECT_EQ(preview.Message(), "Cannot show logo.tex: not a texture file: showing the source image");
    // Other assets have no picture and no complaint.
    EXPECT_FALSE(preview.Load(workspace, registry, "assets/ui/door.msh", true));
    EXPECT_EQ(preview.Message(), "");
}

// The font compiler's own output, glyph table and all, reads back whole.
TEST(TexturePreview, FontsOfTheCompilerShowTheirAtlas)
{
    TempFolder temp;
    ProcessRunner runner(MW_TOOLS_DIR);
    NullOutput output;
    ProcessOutcome outcome;
    std::string font = temp / "blocky.fnt";
    ASSERT_TRUE(runner.Run("\"" MW_TOOLS_DIR "GlyphForge\" \"" MW_EXAMPLES_DIR "/Working/source/fonts/blocky.ttf\" \"" +
                               font + "\" 16",
                           nullptr, output, outcome));
    ASSERT_EQ(outcome.exitCode, 1) << output.text; // the font compiler's success
    FontAtlasFile atlas;
    std::string error;
    ASSERT_TRUE(atlas.Read(test::ReadFile(font), error)) << error;
    EXPECT_EQ(atlas.size, 16u);
    EXPECT_GT(atlas.glyphCount, 0u);
    EXPECT_GT(atlas.atlas.width, 0u);
}

TEST(TexturePreview, FontAtlasIsCoverageOnTransparent)
{
    std::string font = "MWFN";
    for (uint32_t value : {1u, 12u, 10u, uint32_t(-2), 1u, 4u, 2u, 0u})
        for (int i = 0; i < 4; ++i)
            font += char((value >> (8 * i)) & 0xFF);
    font += std::string("\x00\x40\x80\xFF\x10\x20\x30\x40", 8);
    FontAtlasFile atlas;
    std::string error;
    ASSERT_TRUE(atlas.Read(font, error)) << error;
    EXPECT_EQ(atlas.atlas.width, 4u);
    EXPECT_EQ(atlas.atlas.At(3, 0)[3], 255);
    EXPECT_EQ(atlas.atlas.At(0, 1)[3], 0x10);
    EXPECT_FALSE(atlas.Read(font.substr(0, font.size() - 1), error));
    std::string lying = font;
    lying[32] = 100; // glyphs the file does not hold
    EXPECT_FALSE(atlas.Read(lying, error));
}

} // namespace
} // namespace mw
