// The asset views' commands through the real registry, real files and the
// local source control: new assets, properties, review status, assets made
// from source files, and the review order of the status dialog.
#include "assets/AssetCommands.h"
#include "assets/AssetHeader.h"
#include "assets/AssetReader.h"
#include "assets/AssetRegistry.h"
#include "assets/AssetStatusRules.h"
#include "assets/AssetTypes.h"
#include "assets/IAssetCommandUi.h"
#include "assets/IAssetPropertiesEditor.h"
#include "platform/FileSystem.h"
#include "support/FakeWorkspace.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <deque>

namespace mw {
namespace {

using test::TempFolder;

// Each dialog takes the next queued source name ("" cancels) and records
// which dialog was shown.
class ScriptedAssetUi : public IAssetCommandUi, public IAssetPropertiesEditor
{
public:
    IAssetPropertiesEditor& PropertiesEditor() override { return *this; }
    bool EditStatus(AssetHeader& header, bool readOnly, bool privileged) override
    {
        statusShown.push_back({readOnly, privileged});
        if (!readOnly)
            header.status = newStatus;
        return confirmStatus;
    }
    int ChooseAssetType(const std::vector<std::string>& typeNames) override
    {
        offeredTypes = typeNames;
        return chosenType;
    }

    bool EditTexture(TextureProperties& fields, bool) override
    {
        textureFormats.push_back(fields.format);
        return Take("Texture", fields.source);
    }
    bool EditCubeMap(CubeMapProperties&, bool) override { return false; }
    bool EditMesh(MeshProperties& fields, bool) override { return Take("Mesh", fields.scene); }
    bool EditAnimation(AnimationProperties& fields, bool) override { return Take("Animation", fields.scene); }
    bool EditShader(ShaderProperties& fields, bool) override { return Take("Shader", fields.source); }
    bool EditFont(FontProperties& fields, bool) override { return Take("Font", fields.source); }
    bool EditMap(MapProperties& fields, bool) override { return Take("Map", fields.world); }
    bool EditCopySource(CopyProperties& fields, const std::string&, const std::string&, bool) override
    {
        return Take("Copy", fields.source);
    }
    void ShowInformation(const std::string&, const std::string&) override {}

    bool Take(const std::string& dialog, std::string& field)
    {
        dialogs.push_back(dialog);
        if (sources.empty())
            return keepField;
        std::string next = sources.front();
        sources.pop_front();
        if (next.empty())
            return false;
        field = next;
        return true;
    }

    std::deque<std::string> sources;
    bool keepField = false; // with no queued name: OK with the field as it is
    std::vector<uint32_t> textureFormats; // the format each texture dialog opened with
    std::vector<std::string> dialogs;
    std::vector<std::string> offeredTypes;
    int chosenType = 0;
    uint32_t newStatus = kAssetStatusWaitingForReview;
    bool confirmStatus = true;
    std::vector<std::pair<bool, bool>> statusShown;
};

class AssetCommandsTest : public ::testing::Test
{
protected:
    AssetCommandsTest() : workspace(temp.Path(), temp / "build/")
    {
        RegisterAssetTypes(registry, workspace);
        workspace.SourceControl().SetClientDirectory(temp.Path());
    }

    AssetHeader HeaderOf(const std::string& relativePath, uint32_t* typeKey = nullptr)
    {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(temp / relativePath, bytes));
        AssetReader reader(bytes);
        AssetHeader header;
        uint32_t key = 0;
        EXPECT_TRUE(AssetRegistry::ReadAssetHeader(reader, key, header));
        if (typeKey)
            *typeKey = key;
        return header;
    }

    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const auto& message : workspace.prompt.messages)
            texts.push_back(message.text);
        return texts;
    }

    TempFolder temp;
    test::FakeWorkspace workspace;
    AssetRegistry registry;
    ScriptedAssetUi ui;
};

TEST_F(AssetCommandsTest, NewAssetIsWrittenInProgressInTheViewFolder)
{
    ui.sources = {"art\\rock.tga"};
    std::string path = NewAsset(workspace, registry, ui, 0, "assets/props/");
    EXPECT_EQ(path, "assets/props/rock.tex");
    uint32_t key = 0;
    EXPECT_EQ(HeaderOf(path, &key), AssetHeader::NewAsset());
    EXPECT_EQ(key, 1000u);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(AssetCommandsTest, ExistingNameShowsTheDialogAgainUntilCancelled)
{
    test::WriteFile(temp / "assets/rock.tex", "old");
    // The first name exists, the second too, then the dialog is cancelled.
    ui.sources = {"rock.tga", "art\\rock.psd", ""};
    EXPECT_EQ(NewAsset(workspace, registry, ui, 0, "assets/"), "");
    EXPECT_EQ(ui.dialogs.size(), 3u);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"File already exists", "File already exists"}));
    EXPECT_EQ(test::ReadFile(temp / "assets/rock.tex"), "old");

    // A free name on the second try is written.
    ui.dialogs.clear();
    ui.sources = {"rock.tga", "pebble.tga"};
    EXPECT_EQ(NewAsset(workspace, registry, ui, 0, "assets/"), "assets/pebble.tex");
    EXPECT_EQ(ui.dialogs.size(), 2u);
}

