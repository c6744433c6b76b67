// Behaviour of the asset types beyond their command lines: older body
// versions, export data of scenes, map regions, copies, properties,
// statistics files and the texture compression command.
#include "CurrentFolderGuard.h"
#include "RecordingContext.h"
#include "assets/AssetReader.h"
#include "assets/AssetRegistry.h"
#include "assets/AssetTypes.h"
#include "assets/AssetWriter.h"
#include "assets/BuildStatistics.h"
#include "assets/CompressTextures.h"
#include "assets/IAssetPropertiesEditor.h"
#include "assets/SceneExportData.h"
#include "assets/types/AnimationAsset.h"
#include "assets/types/CubeMapAsset.h"
#include "assets/types/MapAsset.h"
#include "assets/types/MeshAsset.h"
#include "assets/types/ShaderAsset.h"
#include "assets/types/TextureAsset.h"
#include "assets/types/WaveAsset.h"
#include "platform/FileSystem.h"
#include "support/FakeWorkspace.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::RecordingContext;
using test::TempFolder;

std::string Body(std::string_view tag, std::initializer_list<std::string> strings, std::string_view rest = {})
{
    AssetWriter writer;
    writer.WriteBytes(tag);
    for (const std::string& text : strings)
        writer.WriteBodyString(text);
    writer.WriteBytes(rest);
    return writer.Bytes();
}

TEST(AssetBodies, OlderVersionsLoadWithTheirDefaults)
{
    TextureAsset texture;
    texture.SetFields({"old.tga", true, 2, false, 7, {"x.tga"}});
    std::string v1 = Body(std::string_view("TEX\x01", 4), {"t.tga"}, std::string_view("\x00\x03\x00\x00\x00\x01", 6));
    AssetReader textureReader(v1);
    ASSERT_TRUE(texture.Load(textureReader));
    EXPECT_EQ(texture.Fields().source, "t.tga");
    EXPECT_FALSE(texture.Fields().createMipmaps);
    EXPECT_EQ(texture.Fields().format, 3u);
    EXPECT_TRUE(texture.Fields().normalMap);
    EXPECT_EQ(texture.Fields().framesPerSecond, 20u);
    EXPECT_TRUE(texture.Fields().frames.empty());

    MeshAsset mesh;
    mesh.SetFields({"a.max", "", false, true});
    std::string v2 = Body(std::string_view("MSH\x02", 4), {"m.max", "m.mif"});
    AssetReader meshReader(v2);
    ASSERT_TRUE(mesh.Load(meshReader));
    EXPECT_EQ(mesh.Fields().mif, "m.mif");
    EXPECT_TRUE(mesh.Fields().tangentSpaceVectors);
    EXPECT_FALSE(mesh.Fields().vertexColors);

    ShaderAsset shader;
    shader.SetFields({"a.ssh", "OLD"});
    std::string shaderV2 = Body(std::string_view("SSH\x02", 4), {"s.ssh"});
    AssetReader shaderReader(shaderV2);
    ASSERT_TRUE(shader.Load(shaderReader));
    EXPECT_EQ(shader.Fields().defines, "");
}

TEST(AssetBodies, TextureWithTwoFramesIsWrittenAsVersionTwo)
{
    TextureAsset texture;
    texture.SetFields({"t.tga", true, 1, false, 15, {"f1.tga", "f2.tga"}});
    AssetWriter writer;
    texture.Save(writer);
    EXPECT_EQ(writer.Bytes(), Body(std::string_view("TEX\x02", 4), {"t.tga"},
                                   std::string_view("\x01\x01\x00\x00\x00\x00\x0F\x00\x00\x00\x02\x00\x00\x00", 14)) +
                                  Body("", {"f1.tga", "f2.tga"}));
}

TEST(AssetBodies, AFrameCountBeyondTheFileIsRefused)
{
    TextureAsset texture;
    std::string body = Body(std::string_view("TEX\x02", 4), {"t.tga"},
                            std::string_view("\x01\x01\x00\x00\x00\x00\x0F\x00\x00\x00\xFF\xFF\xFF\x0F", 14));
    AssetReader reader(body);
    EXPECT_FALSE(texture.Load(reader));
    EXPECT_EQ(texture.Fields().source, "");
}

