// Resource archives: which folders are packed, and the archive tool's
// command lines byte for byte.
#include "BuildContext.h"
#include "assets/ResourceArchives.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::BuildContext;
using test::TempFolder;
using test::WriteFile;

class ResourceArchivesTest : public ::testing::Test
{
protected:
    ResourceArchivesTest() : context(temp / "work/", temp / "build/", temp / "tools/") {}

    std::string Res() const { return temp / "build/resources/"; }

    TempFolder temp;
    BuildContext context;
};

TEST_F(ResourceArchivesTest, FreshBuildPacksResourceFoldersAndXpackSubFoldersOnly)
{
    WriteFile(Res() + "creatures/ogre.msh", "m");
    WriteFile(Res() + "xpack/ui/logo.tex", "t");
    WriteFile(Res() + ".svn/entries", "e");
    WriteFile(Res() + "loose.tex", "l");
    WriteFile(Res() + "xpack.arc", "stale");
    WriteFile(Res() + "creatures.arc", "old");
    bool oldArchiveGoneAtRun = false;
    context.onRun = [&](const std::string&, uint32_t& exitCode) {
        oldArchiveGoneAtRun = !PathExists(Res() + "creatures.arc");
        exitCode = 0;
        return true;
    };

    BuildArchives(context, true);

    std::vector<std::string> expected = {
        "ArcPack \"" + Res() + "creatures.arc\" -add . \"" + Res() + "creatures\" 6",
        "ArcPack \"" + Res() + "xpack/ui.arc\" -add . \"" + Res() + "xpack/ui\" 6",
    };
    EXPECT_EQ(context.CommandLines(), expected);
    for (const test::ToolRun& run : context.runs)
        EXPECT_EQ(run.folder, temp / "tools/");
    EXPECT_TRUE(context.HasLine("Building " + Res() + "creatures."));
    EXPECT_TRUE(context.HasLine("Building " + Res() + "xpack/ui."));
    EXPECT_FALSE(PathExists(Res() + "xpack.arc"));
    EXPECT_TRUE(oldArchiveGoneAtRun);
}

TEST_F(ResourceArchivesTest, UpdateKeepsArchivesAndStopsBetweenArchivesWhenCancelled)
{
    WriteFile(Res() + "a/x.bin", "x");
    WriteFile(Res() + "b/y.bin", "y");
    WriteFile(Res() + "a.arc", "keep");
    context.onRun = [&](const std::string&, uint32_t&) {
        context.RequestCancel();
        return true;
    };

    BuildArchives(context, false);

    std::vector<std::string> expected = {"ArcPack \"" + Res() + "a.arc\" -update . \"" + Res() + "a\" 6"};
    EXPECT_EQ(context.CommandLines(), expected);
    EXPECT_TRUE(PathExists(Res() + "a.arc"));
}

TEST_F(ResourceArchivesTest, ArchiveToolThatCannotStartIsLoggedAsAnError)
{
    WriteFile(Res() + "a/x.bin", "x");
    context.onRun = [](const std::string&, uint32_t&) { return false; };
    BuildArchives(context, true);
    EXPECT_TRUE(context.HasLine("Couldn't execute \"ArcPack \"" + Res() + "a.arc\" -add . \"" + Res() + "a\" 6\""));
    EXPECT_EQ(context.ErrorLineCount(), 1);
}

TEST_F(ResourceArchivesTest, UpdateArchiveFileSplitsAtTheArchiveFolderKeepingCase)
{
    std::string build = temp / "build/";
    ASSERT_TRUE(UpdateArchiveFile(context, build + "Resources/Creatures/Ogre/ogre.msh"));
    ASSERT_TRUE(UpdateArchiveFile(context, build + "resources/xpack/ui/icons/a.tex"));
    ASSERT_TRUE(UpdateArchiveFile(context, build + "resources\\xpack\\UI\\b.tex"));
    std::vector<std::string> expected = {
        "ArcPack \"" + build + "Resources/Creatures.arc\" -replace \"./Ogre/ogre.msh\" \"" + build +
            "Resources/Creatures\" 6",
        "ArcPack \"" + build + "resources/xpack/ui.arc\" -replace \"./icons/a.tex\" \"" + build +
            "resources/xpack/ui\" 6",
        "ArcPack \"" + build + "resources\\xpack\\UI.arc\" -replace \".\\b.tex\" \"" + build +
            "resources\\xpack\\UI\" 6",
    };
    EXPECT_EQ(context.CommandLines(), expected);
    EXPECT_EQ(context.runs[0].folder, temp / "tools/");
}