TEST_F(AssetCommandsTest, NewAssetWithoutASourceNameWritesNoNamelessFile)
{
    // A source of only a folder gives the output name ".tex": refused and
    // the dialog shown again, which is then cancelled.
    ui.sources = {"art\\", ""};
    EXPECT_EQ(NewAsset(workspace, registry, ui, 5, "assets/"), "");
    EXPECT_EQ(ui.dialogs.size(), 2u);
    EXPECT_FALSE(PathExists(temp / "assets/.tex"));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Choose a source file: the asset file is named after it."}));
}

TEST_F(AssetCommandsTest, PropertiesSaveTheAssetWithItsOwnHeader)
{
    ui.sources = {"a.wav"};
    std::string path = NewAsset(workspace, registry, ui, 12, "assets/");
    ASSERT_EQ(path, "assets/a.wav");
    std::string before = test::ReadFile(temp / path);
    ui.sources = {"sounds\\b.wav"};
    EXPECT_TRUE(OpenAssetProperties(workspace, registry, ui, path));
    std::string after = test::ReadFile(temp / path);
    EXPECT_NE(after.find("sounds\\b.wav"), std::string::npos);
    EXPECT_EQ(HeaderOf(path), AssetHeader::NewAsset());

    // Cancel leaves the bytes alone.
    ui.sources = {""};
    EXPECT_FALSE(OpenAssetProperties(workspace, registry, ui, path));
    EXPECT_EQ(test::ReadFile(temp / path), after);
}

TEST_F(AssetCommandsTest, PropertiesOfBrokenFilesSayWhy)
{
    test::WriteFile(temp / "assets/junk.tex", "not an asset");
    test::WriteFile(temp / "assets/alien.tex", std::string("AST\x02\x99\x99\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 16));
    EXPECT_FALSE(OpenAssetProperties(workspace, registry, ui, "assets/missing.tex"));
    EXPECT_FALSE(OpenAssetProperties(workspace, registry, ui, "assets/junk.tex"));
    EXPECT_FALSE(OpenAssetProperties(workspace, registry, ui, "assets/alien.tex"));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Couldn't open file", "Not the correct asset format.",
                                                    "No registered factory for this type."}));
    EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(AssetCommandsTest, StatusOfAFileNotCheckedOutIsShownReadOnlyAndNotSaved)
{
    ui.sources = {"a.wav"};
    std::string path = NewAsset(workspace, registry, ui, 12, "assets/");
    std::string before = test::ReadFile(temp / path);
    workspace.SourceControl().SetUserName("leadartist");
    // The local backend never checks files out: the dialog is read-only.
    EXPECT_FALSE(EditAssetStatus(workspace, registry, ui, path));
    ASSERT_EQ(ui.statusShown.size(), 1u);
    EXPECT_TRUE(ui.statusShown[0].first);
    EXPECT_TRUE(ui.statusShown[0].second);
    EXPECT_EQ(test::ReadFile(temp / path), before);

    EXPECT_FALSE(EditAssetStatus(workspace, registry, ui, "assets/gone.wav"));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Couldn't open file"}));
}

TEST_F(AssetCommandsTest, TargaOffersTextureAndBitmapAndWaveIsMadeAtOnce)
{
    workspace.modName = "Fjord";
    ui.chosenType = 1; // Bitmap
    ui.sources = {}; // the dialogs keep what AutoCreate put in
    ui.keepField = true;
    std::vector<std::string> created = CreateAssetsFromSources(
        workspace, registry, ui,
        {"CustomMaps/Fjord/source/ui/logo.tga", "CustomMaps/Fjord/source/sounds/click.wav"});
    EXPECT_EQ(ui.offeredTypes, (std::vector<std::string>{"Texture", "Bitmap"}));
    // Each asset lands in the assets folder that mirrors its source's folder.
    EXPECT_EQ(created, (std::vector<std::string>{"CustomMaps/Fjord/assets/ui/logo.tex",
                                                 "CustomMaps/Fjord/assets/sounds/click.wav"}));
    uint32_t key = 0;
    HeaderOf(created[0], &key);
    EXPECT_EQ(key, 1005u);
    HeaderOf(created[1], &key);
    EXPECT_EQ(key, 1017u);
    // The source path is stored relative to the mod's source folder.
    EXPECT_NE(test::ReadFile(temp / created[1]).find("sounds\\click.wav"), std::string::npos);
    EXPECT_EQ(ui.dialogs, (std::vector<std::string>{"Copy", "Copy"}));
}