TEST(SceneExportData, BlocksArePickedByTagFromTheEndBackwards)
{
    const std::string scene = "scene bytes" + MakeExportBlock("MESH DATA", "MDL") + MakeExportBlock("ANIM", "ANM");
    std::string_view data;
    ASSERT_TRUE(FindExportData(scene, "MDL", data));
    EXPECT_EQ(data, "MESH DATA");
    ASSERT_TRUE(FindExportData(scene, "anm", data));
    EXPECT_EQ(data, "ANIM");
    EXPECT_FALSE(FindExportData(scene, "XYZ", data));
    EXPECT_FALSE(FindExportData("short", "MDL", data));
    // A length that points before the start of the file ends the chain.
    std::string broken = MakeExportBlock("x", "MDL");
    broken[broken.size() - 4] = char(0x7F);
    EXPECT_FALSE(FindExportData(broken, "MDL", data));
}

TEST(SceneExportData, MeshAndAnimationBuildsCompileTheirOwnBlock)
{
    TempFolder temp;
    RecordingContext context;
    context.sourceDir = temp / "source/";
    context.exportStatistics = 0;
    test::WriteFile(temp / "source/ogre.max",
                    "MAX" + MakeExportBlock("MDL 1 data", "MDL") + MakeExportBlock("ANM 1 data", "ANM"));
    std::vector<std::string> seen;
    MeshAsset mesh;
    mesh.SetFields({"ogre.max", "", false, false});
    ASSERT_TRUE(mesh.Build(context, temp / "build/ogre.msh"));
    AnimationAsset animation;
    animation.SetFields({"ogre.max", ""});
    ASSERT_TRUE(animation.Build(context, temp / "build/ogre.anm"));
    ASSERT_EQ(context.commandLines.size(), 2u);
    EXPECT_NE(context.commandLines[0].find("\"" + temp / "build/temp.mdl\""), std::string::npos);
    EXPECT_NE(context.commandLines[1].find("\"" + temp / "build/temp.anm\""), std::string::npos);
    // The extracted data is removed after the compiler ran.
    EXPECT_FALSE(PathExists(temp / "build/temp.mdl"));
    EXPECT_FALSE(PathExists(temp / "build/ogre.msh"));
    EXPECT_TRUE(context.log.empty());

    RecordingContext extract;
    ASSERT_EQ(ExtractEmbeddedExport(extract, temp / "source/ogre.max", temp / "t.mdl", "MDL"),
              EmbeddedExportResult::Written);
    EXPECT_EQ(test::ReadFile(temp / "t.mdl"), "MDL 1 data");
    EXPECT_EQ(ExtractEmbeddedExport(extract, temp / "source/none.max", temp / "t.mdl", "MDL"),
              EmbeddedExportResult::Failed);
    EXPECT_TRUE(extract.HasErrorLine("Error loading '" + temp / "source/none.max'"));
}

TEST(SceneExportData, ASceneWithoutBlocksFallsBackToTheMaxServer)
{
    TempFolder temp;
    RecordingContext context;
    context.sourceDir = temp / "source/";
    context.maxServer = "127.0.0.1:1";
    test::WriteFile(temp / "source/plain.max", "just a scene");
    MeshAsset mesh;
    mesh.SetFields({"plain.max", "", true, false});
    EXPECT_FALSE(mesh.Build(context, temp / "build/plain.msh"));
    ASSERT_EQ(context.log.size(), 2u);
    EXPECT_EQ(context.log[0].text,
              "WARNING: MAX file does not contain embedded export data; reverting to MAX server for export");
    EXPECT_FALSE(context.log[0].error);
    EXPECT_TRUE(context.HasErrorLine("Couldn't connect to MAX Server"));
    EXPECT_TRUE(context.commandLines.empty());
}

