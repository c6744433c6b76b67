// The compiler command lines of every type, byte for byte, and how a build
// reads the compiler's exit code.
#include "RecordingContext.h"
#include "assets/AssetNames.h"
#include "assets/SceneExportData.h"
#include "assets/types/AnimationAsset.h"
#include "assets/types/BitmapAsset.h"
#include "assets/types/CubeMapAsset.h"
#include "assets/types/FontAsset.h"
#include "assets/types/MapAsset.h"
#include "assets/types/MeshAsset.h"
#include "assets/types/ShaderAsset.h"
#include "assets/types/TextureAsset.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <functional>
#include <gtest/gtest.h>

namespace mw {
namespace {

using test::RecordingContext;

struct CommandLineCase
{
    const char* name;
    int statistics;
    std::function<std::string(const IToolContext&)> commandLine;
    const char* expected;
};

std::string TextureLine(const IToolContext& context, TextureProperties fields)
{
    TextureAsset texture;
    texture.SetFields(std::move(fields));
    return texture.CommandLine(context, "C:\\b\\t.tex");
}

std::string MeshLine(const IToolContext& context, MeshProperties fields)
{
    MeshAsset mesh;
    mesh.SetFields(std::move(fields));
    return mesh.CommandLine(context, "T\\temp.mdl", "C:\\b\\m.msh");
}

std::string ShaderLine(const IToolContext& context, ShaderProperties fields)
{
    ShaderAsset shader;
    shader.SetFields(std::move(fields));
    return shader.CommandLine(context, "C:\\b\\s.ssh");
}

TEST(AssetCommandLines, MatchTheirTemplatesByteForByte)
{
    const std::vector<CommandLineCase> cases = {
        {"texture, statistics, no frames", 1,
         [](const IToolContext& c) { return TextureLine(c, {"t.tga", true, 3, false, 20, {}}); },
         R"("C:\tools\TexForge.exe"  -stat TextureBuildStatistics.csv "C:\mod\source\t.tga" "C:\b\t.tex" -format dxt5)"},
        {"texture, two frames, normal map", 0,
         [](const IToolContext& c) { return TextureLine(c, {"a\\t.tga", true, 0, true, 15, {"f1.tga", "f2.tga"}}); },
         R"("C:\tools\TexForge.exe" "C:\mod\source\a\t.tga" "C:\mod\source\f1.tga" "C:\mod\source\f2.tga" "C:\b\t.tex" -fps 15 -normalmap)"},
        {"texture, dsdt", 0, [](const IToolContext& c) { return TextureLine(c, {"t.tga", true, 4, false, 20, {}}); },
         R"("C:\tools\TexForge.exe" "C:\mod\source\t.tga" "C:\b\t.tex" -format dsdt)"},
        {"cube map dxt1", 1,
         [](const IToolContext& c) {
             CubeMapAsset cube;
             cube.SetFields({{"l.tga", "r.tga", "u.tga", "d.tga", "f.tga", "b.tga"}, true, 1});
             return cube.CommandLine(c, "C:\\b\\c.tex");
         },
         R"("C:\tools\TexForge.exe" "C:\mod\source\l.tga" "C:\mod\source\r.tga" "C:\mod\source\u.tga" "C:\mod\source\d.tga" "C:\mod\source\f.tga" "C:\mod\source\b.tga" "C:\b\c.tex" -cubemap -format dxt1)"},
        {"cube map uncompressed", 0,
         [](const IToolContext& c) {
             CubeMapAsset cube;
             return cube.CommandLine(c, "o.tex");
         },
         R"("C:\tools\TexForge.exe" "C:\mod\source\" "C:\mod\source\" "C:\mod\source\" "C:\mod\source\" "C:\mod\source\" "C:\mod\source\" "o.tex" -cubemap)"},
        {"mesh with everything", 1,
         [](const IToolContext& c) { return MeshLine(c, {"m.max", "m.mif", true, true}); },
         "\"C:\\tools\\MeshForge.exe\" \"T\\temp.mdl\" -stat ModelBuildStatistics.csv  -mif \"m.mif\"  "
         "\"C:\\mod\\source\\\\\"  -tangents -vertexColors \"C:\\b\\m.msh\" "},
        {"mesh with nothing", 0, [](const IToolContext& c) { return MeshLine(c, {"m.max", "", false, false}); },
         "\"C:\\tools\\MeshForge.exe\" \"T\\temp.mdl\" \"C:\\b\\m.msh\" "},
        {"animation with aif", 1,
         [](const IToolContext& c) {
             AnimationAsset animation;
             animation.SetFields({"w.max", "w.aif"});
             return animation.CommandLine(c, "T\\temp.anm", "C:\\b\\w.anm");
         },
         "\"C:\\tools\\AnimForge.exe\" \"T\\temp.anm\" \"C:\\mod\\source\\w.aif\" \"C:\\b\\w.anm\" "},
        {"animation without aif", 1,
         [](const IToolContext& c) {
             AnimationAsset animation;
             animation.SetFields({"w.max", ""});
             return animation.CommandLine(c, "temp.anm", "w.anm");
         },
         "\"C:\\tools\\AnimForge.exe\" \"temp.anm\" \"w.anm\" "},
        {"shader with defines and statistics", 1,
         [](const IToolContext& c) { return ShaderLine(c, {"s.ssh", "A=1;B"}); },
         R"("C:\tools\ShadeForge.exe" "C:\mod\source\s.ssh" "C:\b\s.ssh" /define "A=1;B" -stat ShaderBuildStatistics.csv )"},
        {"shader plain", 0, [](const IToolContext& c) { return ShaderLine(c, {"s.ssh", ""}); },
         R"("C:\tools\ShadeForge.exe" "C:\mod\source\s.ssh" "C:\b\s.ssh")"},
        {"bitmap", 1,
         [](const IToolContext& c) {
             BitmapAsset bitmap;
             bitmap.SetSource("ui\\logo.psd");
             return bitmap.CommandLine(c, "C:\\b\\logo.tex");
         },
         R"("C:\tools\TexForge.exe" "C:\mod\source\ui\logo.psd" "C:\b\logo.tex" -nopoweroftwo -nomipmaps)"},
        {"font", 1,
         [](const IToolContext& c) {
             FontAsset font;
             font.SetFields({"f.ttf", 24});
             return font.CommandLine(c, "C:\\b\\f.fnt");
         },
         R"("C:\tools\GlyphForge.exe" "C:\mod\source\f.ttf" "C:\b\f.fnt" 24)"},
        {"map with statistics", 1,
         [](const IToolContext& c) {
             MapAsset map(c);
             map.SetFields({"w.wrl"});
             return map.CommandLine(c, "C:\\b\\w.map");
         },
         "\"C:\\tools\\MapForge.exe\" \"C:\\mod\\source\\w.wrl\" \"C:\\mod\\source\\\\\" \"C:\\b\\w.map\" "
         "MapBuildStatistics.csv"},
        {"map without statistics", 0,
         [](const IToolContext& c) {
             MapAsset map(c);
             map.SetFields({"w.wrl"});
             return map.CommandLine(c, "w.map");
         },
         "\"C:\\tools\\MapForge.exe\" \"C:\\mod\\source\\w.wrl\" \"C:\\mod\\source\\\\\" \"w.map\""},
    };
    for (const CommandLineCase& entry : cases)
    {
        RecordingContext context;
        context.exportStatistics = entry.statistics;
        EXPECT_EQ(entry.commandLine(context), entry.expected) << entry.name;
    }
}

TEST(AssetCommandLines, ShaderAssemblerFolderGoesLastUnchanged)
{
    RecordingContext context;
    context.exportStatistics = 0;
    context.shaderAsmDir = "D:\\asm\\";
    EXPECT_EQ(ShaderLine(context, {"s.ssh", ""}),
              R"("C:\tools\ShadeForge.exe" "C:\mod\source\s.ssh" "C:\b\s.ssh" /asmDir "D:\asm\")");
}

TEST(AssetBuild, FontSucceedsOnExitCodeOneOnly)
{
    RecordingContext context;
    FontAsset font;
    font.SetFields({"f.ttf", 12});
    context.exitCodes = {0, 1, 2};
    EXPECT_FALSE(font.Build(context, "f.fnt"));
    EXPECT_TRUE(font.Build(context, "f.fnt"));
    EXPECT_FALSE(font.Build(context, "f.fnt"));
    ShaderAsset shader;
    context.exitCodes = {0, 1};
    EXPECT_TRUE(shader.Build(context, "s.ssh"));
    EXPECT_FALSE(shader.Build(context, "s.ssh"));
    EXPECT_TRUE(context.log.empty());
}

TEST(AssetBuild, ACompilerThatCannotStartIsLoggedWithItsCommandLine)
{
    RecordingContext context;
    context.startable = false;
    context.exportStatistics = 0;
    BitmapAsset bitmap;
    bitmap.SetSource("b.tga");
    EXPECT_FALSE(bitmap.Build(context, "b.tex"));
    EXPECT_TRUE(context.HasErrorLine(
        R"(Couldn't execute ""C:\tools\TexForge.exe" "C:\mod\source\b.tga" "b.tex" -nopoweroftwo -nomipmaps")"));
}

TEST(AssetBuild, AQuoteInAFieldIsRefusedBeforeAnyCompilerRuns)
{
    RecordingContext context;
    ShaderAsset shader;
    shader.SetFields({"s.ssh", "A=1\" /evil \"x"});
    EXPECT_FALSE(shader.Build(context, "C:\\b\\s.ssh"));
    TextureAsset texture;
    texture.SetFields({"t.tga", true, 1, false, 20, {"ok.tga", "bad\".tga"}});
    EXPECT_FALSE(texture.Build(context, "C:\\b\\t.tex"));
    EXPECT_TRUE(context.commandLines.empty());
    ASSERT_EQ(context.log.size(), 2u);
    EXPECT_TRUE(context.log[0].error);
    EXPECT_EQ(context.log[0].text,
              "C:\\b\\s.ssh: the compiler is not run because 'A=1\" /evil \"x' contains a double quote");
}

TEST(AssetNames, CubeMapNameIsTheCommonStartOfTheFaces)
{
    EXPECT_EQ(CubeMapOutputName({"sky\\sky_lf.tga", "SKY_RT.tga", "sky_up.tga", "sky_dn.tga", "sky_fr.tga",
                                 "sky_bk.tga"}),
              "sky.tex");
    EXPECT_EQ(CubeMapOutputName({"left.tga", "right.tga", "up.tga", "down.tga", "front.tga", "back.tga"}),
              "left.tex");
    EXPECT_EQ(CubeMapOutputName({"env 1.tga", "env 2.tga", "env 3.tga", "env 4.tga", "env 5.tga", "env 6.tga"}),
              "env.tex");
    // A shorter face that matches as far as it goes does not cut the name.
    EXPECT_EQ(CubeMapOutputName({"cave_a.tga", "cave.tga", "cave_b.tga", "cave_c.tga", "cave_d.tga", "cave_e.tga"}),
              "cave.tex");
}

TEST(AssetNames, OutputNamesDropFoldersAndTheExtension)
{
    EXPECT_EQ(OutputNameFromSource("creatures\\ogre\\Ogre.v2.max", ".msh"), "Ogre.v2.msh");
    EXPECT_EQ(OutputNameFromSource("sounds/step.wav", ".wav"), "step.wav");
    EXPECT_EQ(OutputNameFromSource("README", ".txt"), "README.txt");
    EXPECT_EQ(SourceFilterLabel("Bitmap", {".psd", ".tga"}), "Bitmap (*.psd, *.tga)");
    EXPECT_EQ(SourceFilterPattern({".psd", ".tga"}), "*.psd;*.tga");
}

} // namespace
} // namespace mw
