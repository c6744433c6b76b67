// The build driver: the up-to-date rule, counters, cancellation, the
// unassociated-files step and the log lines of a build.
#include "BuildContext.h"
#include "assets/AssetRegistry.h"
#include "assets/AssetTypes.h"
#include "assets/BuildDriver.h"
#include "assets/ResourceArchiveIndex.h"
#include "assets/SceneExportData.h"
#include "assets/types/MeshAsset.h"
#include "assets/types/TextFileAsset.h"
#include "assets/types/TextureAsset.h"
#include "platform/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/PathRules.h"
#include "platform/ProcessRunner.h"
#include "platform/sourcecontrol/LocalSourceControlBackend.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <cstdio>
#include <set>

namespace mw {
namespace {

using test::BuildContext;
using test::TempFolder;
using test::TouchFile;
using test::WriteFile;

// The real archive tool, so that what the build packs can be read back.
bool RunArcPack(const std::string& commandLine, uint32_t& exitCode)
{
    struct Quiet : IProcessOutput
    {
        void OnOutput(const std::string&, bool) override {}
    } output;
    ProcessOutcome outcome;
    bool ran = ProcessRunner(ExecutableFolder()).Run(commandLine, nullptr, output, outcome);
    exitCode = outcome.exitCode;
    return ran;
}

// Files in this set are not under source control; listing can be turned off
// so the driver walks the disk.
class UnversionedBackend : public LocalSourceControlBackend
{
public:
    int GetFileStatus(const std::string& path, FileStatus& status) override
    {
        if (unversioned.count(ToForwardSlashes(path)))
            return 1;
        return LocalSourceControlBackend::GetFileStatus(path, status);
    }
    void GetFilesUnderDirectory(const std::string& path, std::vector<std::string>& list) override
    {
        list.clear();
        if (listFiles)
            LocalSourceControlBackend::GetFilesUnderDirectory(path, list);
    }

    void GetConflictedFiles(const std::string& folder, std::vector<std::string>& list) override
    {
        list.clear();
        for (const std::string& path : conflicted)
            if (path.rfind(folder, 0) == 0)
                list.push_back(path);
    }

    std::set<std::string> unversioned;
    std::vector<std::string> conflicted;
    bool listFiles = true;
};

class BuildDriverTest : public ::testing::Test
{
protected:
    BuildDriverTest()
        : context(temp / "work/", temp / "build/", temp / "tools/"), driver(context, registry)
    {
        auto backend = std::make_unique<UnversionedBackend>();
        backend->SetClientDirectory(temp / "work/");
        this->backend = backend.get();
        context.SourceControl().SetBackend(std::move(backend));
        RegisterAssetTypes(registry, context);
        driver.SetUnassociatedPolicy(BuildDriver::UnassociatedPolicy::YesToAll);
        // The compilers write their output (the argument in the build
        // folder); a failing one leaves a partial output behind.
        context.onRun = [this](const std::string& commandLine, uint32_t& exitCode) {
            std::vector<std::string> arguments = SplitCommandLine(commandLine);
            if (arguments[0] == "ArcPack")
            {
                if (!arcPackFails)
                    return RunArcPack(commandLine, exitCode);
                exitCode = 255;
                return true;
            }
            compiled.push_back(ShortName(arguments[0]));
            for (const std::string& argument : arguments)
                if (argument.rfind(temp / "build/", 0) == 0)
                    WriteFile(argument, "compiled");
            exitCode = failing.count(ShortName(arguments[0])) ? 1 : 0;
            return true;
        };
        MakeWorkspace();
    }

    // The log of a failed test helps more than its assertions alone.
    void TearDown() override
    {
        if (HasFailure())
            for (const test::LogLine& line : context.log)
                std::printf("%s%s\n", line.error ? "ERROR " : "", line.text.c_str());
    }

    std::string Work(const std::string& relative) const { return temp / "work/" + relative; }
    std::string Res(const std::string& relative) const { return temp / "build/resources/" + relative; }

