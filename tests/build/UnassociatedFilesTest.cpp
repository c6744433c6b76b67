// Deleting unassociated files and records, and removing emptied folders.
#include "BuildContext.h"
#include "assets/UnassociatedFiles.h"
#include "dbarchive/ArchiveSlot.h"
#include "dbarchive/DbArchive.h"
#include "dbtools/WalkedFiles.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace mw {
namespace {

using test::BuildContext;
using test::TempFolder;
using test::WriteFile;

class UnassociatedFilesTest : public ::testing::Test
{
protected:
    UnassociatedFilesTest() : context(temp / "work/", temp / "build/", temp / "tools/") {}

    std::string Work(const std::string& relative) const { return temp / "work/" + relative; }
    std::string Build(const std::string& relative) const { return temp / "build/" + relative; }
    std::string ArchivePath() const { return Build("database\\database.arz"); }

    void WriteArchive(const std::vector<std::string>& recordNames)
    {
        OpenDbArchive(context, ArchivePath());
        for (const std::string& name : recordNames)
            context.ArchiveSlot()->AddRecord("body", 4, name, "Item", 1, 0);
        CloseDbArchive(context, ArchivePath(), true);
    }

    std::vector<std::string> ArchivedNames()
    {
        std::vector<std::string> names;
        DbArchive archive;
        std::string bytes;
        ReadWholeFile(ArchivePath(), bytes);
        archive.Load(bytes.data(), bytes.size());
        for (std::string name = archive.NextName(); !name.empty(); name = archive.NextName())
            names.push_back(name);
        return names;
    }

    // A workspace with kept and unassociated output, archives and empty folders.
    void MakeWorkspace()
    {
        WriteFile(Work("assets/creatures/ogre.msh"), "asset");
        WriteFile(Work("assets/items/sword.tex"), "asset");
        WriteFile(Work("database/Records/Kept.dbr"), "record");
        WriteFile(Build("Resources/creatures/ogre.msh"), "out");
        WriteFile(Build("Resources/creatures/old.msh"), "out");
        WriteFile(Build("Resources/Items/Sword.TEX"), "out");
        WriteFile(Build("Resources/creatures.arc"), "arc");
        WriteFile(Build("Resources/gone/deep/a.tex"), "out");
        EnsureFolders(Build("Resources/empty/sub/"));
        WriteFile(Build("Database/records/kept.dbr"), "copy");
        WriteFile(Build("Database/records/gone.dbr"), "copy");
        WriteArchive({"records\\kept.dbr", "records\\gone.dbr"});
        context.log.clear();
    }

