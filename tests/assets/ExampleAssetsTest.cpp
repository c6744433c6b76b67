// Every sample asset of the example workspace built for real, with the
// compilers of the tools folder.
#include "CurrentFolderGuard.h"
#include "assets/Asset.h"
#include "assets/AssetRegistry.h"
#include "assets/AssetTypes.h"
#include "context/IToolContext.h"
#include "platform/FileSystem.h"
#include "platform/ProcessRunner.h"
#include "support/TempFolder.h"

#include <functional>
#include <set>
#include <gtest/gtest.h>

namespace mw {
namespace {

using test::TempFolder;

// Runs the real programs and collects what they print.
class RealToolContext : public IToolContext, private IProcessOutput
{
public:
    bool RunTool(const std::string& commandLine, uint32_t& exitCode, const char* folder) override
    {
        ProcessRunner runner(MW_TOOLS_DIR);
        ProcessOutcome outcome;
        bool started = runner.Run(commandLine, folder, *this, outcome);
        exitCode = started ? outcome.exitCode : 0;
        return started;
    }
    void Log(const std::string& text, bool, bool error) override { (error ? errors : output) += text + "\n"; }
    std::string GetSourceDir() const override { return MW_EXAMPLES_DIR "/Working/source\\"; }
    std::string GetToolsDir() const override { return MW_TOOLS_DIR; }
    std::string GetMAXServer() const override { return {}; }
    std::string GetShaderAsmDir() const override { return {}; }
    int GetExportStatistics() const override { return 1; }

    std::string output;
    std::string errors;

private:
    void OnOutput(const std::string& chunk, bool error) override { (error ? errors : output) += chunk; }
};

void ForEachFile(const std::string& folder, const std::string& relative,
                 const std::function<void(const std::string&)>& visit)
{
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(folder + relative, entries));
    for (const FolderEntry& entry : entries)
    {
        if (entry.isFolder)
            ForEachFile(folder, relative + entry.name + "/", visit);
        else if (entry.name[0] != '.')
            visit(relative + entry.name);
    }
}

TEST(ExampleAssets, EveryTypeIsPresentAndBuildsWithTheRealCompilers)
{
    TempFolder temp;
    // The compilers append their statistics files to the current folder.
    test::CurrentFolderGuard inTemp(temp.Path());
    ASSERT_TRUE(inTemp.Entered());

    RealToolContext context;
    AssetRegistry registry;
    RegisterAssetTypes(registry, context);
    std::set<uint32_t> builtTypes;
    ForEachFile(MW_EXAMPLES_DIR "/Working/assets/", "", [&](const std::string& relative) {
        AssetHeader header;
        Asset* asset = registry.LoadAsset(context, MW_EXAMPLES_DIR "/Working/assets/" + relative, header);
        ASSERT_NE(asset, nullptr) << relative << context.output;
        for (int slot = 0; slot < asset->GetSourceCount(); ++slot)
            EXPECT_TRUE(IsFile(context.GetSourceDir() + *asset->GetSourceFile(slot))) << relative << " " << slot;
        const std::string output = temp / ("resources/" + relative);
        EXPECT_TRUE(asset->Build(context, output)) << relative << "\n" << context.output << context.errors;
        uint64_t size = 0;
        EXPECT_TRUE(GetFileSize(output, size) && size > 0) << relative;
        builtTypes.insert(asset->GetTypeKey());
    });
    EXPECT_EQ(builtTypes.size(), size_t(registry.TypeCount()));
    EXPECT_EQ(context.errors, "");
    for (const char* statistics : {"TextureBuildStatistics.csv", "ModelBuildStatistics.csv",
                                   "ShaderBuildStatistics.csv", "MapBuildStatistics.csv"})
        EXPECT_TRUE(IsFile(temp / statistics)) << statistics;
    // The export data extracted for the mesh and animation compilers is not left behind.
    EXPECT_FALSE(PathExists(temp / "resources/creatures/temp.mdl"));
    EXPECT_FALSE(PathExists(temp / "resources/creatures/temp.anm"));
}

} // namespace
} // namespace mw