    void MakeWorkspace()
    {
        WriteFile(Work("source/ogre.max"), "scene" + MakeExportBlock("MDL 1\n", "MDL"));
        WriteFile(Work("source/ogre.mif"), "MIF 1\n");
        WriteFile(Work("source/stone.tga"), "tga");
        WriteFile(Work("source/frame2.tga"), "tga");
        WriteFile(Work("source/readme.txt"), "text");

        EnsureFolders(Work("assets/creatures/"));
        EnsureFolders(Work("assets/textures/"));
        EnsureFolders(Work("assets/docs/"));
        MeshAsset mesh;
        mesh.SetFields(MeshProperties{"ogre.max", "ogre.mif", true, false});
        ASSERT_TRUE(AssetRegistry::SaveAsset(mesh, Work("assets/creatures/ogre.msh"), AssetHeader::NewAsset()));
        TextureAsset texture;
        TextureProperties textureFields;
        textureFields.source = "stone.tga";
        textureFields.frames = {"frame2.tga"};
        texture.SetFields(textureFields);
        ASSERT_TRUE(AssetRegistry::SaveAsset(texture, Work("assets/textures/stone.tex"), AssetHeader::NewAsset()));
        TextFileAsset text;
        text.SetSource("readme.txt");
        ASSERT_TRUE(AssetRegistry::SaveAsset(text, Work("assets/docs/readme.txt"), AssetHeader::NewAsset()));
        WriteFile(Work("assets/.keep"), "");
        for (const char* file : {"source/ogre.max", "source/ogre.mif", "source/stone.tga", "source/frame2.tga",
                                 "source/readme.txt", "assets/creatures/ogre.msh", "assets/textures/stone.tex",
                                 "assets/docs/readme.txt"})
            TouchFile(Work(file), -100);
    }

    // Clears what the last build recorded.
    void Forget()
    {
        compiled.clear();
        context.runs.clear();
        context.log.clear();
    }

    std::vector<std::string> OutputLines() const
    {
        std::vector<std::string> outputs;
        for (const std::string& text : context.Texts())
            if (text.rfind(temp / "build/resources/", 0) == 0)
                outputs.push_back(text.substr((temp / "build/resources/").size()));
        return outputs;
    }

    TempFolder temp;
    BuildContext context;
    AssetRegistry registry;
    BuildDriver driver;
    UnversionedBackend* backend = nullptr;
    std::vector<std::string> compiled;
    std::set<std::string> failing;
    bool arcPackFails = false;
};

TEST_F(BuildDriverTest, SecondBuildWithoutChangesRunsNothing)
{
    EXPECT_EQ(driver.BuildAll(false, true), 0);
    EXPECT_EQ(OutputLines(), (std::vector<std::string>{"creatures/ogre.msh", "docs/readme.txt", "textures/stone.tex"}));
    EXPECT_EQ(compiled, (std::vector<std::string>{"MeshForge.exe", "TexForge.exe"}));
    EXPECT_EQ(test::ReadFile(Res("docs/readme.txt")), "text");
    // Each fresh output goes into its archive.
    EXPECT_TRUE(context.HasLine("Compiling assets..."));
    std::vector<std::string> lines = context.CommandLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "ArcPack \"" + Res("creatures.arc") + "\" -replace \"./ogre.msh\" \"" + Res("creatures") +
                            "\" 6"),
              lines.end());
    EXPECT_EQ(context.beginCount, 1);
    EXPECT_EQ(context.endCount, 1);

    Forget();
    EXPECT_EQ(driver.BuildAll(false, true), 0);
    EXPECT_TRUE(context.runs.empty());
    EXPECT_TRUE(OutputLines().empty());
    EXPECT_EQ(context.ErrorLineCount(), 0);
    std::vector<std::string> texts = context.Texts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[texts.size() - 3], "Done.");
    EXPECT_EQ(texts[texts.size() - 2].rfind("Build time 0:0", 0), 0u);
    // The outcome line comes last.
    EXPECT_EQ(texts.back(), "Nothing to build");
}