TEST(MapAsset, RegionsOfTheWorldFileAreSourceSlots)
{
    TempFolder temp;
    RecordingContext context;
    context.sourceDir = temp / "source/";
    test::WriteFile(temp / "source/maps/world.wrl",
                    "MWWORLD 1\nregion north maps/north.rgn\nregion south maps\\south.rgn\nregion east maps/east.rgn\n");
    AssetRegistry registry;
    RegisterAssetTypes(registry, context);
    auto* map = static_cast<MapAsset*>(registry.FindType(MapAsset::kTypeKey));
    map->SetFields({"maps/world.wrl"});
    ASSERT_TRUE(AssetRegistry::SaveAsset(*map, temp / "w.map", AssetHeader::NewAsset()));
    map->Reset();
    EXPECT_EQ(map->GetSourceCount(), 1);
    AssetHeader header;
    ASSERT_EQ(registry.LoadAsset(context, temp / "w.map", header), map);
    ASSERT_EQ(map->GetSourceCount(), 4);
    EXPECT_EQ(map->GetSourceFile(0), "maps/world.wrl");
    EXPECT_EQ(map->GetSourceFile(2), "maps\\south.rgn");
    EXPECT_EQ(map->GetSourceFile(3), "maps/east.rgn");
    EXPECT_EQ(map->GetSourceFile(4), std::nullopt);

    test::WriteFile(temp / "source/maps/world.wrl", "not a world file");
    ASSERT_EQ(registry.LoadAsset(context, temp / "w.map", header), map);
    EXPECT_EQ(map->GetSourceCount(), 1);
}

TEST(CopyAssetBuild, CopiesOverAReadOnlyOutputAndMakesItNewer)
{
    TempFolder temp;
    RecordingContext context;
    context.sourceDir = temp / "source/";
    test::WriteFile(temp / "source/sfx/step.wav", "RIFF new");
    test::TouchFile(temp / "source/sfx/step.wav", -3600);
    test::WriteFile(temp / "build/sfx/step.wav", "old");
    ASSERT_TRUE(SetReadOnly(temp / "build/sfx/step.wav", true));
    WaveAsset wave;
    ASSERT_TRUE(wave.AutoCreate("sfx/step.wav"));
    EXPECT_EQ(wave.GetOutputName(), "step.wav");
    ASSERT_TRUE(wave.Build(context, temp / "build/sfx/step.wav"));
    EXPECT_EQ(test::ReadFile(temp / "build/sfx/step.wav"), "RIFF new");
    FileTime source, output;
    ASSERT_TRUE(GetLastWriteTime(temp / "source/sfx/step.wav", source));
    ASSERT_TRUE(GetLastWriteTime(temp / "build/sfx/step.wav", output));
    EXPECT_GT(output.value, source.value + 3000ull * 10000000ull);
    bool readOnly = true;
    ASSERT_TRUE(GetReadOnly(temp / "build/sfx/step.wav", readOnly));
    EXPECT_FALSE(readOnly);

    ASSERT_TRUE(wave.Build(context, temp / "build/deep/er/step.wav"));
    EXPECT_TRUE(IsFile(temp / "build/deep/er/step.wav"));

    ASSERT_TRUE(wave.AutoCreate("sfx/missing.wav"));
    EXPECT_FALSE(wave.Build(context, temp / "build/new/missing.wav"));
    EXPECT_TRUE(context.HasErrorLine("Error copying '" + temp / "source/sfx/missing.wav'"));
}

class ChoosingEditor : public IAssetPropertiesEditor
{
public:
    bool EditTexture(TextureProperties& fields, bool) override { return Take(fields.source); }
    bool EditCubeMap(CubeMapProperties& fields, bool) override
    {
        fields.faces = {"sky_lf.tga", "SKY_RT.tga", "sky_up.tga", "sky_dn.tga", "sky_fr.tga", "sky_bk.tga"};
        return ok;
    }
    bool EditMesh(MeshProperties& fields, bool) override { return Take(fields.scene); }
    bool EditAnimation(AnimationProperties& fields, bool) override { return Take(fields.scene); }
    bool EditShader(ShaderProperties& fields, bool) override { return Take(fields.source); }
    bool EditFont(FontProperties& fields, bool) override { return Take(fields.source); }
    bool EditMap(MapProperties& fields, bool) override { return Take(fields.world); }
    bool EditCopySource(CopyProperties& fields, const std::string& label, const std::string& pattern, bool) override
    {
        filter = label + "|" + pattern;
        return Take(fields.source);
    }
    void ShowInformation(const std::string&, const std::string&) override {}

    bool Take(std::string& field)
    {
        field = chosen;
        return ok;
    }
    std::string chosen = "art\\hero.v1.src";
    bool ok = true;
    std::string filter;
};

