// Asset file headers, the registry's load and save, and body round trips of
// every registered type.
#include "RecordingContext.h"
#include "assets/Asset.h"
#include "assets/AssetReader.h"
#include "assets/AssetRegistry.h"
#include "assets/AssetTypes.h"
#include "assets/AssetWriter.h"
#include "assets/CopyAsset.h"
#include "assets/types/CubeMapAsset.h"
#include "assets/types/FontAsset.h"
#include "assets/types/MeshAsset.h"
#include "assets/types/ShaderAsset.h"
#include "assets/types/TextureAsset.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::RecordingContext;
using test::TempFolder;

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int value : values)
        bytes.push_back(char(value));
    return bytes;
}

std::string BodyString(const std::string& text)
{
    AssetWriter writer;
    writer.WriteBodyString(text);
    return writer.Bytes();
}

class AssetFileTest : public ::testing::Test
{
protected:
    AssetFileTest()
    {
        context.sourceDir = temp.Path() + "source/";
        RegisterAssetTypes(registry, context);
    }

    Asset* Load(const std::string& bytes)
    {
        WriteFileAtomic(temp / "a.bin", bytes);
        return registry.LoadAsset(context, temp / "a.bin", header);
    }
    std::string LastLog() const { return context.log.empty() ? std::string() : context.log.back().text; }

    TempFolder temp;
    RecordingContext context;
    AssetRegistry registry;
    AssetHeader header;
};

TEST_F(AssetFileTest, TypesAreRegisteredInCommandOrderWithTheirKeys)
{
    const std::vector<std::pair<std::string, uint32_t>> expected = {
        {"Texture", 1000}, {"Cube Map", 1002},      {"Mesh", 1001},     {"Animation", 1003}, {"Shader", 1004},
        {"Bitmap", 1005},  {"Font", 1008},          {"TextFile", 1011}, {"Trigger/Quest", 1012},
        {"Particle", 1013}, {"Map", 1014},          {"Binary", 1016},   {"Wave", 1017},      {"MP3", 1018}};
    ASSERT_EQ(registry.TypeCount(), int(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ(registry.TypeAt(int(i))->GetName(), expected[i].first);
        EXPECT_EQ(registry.TypeAt(int(i))->GetTypeKey(), expected[i].second);
        EXPECT_EQ(registry.FindType(expected[i].second), registry.TypeAt(int(i)));
    }
    EXPECT_EQ(registry.FindType(1006), nullptr);
    EXPECT_EQ(registry.TypeAt(14), nullptr);
    EXPECT_FALSE(registry.Register(std::make_unique<TextureAsset>()));
    registry.CloseAll();
    EXPECT_EQ(registry.TypeCount(), 0);
    EXPECT_EQ(registry.FindType(1000), nullptr);
}

TEST_F(AssetFileTest, VersionOneHasNoHeaderRecordAndTheBodyFollowsAtOffsetEight)
{
    std::string file = "AST" + Bytes({1, 0xF3, 0x03, 0, 0}) + "TXT\x01" + BodyString("notes\\readme.txt");
    header.status = 5;
    Asset* asset = Load(file);
    ASSERT_NE(asset, nullptr) << LastLog();
    EXPECT_EQ(asset->GetTypeKey(), 1011u);
    EXPECT_EQ(header, AssetHeader{});
    EXPECT_EQ(asset->GetSourceFile(0), "notes\\readme.txt");
}

TEST_F(AssetFileTest, VersionsZeroAndNegativeAreNotAssetFilesButThreeReadsAsTwo)
{
    for (int version : {0, 0x80, 0xFF})
    {
        context.log.clear();
        EXPECT_EQ(Load("AST" + Bytes({version, 0xF8, 0x03, 0, 0}) + Bytes({0, 0, 0, 0}) + BodyString("x.bin")),
                  nullptr);
        EXPECT_EQ(LastLog(), temp / "a.bin" + ": Not an asset file");
        EXPECT_TRUE(context.log.back().line);
        EXPECT_FALSE(context.log.back().error);
    }
    Asset* asset = Load("AST" + Bytes({3, 0xF8, 0x03, 0, 0, 2, 0, 0, 0, 2}) + "me" + Bytes({0}) +
                        Bytes({0, 0, 0, 0}) + BodyString("x.bin"));
    ASSERT_NE(asset, nullptr) << LastLog();
    EXPECT_EQ(header.status, 2u);
    EXPECT_EQ(header.assignedTo, "me");
    EXPECT_EQ(Load("ASX" + Bytes({2, 0xF8, 0x03, 0, 0})), nullptr);
    EXPECT_EQ(Load("AS"), nullptr);
    EXPECT_EQ(LastLog(), temp / "a.bin" + ": Not an asset file");
}

TEST_F(AssetFileTest, HeaderTextLengthPrefixesFollowTheArchiveStringForm)
{
    AssetWriter writer;
    writer.WriteArchiveString(std::string(254, 'a'));
    writer.WriteArchiveString(std::string(300, 'b'));
    writer.WriteArchiveString(std::string(0x10000, 'c'));
    const std::string& bytes = writer.Bytes();
    EXPECT_EQ(bytes.substr(0, 1), Bytes({254}));
    EXPECT_EQ(bytes.substr(255, 3), Bytes({0xFF, 0x2C, 0x01}));
    EXPECT_EQ(bytes.substr(558, 7), Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}));

    AssetReader reader(bytes);
    std::string text;
    ASSERT_TRUE(reader.ReadArchiveString(text));
    EXPECT_EQ(text, std::string(254, 'a'));
    ASSERT_TRUE(reader.ReadArchiveString(text));
    EXPECT_EQ(text, std::string(300, 'b'));
    ASSERT_TRUE(reader.ReadArchiveString(text));
    EXPECT_EQ(text.size(), 0x10000u);
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST_F(AssetFileTest, SixteenBitHeaderTextsAreNarrowed)
{
    std::string wide = Bytes({0xFF, 0xFE, 0xFF, 3, 'J', 0, 'o', 0, 0x42, 0x30});
    AssetReader reader(wide);
    std::string text;
    ASSERT_TRUE(reader.ReadArchiveString(text));
    EXPECT_EQ(text, "Jo?");
    const std::string shortBytes = Bytes({0xFF, 0xFE, 0xFF, 3, 'J', 0});
    AssetReader shortWide(shortBytes);
    EXPECT_FALSE(shortWide.ReadArchiveString(text));
}

