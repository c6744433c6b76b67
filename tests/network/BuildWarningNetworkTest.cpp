// The build's warning for a source file that is not under source control,
// asked of the Subversion backend.
#include "NetworkFixture.h"

#include "assets/AssetRegistry.h"
#include "assets/AssetTypes.h"
#include "assets/BuildDriver.h"
#include "assets/types/TextFileAsset.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SubversionBackend.h"
#include "support/FakeWorkspace.h"

#include <algorithm>

namespace mw::test {
namespace {

class BuildWarningNetworkTest : public NetworkFixture
{
protected:
    BuildWarningNetworkTest() : workspace(alice.folder, temp / "build/") {}

    // A text-file asset whose source is source/<source>, added to the server.
    void PublishAsset(const std::string& asset, const std::string& source)
    {
        TextFileAsset text;
        text.SetSource(source);
        ASSERT_TRUE(alice.client.CreateAllDirectories(ParentPath(asset)));
        ASSERT_TRUE(AssetRegistry::SaveAsset(text, AliceFile(asset), AssetHeader::NewAsset()));
        ASSERT_TRUE(alice.client.AddFile(asset)) << alice.log.Errors();
    }

    FakeWorkspace workspace;
};

TEST_F(BuildWarningNetworkTest, OnlySourcesTheServerDoesNotKnowAreWarnedAbout)
{
    Publish("source/readme.txt", "read me\n");
    WriteFile(AliceFile("source/notes.txt"), "local only\n");
    PublishAsset("assets/docs/readme.txt", "readme.txt");
    PublishAsset("assets/docs/notes.txt", "notes.txt");

    SubversionOptions options = Options(SvnServer::kAlicePassword);
    SourceControlClient& client = workspace.SourceControl();
    client.SetNetworkBackendFactory(
        [options](const std::string&) { return std::make_unique<SubversionBackend>(options); });
    client.SetUserName(SvnServer::kAlice);
    ASSERT_TRUE(client.Connect(server.Url()));

    AssetRegistry registry;
    RegisterAssetTypes(registry, workspace);
    BuildDriver driver(workspace, registry);
    driver.SetNetwork(true);
    driver.SetUnassociatedPolicy(BuildDriver::UnassociatedPolicy::ListOnly);
    driver.BuildAll(false, true);

    std::vector<std::string> texts = workspace.Texts();
    EXPECT_EQ(driver.WarningCount(), 1u);
    auto warning = std::find(texts.begin(), texts.end(),
                             "WARNING Referenced file is not under source control: source\\notes.txt");
    ASSERT_NE(warning, texts.end());
    EXPECT_EQ(*(warning - 1), AliceFile("assets/docs/notes.txt"));
    EXPECT_TRUE(IsFile(temp / "build/resources/docs/readme.txt"));
}

} // namespace
} // namespace mw::test