TEST_F(BuildDriverTest, AnAssetInConflictIsNeverBuiltAndFailsEveryBuild)
{
    backend->conflicted = {"assets/textures/stone.tex"};
    const std::string error =
        "Error: assets/textures/stone.tex is in conflict; merge the changes into it and resolve it before it is built";
    for (bool listed : {true, false})
    {
        backend->listFiles = listed;
        Forget();
        EXPECT_EQ(driver.BuildAll(false, true), 1) << "listed " << listed;
        EXPECT_EQ(std::count(compiled.begin(), compiled.end(), "TexForge.exe"), 0) << "listed " << listed;
        EXPECT_TRUE(context.HasLine(error));
        EXPECT_FALSE(IsFile(Res("textures/stone.tex")));
    }
    backend->conflicted.clear();
    Forget();
    EXPECT_EQ(driver.BuildAll(false, true), 0);
    EXPECT_EQ(compiled, std::vector<std::string>{"TexForge.exe"});
}

TEST_F(BuildDriverTest, OnlyTestedSourceSlotsMakeAnAssetOutOfDate)
{
    driver.BuildAll(false, false);
    // The MIF is the Mesh's second slot; the Texture's extra frame is no slot.
    for (const char* output : {"creatures/ogre.msh", "textures/stone.tex", "docs/readme.txt"})
        TouchFile(Res(output), -50);
    TouchFile(Work("source/ogre.mif"), -10);
    TouchFile(Work("source/frame2.tga"), -10);
    Forget();
    driver.BuildAll(false, false);
    EXPECT_EQ(OutputLines(), std::vector<std::string>{"creatures/ogre.msh"});
    EXPECT_EQ(compiled, std::vector<std::string>{"MeshForge.exe"});

    // Equal times are up to date.
    FileTime outputTime;
    ASSERT_TRUE(GetLastWriteTime(Res("textures/stone.tex"), outputTime));
    ASSERT_TRUE(SetLastWriteTime(Work("source/stone.tga"), outputTime));
    Forget();
    driver.BuildAll(false, false);
    EXPECT_TRUE(compiled.empty());
}

TEST_F(BuildDriverTest, RebuildAllAndExplainSayWhy)
{
    driver.SetExplain(true);
    driver.BuildAll(false, false);
    EXPECT_TRUE(context.HasLine("explain: output missing"));

    TouchFile(Work("assets/docs/readme.txt"), 100);
    Forget();
    driver.BuildAll(false, false);
    std::vector<std::string> texts = context.Texts();
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const std::string& text) {
        return text.rfind("explain: asset file newer than the output by ", 0) == 0;
    }));

    Forget();
    EXPECT_EQ(driver.BuildAll(true, false), 0);
    EXPECT_EQ(OutputLines().size(), 3u);
    EXPECT_EQ(compiled.size(), 2u);
    EXPECT_TRUE(context.HasLine("explain: forced"));
}

TEST_F(BuildDriverTest, FailuresAndUnversionedSourcesAreCounted)
{
    WriteFile(Work("assets/broken.tex"), "not an asset");
    failing.insert("MeshForge.exe");
    driver.SetNetwork(true);
    backend->unversioned.insert("source/readme.txt");

    EXPECT_EQ(driver.BuildAll(false, true), 2);

    std::vector<std::string> texts = context.Texts();
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[texts.size() - 4], "");
    EXPECT_EQ(texts[texts.size() - 3], "2 error(s) 1 warning(s)");
    EXPECT_EQ(texts[texts.size() - 2].rfind("Build time ", 0), 0u);
    EXPECT_EQ(texts.back().rfind("Build failed: 2 errors, 1 warning", 0), 0u) << texts.back();
    EXPECT_EQ(driver.WarningCount(), 1u);
    auto warning = std::find(texts.begin(), texts.end(),
                             "WARNING Referenced file is not under source control: source\\readme.txt");
    ASSERT_NE(warning, texts.end());
    EXPECT_EQ(*(warning - 1), Work("assets/docs/readme.txt"));
    // The failed compiler's partial output is gone, so the next build tries again.
    EXPECT_FALSE(PathExists(Res("creatures/ogre.msh")));
    failing.clear();
    Forget();
    driver.BuildAll(false, true);
    EXPECT_EQ(compiled, std::vector<std::string>{"MeshForge.exe"});
    // Warnings alone print no count line.
    texts = context.Texts();
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const std::string& text) { return text.find("error(s)") != std::string::npos; }),
              1);
}