TEST(AssetProperties, OkSetsTheOutputNameAndCancelOrNoEditorChangesNothing)
{
    RecordingContext context;
    AssetRegistry registry;
    RegisterAssetTypes(registry, context);
    ChoosingEditor editor;
    const std::vector<std::string> expected = {"hero.v1.tex", "sky.tex",     "hero.v1.msh", "hero.v1.anm",
                                               "hero.v1.ssh", "hero.v1.tex", "hero.v1.fnt", "hero.v1.txt",
                                               "hero.v1.qst", "hero.v1.pfx", "hero.v1.map", "hero.v1.bin",
                                               "hero.v1.wav", "hero.v1.mp3"};
    for (int i = 0; i < registry.TypeCount(); ++i)
    {
        Asset* asset = registry.TypeAt(i);
        asset->Reset();
        EXPECT_FALSE(asset->Properties(nullptr, true)) << asset->GetName();
        editor.ok = false;
        EXPECT_FALSE(asset->Properties(&editor, true)) << asset->GetName();
        EXPECT_EQ(asset->GetOutputName(), "") << asset->GetName();
        EXPECT_NE(asset->GetSourceFile(0), std::optional<std::string>("art\\hero.v1.src")) << asset->GetName();
        editor.ok = true;
        EXPECT_TRUE(asset->Properties(&editor, false)) << asset->GetName();
        EXPECT_EQ(asset->GetOutputName(), expected[size_t(i)]) << asset->GetName();
    }
    EXPECT_EQ(editor.filter, "MP3 (*.mp3)|*.mp3");
}

TEST(BuildStatistics, OldFilesAreDeletedOnlyWhenStatisticsAreOn)
{
    TempFolder temp;
    RecordingContext context;
    AssetRegistry registry;
    RegisterAssetTypes(registry, context);
    test::CurrentFolderGuard inTemp(temp.Path());
    ASSERT_TRUE(inTemp.Entered());
    const std::vector<std::string> files = {"TextureBuildStatistics.csv", "CubeMapBuildStatistics.csv",
                                            "ModelBuildStatistics.csv", "ShaderBuildStatistics.csv",
                                            "MapBuildStatistics.csv"};
    for (const std::string& file : files)
        test::WriteFile(temp / file, "Output\r\n");
    test::WriteFile(temp / "OtherStatistics.csv", "x");
    context.exportStatistics = 0;
    DeleteStatisticsFiles(context, registry);
    for (const std::string& file : files)
        EXPECT_TRUE(PathExists(temp / file)) << file;
    context.exportStatistics = 1;
    DeleteStatisticsFiles(context, registry);
    for (const std::string& file : files)
        EXPECT_FALSE(PathExists(temp / file)) << file;
    EXPECT_TRUE(PathExists(temp / "OtherStatistics.csv"));
}

TEST(CompressTextures, OnlyUncompressedTexturesThisCallChecksOutAreConverted)
{
    TempFolder temp;
    test::FakeWorkspace workspace(temp.Path(), temp / "build/");
    AssetRegistry registry;
    RegisterAssetTypes(registry, workspace);
    auto* texture = static_cast<TextureAsset*>(registry.FindType(TextureAsset::kTypeKey));
    const AssetHeader header{kAssetStatusRevise, "dora", "keep me"};
    texture->SetFields({"a.tga", true, 0, false, 20, {}});
    EnsureFolders(temp / "assets/ui");
    ASSERT_TRUE(AssetRegistry::SaveAsset(*texture, temp / "assets/ui/a.tex", header));
    texture->SetFields({"b.tga", true, 1, false, 20, {}});
    ASSERT_TRUE(AssetRegistry::SaveAsset(*texture, temp / "assets/b.tex", header));
    test::WriteFile(temp / "assets/notes.txt", "not an asset");

    EXPECT_EQ(ConvertTexturesToCompressed(workspace, registry), -1);
    ASSERT_EQ(workspace.prompt.messages.size(), 1u);
    EXPECT_EQ(workspace.prompt.messages[0].text, "Are you sure you want to compress the uncompressed textures?");
    EXPECT_EQ(workspace.prompt.messages[0].buttons, PromptButtons::YesNoCancel);

    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    EXPECT_EQ(ConvertTexturesToCompressed(workspace, registry), 1);
    AssetHeader loaded;
    ASSERT_EQ(registry.LoadAsset(workspace, temp / "assets/ui/a.tex", loaded), texture);
    EXPECT_EQ(texture->Fields().format, 3u);
    EXPECT_EQ(loaded, header);
    ASSERT_EQ(registry.LoadAsset(workspace, temp / "assets/b.tex", loaded), texture);
    EXPECT_EQ(texture->Fields().format, 1u);
}

} // namespace
} // namespace mw