TEST_F(ResourceArchivesTest, UpdateArchiveFileResults)
{
    std::string output = temp / "build/resources/creatures/ogre.msh";
    // -1 arrives as 255 on POSIX: the message box, and a failed update.
    context.onRun = [](const std::string&, uint32_t& exitCode) {
        exitCode = 255;
        return true;
    };
    EXPECT_FALSE(UpdateArchiveFile(context, output));
    ASSERT_EQ(context.prompt.messages.size(), 1u);
    EXPECT_EQ(context.prompt.messages[0].text, "Unable to update file '" + output + "' in archive file '" +
                                                   temp / "build/resources/creatures" + "'");
    EXPECT_EQ(context.prompt.messages[0].caption, "");
    EXPECT_EQ(context.prompt.messages[0].icon, PromptIcon::Error);

    context.onRun = [](const std::string&, uint32_t& exitCode) {
        exitCode = 0xFFFFFFFFu;
        return true;
    };
    EXPECT_FALSE(UpdateArchiveFile(context, output));
    EXPECT_EQ(context.prompt.messages.size(), 2u);

    context.onRun = [](const std::string&, uint32_t&) { return false; };
    EXPECT_FALSE(UpdateArchiveFile(context, output));
    EXPECT_EQ(context.prompt.messages.size(), 2u);

    // A file directly in the resource base lies in no archive.
    size_t runsBefore = context.runs.size();
    EXPECT_TRUE(UpdateArchiveFile(context, temp / "build/resources/loose.tex"));
    EXPECT_EQ(context.runs.size(), runsBefore);
}

TEST_F(ResourceArchivesTest, RemoveMissingAllCleansEveryArchiveAndDeletesXpackArchive)
{
    context.modName = "Isle";
    std::string res = temp / "build/CustomMaps/Isle/resources/";
    WriteFile(res + "a.arc", "1");
    WriteFile(res + "B.ARC", "2");
    WriteFile(res + "notes.txt", "3");
    WriteFile(res + "xpack.arc", "4");
    WriteFile(res + "xpack/ui.arc", "5");

    std::string prefix = "CustomMaps/Isle/";
    RemoveMissingAll(context, &prefix);

    std::vector<std::string> expected = {
        "ArcPack \"" + res + "a.arc\" -removeMissing \"" + res + "a\"",
        "ArcPack \"" + res + "B.ARC\" -removeMissing \"" + res + "B\"",
        "ArcPack \"" + res + "xpack.arc\" -removeMissing \"" + res + "xpack\"",
        "ArcPack \"" + res + "xpack/ui.arc\" -removeMissing \"" + res + "xpack/ui\"",
    };
    EXPECT_EQ(context.CommandLines(), expected);
    EXPECT_TRUE(context.HasLine("Removing unassociated files from archive " + res + "B.ARC."));
    EXPECT_FALSE(PathExists(res + "xpack.arc"));

    // Without a prefix: the current mod's resource base, which ends "\resources/".
    context.runs.clear();
    RemoveMissingAll(context, nullptr);
    std::string current = temp / "build/CustomMaps\\Isle\\resources/";
    EXPECT_EQ(context.CommandLines().front(), "ArcPack \"" + current + "a.arc\" -removeMissing \"" + current + "a\"");
}

TEST_F(ResourceArchivesTest, CompactAllCompactsInOrderAndStopsWhenCancelled)
{
    WriteFile(Res() + "a.arc", "1");
    WriteFile(Res() + "xpack/ui.arc", "2");
    CompactAll(context);
    std::vector<std::string> expected = {
        "ArcPack \"" + Res() + "a.arc\" -compact",
        "ArcPack \"" + Res() + "xpack/ui.arc\" -compact",
    };
    EXPECT_EQ(context.CommandLines(), expected);
    EXPECT_TRUE(context.HasLine("Compacting " + Res() + "xpack/ui.arc."));

    context.runs.clear();
    context.RequestCancel();
    CompactAll(context);
    EXPECT_TRUE(context.runs.empty());
}

TEST_F(ResourceArchivesTest, ArchiveStatisticsCommandLineAndMissingOutputReported)
{
    context.modName = "Isle";
    std::string build = temp / "build/";
    ShowArchiveStatistics(context);
    std::string prefix = build + "CustomMaps\\Isle\\";
    std::vector<std::string> expected = {"ArcPack -totalStats \"" + build + "fileStats.txt\" \"" + prefix +
                                         "resources/*.arc\" \"" + prefix + "Audio\\*.arc\" \"" + prefix +
                                         "resources/xpack/*.arc\""};
    EXPECT_EQ(context.CommandLines(), expected);
    EXPECT_TRUE(context.HasLine("The archive statistics were not written to " + build + "fileStats.txt"));
}

TEST_F(ResourceArchivesTest, ResViewThatCannotStartIsReported)
{
    RunResView(context);
    std::string tools = temp / "tools/";
    std::string build = temp / "build/";
    EXPECT_TRUE(context.HasLine("Couldn't execute \"\"" + tools + "\\ResView.exe\" \"" + build + "\\ResView\" \"" +
                                build + "\\\\\" resources database audio\""));
}

TEST(ResView, StartsInTheBackgroundWithItsArgumentsIntact)
{
    TempFolder temp;
    BuildContext context(temp / "work/", temp / "build/", ExecutableFolder() + "/");
    WriteFile(temp / "build/resources/ui/logo.tex", "t");
    RunResView(context);
    EXPECT_EQ(context.ErrorLineCount(), 0);
    // It is not waited for: the tree it writes appears a little later.
    std::string tree;
    for (int tries = 0; tries < 100 && tree.find("database") == std::string::npos; ++tries)
    {
        SleepMs(50);
        tree = test::ReadFile(temp / "build/ResView/ResourceTree.txt");
    }
    EXPECT_NE(tree.find("resources"), std::string::npos) << tree;
    EXPECT_NE(tree.find("logo.tex"), std::string::npos) << tree;
    EXPECT_NE(tree.find("database"), std::string::npos) << tree;
}

} // namespace
} // namespace mw