TEST_F(BuildDriverTest, CancelSkipsTheRestOfTheAssetsButNotTheDatabase)
{
    for (bool listed : {true, false})
    {
        backend->listFiles = listed;
        DeleteFolderTree(temp / "build/");
        Forget();
        context.onLog = [this](const std::string& text) {
            if (text == Res("creatures/ogre.msh"))
                context.RequestCancel();
        };
        EXPECT_EQ(driver.BuildAll(false, true), 0);
        context.onLog = nullptr;
        EXPECT_EQ(OutputLines(), std::vector<std::string>{"creatures/ogre.msh"}) << (listed ? "listed" : "walked");
        EXPECT_TRUE(context.HasLine("Compiling database..."));
        EXPECT_FALSE(context.HasLine("Build cancelled by user"));
        EXPECT_FALSE(context.IsCancelled());
    }
}

TEST_F(BuildDriverTest, CancelDuringTheLastStepIsReported)
{
    context.onLog = [this](const std::string& text) {
        if (text == "Deleting unassociated resources...")
            context.RequestCancel();
    };
    EXPECT_EQ(driver.BuildAll(false, true), 0);
    std::vector<std::string> texts = context.Texts();
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[texts.size() - 4], "Build cancelled by user");
    EXPECT_EQ(texts[texts.size() - 3], "");
    EXPECT_EQ(texts.back().rfind("Build stopped by user after ", 0), 0u) << texts.back();
    EXPECT_FALSE(context.IsCancelled());
}

TEST_F(BuildDriverTest, UnassociatedFilesAreDeletedOnTheFirstBuildOnly)
{
    WriteFile(Res("creatures/orphan.msh"), "old");
    driver.BuildAll(false, true);
    EXPECT_FALSE(PathExists(Res("creatures/orphan.msh")));
    EXPECT_TRUE(driver.UnassociatedDone());
    WriteFile(Res("creatures/orphan2.msh"), "old");
    driver.BuildAll(false, true);
    EXPECT_TRUE(PathExists(Res("creatures/orphan2.msh")));
}

TEST_F(BuildDriverTest, AFailedArchiveUpdateIsAnError)
{
    context.onRun = [](const std::string& commandLine, uint32_t& exitCode) {
        // ArcPack ends with -1; the copies need no compiler.
        exitCode = commandLine.rfind("ArcPack", 0) == 0 ? 255 : 0;
        return true;
    };
    EXPECT_FALSE(driver.CompileAsset(Work("assets/docs/readme.txt"), Res("docs/readme.txt"), false));
    ASSERT_EQ(context.prompt.messages.size(), 1u);
    EXPECT_EQ(context.prompt.messages[0].text, "Unable to update file '" + Res("docs/readme.txt") +
                                                   "' in archive file '" + Res("docs") + "'");
    ASSERT_FALSE(context.log.empty());
    EXPECT_EQ(context.log.back().text, "Error updating file in archive");
    EXPECT_TRUE(context.log.back().error);
}