    TempFolder temp;
    BuildContext context;
};

TEST_F(UnassociatedFilesTest, QuietModeDeletesEveryUnassociatedFileAndRecordWithoutAsking)
{
    MakeWorkspace();
    ASSERT_TRUE(SetReadOnly(Build("Resources/creatures/old.msh"), true));
    // The spare an earlier save of the archive kept beside it.
    std::string spare = Build("Database/.database.arz.mwtmp.spare.arz");
    WriteFile(spare, "spare");

    UnassociatedFiles(context, true).DeleteUnassociated("");

    EXPECT_TRUE(context.prompt.messages.empty());
    EXPECT_FALSE(PathExists(Build("Resources/creatures/old.msh")));
    EXPECT_FALSE(PathExists(Build("Database/records/gone.dbr")));
    EXPECT_FALSE(PathExists(Build("Resources/gone")));
    EXPECT_FALSE(PathExists(Build("Resources/empty")));
    // Sources found under another letter case keep their output.
    EXPECT_TRUE(PathExists(Build("Resources/creatures/ogre.msh")));
    EXPECT_TRUE(PathExists(Build("Resources/Items/Sword.TEX")));
    EXPECT_TRUE(PathExists(Build("Database/records/kept.dbr")));
    EXPECT_TRUE(PathExists(Build("Resources/creatures.arc")));
    EXPECT_TRUE(PathExists(ArchivePath()));
    EXPECT_EQ(ArchivedNames(), std::vector<std::string>{"records\\kept.dbr"});
    EXPECT_TRUE(PathExists(spare));
    EXPECT_FALSE(context.HasLine("Deleting: " + Build("Database\\.database.arz.mwtmp.spare.arz")));

    std::vector<std::string> texts = context.Texts();
    EXPECT_EQ(texts.front(), "Deleting unassociated resources...");
    EXPECT_TRUE(context.HasLine("Deleting: " + Build("Resources\\creatures\\old.msh")));
    EXPECT_TRUE(context.HasLine("BinaryArchive - Deleting: " + Work("database\\records\\gone.dbr")));
    EXPECT_TRUE(context.HasLine("Deleting empty resource directories..."));
    // A folder whose only content is an emptied sub-folder goes after it.
    auto at = [&](const std::string& text) { return std::find(texts.begin(), texts.end(), text) - texts.begin(); };
    EXPECT_LT(at("Deleting empty directory: " + Build("Resources\\empty\\sub\\")),
              at("Deleting empty directory: " + Build("Resources\\empty\\")));
    EXPECT_LT(at("Deleting empty directory: " + Build("Resources\\gone\\deep\\")),
              at("Deleting empty directory: " + Build("Resources\\gone\\")));
    EXPECT_EQ(context.ErrorLineCount(), 0);
}

// What the build's walks found spares looking at those files again, and
// only those: a file of the same name in another folder keeps nothing.
TEST_F(UnassociatedFilesTest, FilesTheWalksFoundStayAndEverythingElseIsLookedAt)
{
    MakeWorkspace();
    WriteFile(Work("assets/old.msh"), "asset");
    WriteFile(Work("database/gone.dbr"), "record");
    WalkedFiles assets;
    for (const char* asset : {"creatures/ogre.msh", "items/sword.tex", "old.msh"})
        assets.Add(asset);
    WalkedFiles database;
    database.Add("Records/Kept.dbr");
    database.Add("gone.dbr");
    UnassociatedFiles cleaner(context, true);
    cleaner.SetWalked(&assets, &database);
    cleaner.DeleteUnassociated("");

    EXPECT_FALSE(PathExists(Build("Resources/creatures/old.msh")));
    EXPECT_FALSE(PathExists(Build("Resources/gone")));
    EXPECT_FALSE(PathExists(Build("Database/records/gone.dbr")));
    EXPECT_TRUE(PathExists(Build("Resources/creatures/ogre.msh")));
    EXPECT_TRUE(PathExists(Build("Resources/Items/Sword.TEX")));
    EXPECT_TRUE(PathExists(Build("Database/records/kept.dbr")));
    EXPECT_EQ(ArchivedNames(), std::vector<std::string>{"records\\kept.dbr"});
    EXPECT_EQ(cleaner.FilesFound(), 3);
    EXPECT_EQ(cleaner.RecordsFound(), 1);
}

TEST_F(UnassociatedFilesTest, AnswersYesNoAndNoToAllHoldForFilesAndRecords)
{
    MakeWorkspace();
    WriteFile(Build("Resources/creatures/older.msh"), "out");
    // Files in walk order: creatures/old.msh, creatures/older.msh, gone/deep/a.tex.
    context.prompt.answers = {PromptAnswer::Yes, PromptAnswer::No, PromptAnswer::NoToAll};

    UnassociatedFiles(context, false).DeleteUnassociated("");

    ASSERT_EQ(context.prompt.messages.size(), 3u);
    EXPECT_EQ(context.prompt.messages[0].text, "Do you wish to delete the unassociated resource file: \r\n\r\n" +
                                                   Build("Resources\\creatures\\old.msh") + "?");
    EXPECT_EQ(context.prompt.messages[0].buttons, PromptButtons::YesNoYesToAllNoToAll);
    EXPECT_FALSE(PathExists(Build("Resources/creatures/old.msh")));
    EXPECT_TRUE(PathExists(Build("Resources/creatures/older.msh")));
    EXPECT_TRUE(PathExists(Build("Resources/gone/deep/a.tex")));
    EXPECT_TRUE(PathExists(Build("Database/records/gone.dbr")));
    EXPECT_EQ(ArchivedNames().size(), 2u);
    std::vector<std::string> texts = context.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "File Delete Canceled By User..."), 2);
    // Empty folders are still removed after No to all.
    EXPECT_FALSE(PathExists(Build("Resources/empty")));
}

