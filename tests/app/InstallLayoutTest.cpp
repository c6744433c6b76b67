// An installed tool finds its compilers, Defaults/ and Toolset/ from its own
// location, wherever it starts and whatever its tools folder holds.
#include "app/CModwrightApp.h"
#include "app/InstallLayout.h"
#include "app/OptionSettings.h"
#include "app/ToolsetFiles.h"
#include "platform/PathRules.h"
#include "platform/FileSystem.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace mw {
namespace {

using test::TempFolder;
using test::WriteFile;

class InstalledTreeTest : public ::testing::Test
{
protected:
    // prefix/bin/ holds the programs, prefix/lib/modwright/ the compilers,
    // prefix/share/modwright/ the Defaults/ and Toolset/ folders.
    InstalledTreeTest()
    {
        EnsureFolders(temp / "prefix/bin/");
        WriteFile(temp / "prefix/lib/modwright/TexForge", "#!/bin/sh\necho texture compiler ran with $1\n");
        WriteFile(temp / "prefix/share/modwright/Defaults/Quest.qst", "quest\n");
        WriteFile(temp / "prefix/share/modwright/Toolset/Templates.arc", "arc");
        EnsureFolders(temp / "start/");
    }

    std::unique_ptr<CModwrightApp> MakeApp(std::string documents = std::string())
    {
        AppEnvironment environment;
        environment.startFolder = temp / "start";
        environment.documentsFolder = documents.empty() ? temp / "docs" : documents;
        if (documents == "none")
            environment.documentsFolder.clear();
        environment.programFolder = temp / "prefix/bin";
        environment.out = &out;
        environment.prompt = &prompt;
        return std::make_unique<CModwrightApp>(environment);
    }

    TempFolder temp;
    std::ostringstream out;
    test::ScriptedPrompt prompt;
};

TEST_F(InstalledTreeTest, TheLayoutIsFoundFromTheProgramsFolder)
{
    InstallLayout installed = FindInstallLayout(temp / "prefix/bin");
    EXPECT_EQ(installed.helperFolder, temp / "prefix/lib/modwright/");
    EXPECT_EQ(installed.dataFolder, temp / "prefix/share/modwright/");
    // A build (or the Windows zip) keeps everything beside the program.
    WriteFile(temp / "build/bin/TexForge", "x");
    WriteFile(temp / "build/bin/Toolset/Templates.arc", "arc");
    WriteFile(temp / "build/share/modwright/Toolset/Templates.arc", "arc");
    InstallLayout build = FindInstallLayout(temp / "build/bin/");
    EXPECT_EQ(build.helperFolder, temp / "build/bin/");
    EXPECT_EQ(build.dataFolder, temp / "build/bin/");
    EXPECT_TRUE(HoldsCompilers(temp / "build/bin"));
    EXPECT_FALSE(HoldsCompilers(temp / "prefix/bin"));
}

TEST_F(InstalledTreeTest, DefaultsToolsetAndTheFirstStartProposalComeFromTheInstalledTree)
{
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-ini", temp / "Tools.ini"}));
    ASSERT_EQ(app->GetDefaults().size(), 1u);
    EXPECT_EQ(app->GetDefaults()[0].path, temp / "prefix/share/modwright/Defaults/Quest.qst");
    EXPECT_EQ(app->ToolsetPath(kTemplatesArchive), temp / "prefix/share/modwright/Toolset/Templates.arc");
    // The start folder's own files win.
    WriteFile(temp / "start/Toolset/Templates.arc", "mine");
    EXPECT_EQ(app->ToolsetPath(kTemplatesArchive), temp / "start\\Toolset/Templates.arc");

    // The proposed tools folder is where the compilers are.
    ASSERT_TRUE(NeedsFirstStartSetup(*app));
    ProposeFirstStartDefaults(*app);
    EXPECT_EQ(ToForwardSlashes(app->GetToolsDir()), ToForwardSlashes(temp / "prefix/lib/modwright/"));
}

#ifndef _WIN32
TEST_F(InstalledTreeTest, ACompilerTheToolsFolderLacksRunsFromTheInstalledTree)
{
    ASSERT_EQ(::chmod((temp / "prefix/lib/modwright/TexForge").c_str(), 0755), 0);
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-ini", temp / "Tools.ini"}));
    uint32_t exitCode = 9;
    ASSERT_TRUE(app->RunTool("\"" + temp / "tools/TexForge.exe\" in.tga", exitCode, nullptr));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_NE(out.str().find("texture compiler ran with in.tga"), std::string::npos) << out.str();
    // A program of no such name anywhere still cannot be started.
    EXPECT_FALSE(app->RunTool("\"" + temp / "tools/MeshForge.exe\" in.max", exitCode, nullptr));
    EXPECT_EQ(exitCode, 0u);
}
#endif

TEST_F(InstalledTreeTest, WithoutAHomeFolderStartUpStopsAndCreatesNothing)
{
    auto app = MakeApp("none");
    EXPECT_FALSE(app->InitInstance({"-quiet"}));
    EXPECT_NE(out.str().find("There is no home folder to keep Tools.ini in: set HOME, or give -ini PATH"),
              std::string::npos)
        << out.str();
    EXPECT_FALSE(PathExists("/My Games"));
    EXPECT_FALSE(PathExists("\\My Games"));
}

} // namespace
} // namespace mw