TEST_F(AssetFileTest, UnregisteredKeyIsReportedEvenWithABodyAnotherTypeReads)
{
    EXPECT_EQ(Load("AST" + Bytes({2, 0x06, 0x04, 0, 0, 1, 0, 0, 0, 0, 0}) + "TXT\x01" + BodyString("a.txt")),
              nullptr);
    EXPECT_EQ(LastLog(), temp / "a.bin" + ": No registered factory for this type");
}

TEST_F(AssetFileTest, ShortFilesFailAsErrorLoadingAssetWithoutChangingTheInstance)
{
    Asset* text = registry.FindType(1011);
    static_cast<CopyAsset*>(text)->SetSource("kept.txt");
    std::string full = "AST" + Bytes({2, 0xF3, 0x03, 0, 0, 1, 0, 0, 0, 4}) + "anna" + Bytes({0}) + "TXT\x01" +
                       BodyString("new.txt");
    // Cut inside the header record, inside the tag, inside the length and inside the text.
    for (size_t cut : {size_t(10), size_t(14), size_t(17), size_t(22), full.size() - 1})
    {
        context.log.clear();
        EXPECT_EQ(Load(full.substr(0, cut)), nullptr) << cut;
        EXPECT_EQ(LastLog(), temp / "a.bin" + ": Error loading asset") << cut;
        EXPECT_EQ(text->GetSourceFile(0), "kept.txt");
    }
    ASSERT_EQ(Load(full), text);
    EXPECT_EQ(text->GetSourceFile(0), "new.txt");
    EXPECT_EQ(header.assignedTo, "anna");
}

TEST_F(AssetFileTest, MissingFileCannotBeOpened)
{
    EXPECT_EQ(registry.LoadAsset(context, temp / "none.tex", header), nullptr);
    EXPECT_EQ(LastLog(), temp / "none.tex" + ": Unable to open file.");
}

TEST_F(AssetFileTest, BodyStringsStopAtAZeroByte)
{
    const std::string bytes = Bytes({6, 0, 0, 0, 'a', 'b', 0, 'c', 'd', 'e', 'z'});
    AssetReader reader(bytes);
    std::string text;
    ASSERT_TRUE(reader.ReadBodyString(text));
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(reader.Remaining(), 1u);
    const std::string tooLongBytes = Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a'});
    AssetReader tooLong(tooLongBytes);
    EXPECT_FALSE(tooLong.ReadBodyString(text));
}