TEST_F(UnassociatedFilesTest, YesToAllStopsAskingForTheRestOfTheRun)
{
    MakeWorkspace();
    context.prompt.answers = {PromptAnswer::YesToAll};
    UnassociatedFiles(context, false).DeleteUnassociated("");
    EXPECT_EQ(context.prompt.messages.size(), 1u);
    EXPECT_FALSE(PathExists(Build("Database/records/gone.dbr")));
    EXPECT_EQ(ArchivedNames(), std::vector<std::string>{"records\\kept.dbr"});
}

TEST_F(UnassociatedFilesTest, ListOnlyChangesNothing)
{
    MakeWorkspace();
    UnassociatedFiles cleaner(context, true, UnassociatedFiles::Mode::ListOnly);
    cleaner.DeleteUnassociated("");
    EXPECT_EQ(cleaner.FilesFound(), 3);
    EXPECT_EQ(cleaner.RecordsFound(), 1);
    EXPECT_TRUE(PathExists(Build("Resources/creatures/old.msh")));
    EXPECT_TRUE(PathExists(Build("Resources/empty/sub")));
    EXPECT_EQ(ArchivedNames().size(), 2u);
    EXPECT_TRUE(context.HasLine("Unassociated: " + Build("Resources\\creatures\\old.msh")));
    EXPECT_TRUE(context.runs.empty());
}

#ifndef _WIN32
TEST_F(UnassociatedFilesTest, LinksOutOfTheBuildFolderAreNeverFollowed)
{
    WriteFile(temp / "outside/precious.tex", "keep");
    WriteFile(temp / "outside/file.tex", "keep");
    ASSERT_TRUE(SetReadOnly(temp / "outside/file.tex", true));
    EnsureFolders(Build("Resources/"));
    ASSERT_EQ(::symlink((temp / "outside").c_str(), Build("Resources/linked").c_str()), 0);
    ASSERT_EQ(::symlink((temp / "outside/file.tex").c_str(), Build("Resources/file.tex").c_str()), 0);

    UnassociatedFiles(context, true).DeleteUnassociated("");

    EXPECT_TRUE(PathExists(temp / "outside/precious.tex"));
    EXPECT_TRUE(PathExists(temp / "outside/file.tex"));
    bool readOnly = false;
    EXPECT_TRUE(GetReadOnly(temp / "outside/file.tex", readOnly) && readOnly);
    // The link to a file is itself unassociated output and goes.
    EXPECT_FALSE(PathExists(Build("Resources/file.tex")));
}
#endif

TEST_F(UnassociatedFilesTest, CancelStopsTheWalkAndTheFolderRemoval)
{
    MakeWorkspace();
    context.onLog = [&](const std::string& text) {
        if (text.rfind("Deleting: ", 0) == 0)
            context.RequestCancel();
    };
    UnassociatedFiles cleaner(context, true);
    cleaner.DeleteUnassociated("");
    EXPECT_EQ(cleaner.FilesFound(), 1);
    EXPECT_TRUE(PathExists(Build("Resources/empty/sub")));
    EXPECT_EQ(ArchivedNames().size(), 2u);
    EXPECT_TRUE(context.runs.empty());
}

TEST(IsEmptyTree, FilesAnywhereBelowMakeATreeNonEmpty)
{
    TempFolder temp;
    EnsureFolders(temp / "a/b/c/");
    EXPECT_TRUE(IsEmptyTree(temp / "a"));
    WriteFile(temp / "a/b/c/f", "x");
    EXPECT_FALSE(IsEmptyTree(temp / "a/"));
    EXPECT_FALSE(IsEmptyTree(temp / "missing"));
}

} // namespace
} // namespace mw