TEST_F(BuildDriverTest, AnOutputLeftOutOfItsArchiveIsPackedByTheNextBuild)
{
    // Every packing fails (a full disk, say): each output left out of its
    // archive is an error, though its compile succeeded.
    arcPackFails = true;
    EXPECT_EQ(driver.BuildAll(false, true), 3);
    // The three packings and the outcome line, "Build failed: ...".
    EXPECT_EQ(context.ErrorLineCount(), 4);
    EXPECT_TRUE(IsFile(Res("creatures/ogre.msh")));
    EXPECT_FALSE(PathExists(Res("creatures.arc")));

    // The next build compiles nothing but packs what is missing.
    arcPackFails = false;
    Forget();
    EXPECT_EQ(driver.BuildAll(false, true), 0);
    EXPECT_TRUE(compiled.empty());
    std::unordered_map<std::string, ArchivedFile> entries;
    ASSERT_TRUE(ReadResourceArchiveIndex(Res("creatures.arc"), entries));
    FileInfo output;
    ASSERT_TRUE(GetFileInfo(Res("creatures/ogre.msh"), output));
    ASSERT_EQ(entries.count("ogre.msh"), 1u);
    EXPECT_EQ(entries["ogre.msh"].time, output.lastWrite.value);
    EXPECT_TRUE(ReadResourceArchiveIndex(Res("docs.arc"), entries));
    EXPECT_EQ(entries.count("readme.txt"), 1u);

    // An output that changed behind the archive's back (a crash between a
    // compile and its packing) is packed again; an archive that is current
    // runs no archive tool at all.
    TouchFile(Res("docs/readme.txt"), -20);
    Forget();
    EXPECT_EQ(driver.BuildAll(false, true), 0);
    std::vector<std::string> lines = context.CommandLines();
    EXPECT_EQ(lines, std::vector<std::string>{"ArcPack \"" + Res("docs.arc") + "\" -replace \"./readme.txt\" \"" +
                                              Res("docs") + "\" 6"});
    Forget();
    EXPECT_EQ(driver.BuildAll(false, true), 0);
    EXPECT_TRUE(context.runs.empty());
}

TEST_F(BuildDriverTest, OutputFolderThatCannotBeCreatedIsAnError)
{
    WriteFile(temp / "build/resources", "a file where the folder belongs");
    EXPECT_EQ(driver.BuildAll(false, true), 1);
    EXPECT_TRUE(context.HasLine("Error creating directory: " + temp / "build/resources/"));
    EXPECT_TRUE(context.HasLine("1 error(s) 0 warning(s)"));
    EXPECT_TRUE(compiled.empty());

    DeleteFolderTree(temp / "build/");
    WriteFile(temp / "build/database", "a file where the folder belongs");
    Forget();
    EXPECT_EQ(driver.BuildAll(false, true), 1);
    EXPECT_TRUE(context.HasLine("1 error(s) 0 warning(s)"));
}

TEST_F(BuildDriverTest, WalkFilesVisitsEveryFileAndStopsWhenCancelled)
{
    std::vector<std::string> visited;
    auto step = [&](const std::string& assetPath, const std::string& outputPath, bool force) {
        visited.push_back(assetPath.substr(Work("assets/").size()) + " -> " + outputPath.substr(Res("").size()) +
                          (force ? " forced" : ""));
        return assetPath.find("stone") == std::string::npos;
    };
    EXPECT_EQ(driver.WalkFiles(Work("assets/"), Res(""), true, step), 1);
    EXPECT_EQ(visited, (std::vector<std::string>{".keep -> .keep forced", "creatures/ogre.msh -> creatures/ogre.msh forced",
                                                 "docs/readme.txt -> docs/readme.txt forced",
                                                 "textures/stone.tex -> textures/stone.tex forced"}));
    visited.clear();
    context.RequestCancel();
    EXPECT_EQ(driver.WalkFiles(Work("assets/"), Res(""), false, step), 0);
    EXPECT_TRUE(visited.empty());
}

TEST_F(BuildDriverTest, ProgressCountsTheAssetsAloneAndEndsAtTheTotal)
{
    // The workspace's assets folder holds a .keep beside its three assets.
    std::vector<std::string> steps;
    driver.SetProgress([&steps](int done, int total, const std::string& file) {
        steps.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + file);
    });
    EXPECT_EQ(driver.CompileAssets("assets/", false, true), 0);
    EXPECT_EQ(steps, (std::vector<std::string>{"0/3 creatures/ogre.msh", "1/3 docs/readme.txt",
                                               "2/3 textures/stone.tex", "3/3 "}));
}

} // namespace
} // namespace mw