// A 2x1 32-bit Targa image whose second pixel has the given alpha.
std::string TwoPixelTarga(char alpha)
{
    std::string image(18, '\0');
    image[2] = 2, image[12] = 2, image[14] = 1, image[16] = 32, image[17] = 8;
    return image + std::string("\x10\x20\x30\xFF", 4) + std::string("\x10\x20\x30", 3) + alpha;
}

TEST_F(AssetCommandsTest, TexturesOfImagesWithTransparencyStartAsDxt5)
{
    test::WriteFile(temp / "source/fx/glow.tga", TwoPixelTarga('\x40'));
    test::WriteFile(temp / "source/fx/wall.tga", TwoPixelTarga('\xFF'));
    test::WriteFile(temp / "source/fx/skin.psd", "8BPS");
    ui.keepField = true;
    ui.chosenType = 0; // Texture
    std::vector<std::string> created = CreateAssetsFromSources(
        workspace, registry, ui, {"source/fx/glow.tga", "source/fx/wall.tga", "source/fx/skin.psd"});
    EXPECT_EQ(created, (std::vector<std::string>{"assets/fx/glow.tex", "assets/fx/wall.tex", "assets/fx/skin.tex"}));
    // DXT5 for the translucent image; the usual DXT1 for the opaque one and
    // for an image that cannot be read here.
    EXPECT_EQ(ui.textureFormats, (std::vector<uint32_t>{3, 1, 1}));
}

TEST_F(AssetCommandsTest, SourcesWithoutATypeOrWithAnExistingAssetAreReported)
{
    test::WriteFile(temp / "assets/art/hero.tex", "taken");
    ui.keepField = true;
    ui.chosenType = 0; // Texture
    std::vector<std::string> created =
        CreateAssetsFromSources(workspace, registry, ui, {"source/notes.doc", "source/art/hero.psd"});
    EXPECT_TRUE(created.empty());
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Can not automatically generate asset file for:\r\nnotes.doc\r\nThis file-type does "
                              "not support auto-create.",
                              "Asset file:\r\nassets/art/hero.tex\r\nAlready exists."}));
    EXPECT_EQ(test::ReadFile(temp / "assets/art/hero.tex"), "taken");

    // Cancelling the type choice skips the file.
    ui.chosenType = -1;
    EXPECT_TRUE(CreateAssetsFromSources(workspace, registry, ui, {"source/x.tga"}).empty());
    EXPECT_FALSE(PathExists(temp / "assets/x.tex"));
}

TEST(AssetStatusRules, ReviewOrderForPrivilegedAndOtherUsers)
{
    struct Step
    {
        uint32_t from;
        bool privileged;
        uint32_t promoted;
        uint32_t demoted;
    };
    const Step steps[] = {
        {kAssetStatusLegacy, false, kAssetStatusNone, kAssetStatusLegacy},
        {kAssetStatusNone, false, kAssetStatusInProgress, kAssetStatusLegacy},
        {kAssetStatusRevise, false, kAssetStatusRevisedWaitingForReview, kAssetStatusWaitingForReview},
        {kAssetStatusRevisedWaitingForReview, false, kAssetStatusRevisedWaitingForReview, kAssetStatusRevise},
        {kAssetStatusRevisedWaitingForReview, true, kAssetStatusApproved, kAssetStatusRevise},
        {kAssetStatusApproved, false, kAssetStatusApproved, kAssetStatusApproved},
        {kAssetStatusApproved, true, kAssetStatusFinalApproval, kAssetStatusRevisedWaitingForReview},
        {kAssetStatusFinalApproval, false, kAssetStatusFinalApproval, kAssetStatusFinalApproval},
        {kAssetStatusFinalApproval, true, kAssetStatusFinalApproval, kAssetStatusApproved},
        {9, true, 9, 9},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(testing::Message() << "status " << step.from << " privileged " << step.privileged);
        EXPECT_EQ(PromoteStatus(step.from, step.privileged), step.promoted);
        EXPECT_EQ(DemoteStatus(step.from, step.privileged), step.demoted);
        EXPECT_EQ(CanPromote(step.from, step.privileged), step.promoted != step.from);
        EXPECT_EQ(CanDemote(step.from, step.privileged), step.demoted != step.from);
    }
    EXPECT_TRUE(IsPrivilegedUser("leadartist"));
    EXPECT_FALSE(IsPrivilegedUser("LeadArtist"));
    EXPECT_FALSE(IsPrivilegedUser(""));
}

} // namespace
} // namespace mw