TEST_F(AssetFileTest, SaveWritesTheHeaderAndIsRefusedForAReadOnlyFile)
{
    Asset* binary = registry.FindType(1016);
    static_cast<CopyAsset*>(binary)->SetSource("data\\blob.bin");
    AssetHeader saved{kAssetStatusRevise, "bob", "line one\r\nline two"};
    ASSERT_TRUE(AssetRegistry::SaveAsset(*binary, temp / "blob.bin", saved));
    std::string expected = "AST" + Bytes({2, 0xF8, 0x03, 0, 0, 3, 0, 0, 0, 3}) + "bob" + Bytes({18}) +
                           "line one\r\nline two" + Bytes({0, 0, 0, 0}) + BodyString("data\\blob.bin");
    EXPECT_EQ(test::ReadFile(temp / "blob.bin"), expected);

    ASSERT_TRUE(SetReadOnly(temp / "blob.bin", true));
    EXPECT_FALSE(AssetRegistry::SaveAsset(*binary, temp / "blob.bin", AssetHeader::NewAsset()));
    EXPECT_EQ(test::ReadFile(temp / "blob.bin"), expected);
}

// Fills an instance with values that differ from its defaults, saves it,
// resets it, loads the file and compares the saved body with a second save.
TEST_F(AssetFileTest, EveryTypeSurvivesASaveAndLoadRoundTrip)
{
    for (int i = 0; i < registry.TypeCount(); ++i)
    {
        Asset* asset = registry.TypeAt(i);
        asset->Reset();
        ASSERT_TRUE(asset->AutoCreate("folder\\" + asset->GetName().substr(0, 3) + ".src") ||
                    asset->GetTypeKey() == CubeMapAsset::kTypeKey);
        if (auto* texture = dynamic_cast<TextureAsset*>(asset))
            texture->SetFields({"t.tga", false, 3, true, 15, {"f1.tga", "f2.tga"}});
        if (auto* cube = dynamic_cast<CubeMapAsset*>(asset))
            cube->SetFields({{"l", "r", "u", "d", "f", "b"}, false, 2});
        if (auto* mesh = dynamic_cast<MeshAsset*>(asset))
            mesh->SetFields({"m.max", "m.mif", false, true});
        if (auto* shader = dynamic_cast<ShaderAsset*>(asset))
            shader->SetFields({"s.ssh", "A=1;B"});
        if (auto* font = dynamic_cast<FontAsset*>(asset))
            font->SetFields({"f.ttf", 24});

        AssetHeader saved{kAssetStatusApproved, "carol", std::string(300, 'x')};
        const std::string path = temp / ("asset" + std::to_string(i));
        ASSERT_TRUE(AssetRegistry::SaveAsset(*asset, path, saved)) << asset->GetName();
        std::string first = test::ReadFile(path);
        asset->Reset();
        AssetHeader loaded;
        ASSERT_EQ(registry.LoadAsset(context, path, loaded), asset) << asset->GetName();
        EXPECT_EQ(loaded, saved) << asset->GetName();
        std::string second;
        ASSERT_TRUE(AssetRegistry::AssetFileBytes(*asset, loaded, second));
        EXPECT_EQ(second, first) << asset->GetName();
        EXPECT_EQ(first.substr(4, 4), Bytes({int(asset->GetTypeKey() & 0xFF), int(asset->GetTypeKey() >> 8), 0, 0}));
    }
}

TEST_F(AssetFileTest, AWrongTagOrVersionIsRefused)
{
    const std::vector<std::pair<uint32_t, std::string>> refused = {
        {1000, std::string("TEX\x03", 4)}, {1001, std::string("MSH\x01", 4)}, {1004, std::string("SSH\x04", 4)},
        {1002, std::string("CBM\x02", 4)}, {1016, std::string("BIN\x01", 4)}, {1017, std::string("WAV\x02", 4)},
        {1011, std::string("QST\x01", 4)}};
    for (const auto& [key, tag] : refused)
    {
        std::string file = "AST" + Bytes({1, int(key & 0xFF), int(key >> 8), 0, 0}) + tag + std::string(64, '\0');
        EXPECT_EQ(Load(file), nullptr) << key;
        EXPECT_EQ(LastLog(), temp / "a.bin" + ": Error loading asset") << key;
    }
}

} // namespace
} // namespace mw
