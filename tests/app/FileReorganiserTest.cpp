// Moves and renames that keep references, deletes that warn about what still
// refers to a file, and local deletes that go to the trash.
#include "app/CModwrightApp.h"
#include "app/CommandLineTool.h"
#include "app/DatabaseMove.h"
#include "app/FileReorganiser.h"
#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "support/FakeWorkspace.h"
#include "support/ScriptedBackend.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <sstream>
#include <utility>
#include <vector>
#include <gtest/gtest.h>

namespace mw {
namespace {

using test::ReadFile;
using test::WriteFile;

const char kTemplate[] = "Group { name = \"All Groups\" type = \"list\"\n"
                         "Variable { name = \"best\" class = \"variable\" type = \"file_dbr\" description = \"\" "
                         "value = \"\" defaultValue = \"records\\old\\sword.dbr\" }\n}\n";

class FileReorganiserTest : public ::testing::Test
{
protected:
    FileReorganiserTest() : workspace(temp.Path(), temp / "build/")
    {
        auto scripted = std::make_unique<test::ScriptedBackend>();
        backend = scripted.get();
        workspace.SourceControl().SetBackend(std::move(scripted));
        workspace.SourceControl().SetClientDirectory(temp.Path());
        workspace.SourceControl().SetUserName("me");
        const char* previous = getenv("XDG_DATA_HOME");
        if (previous)
            m_previousDataHome = previous;
        m_hadDataHome = previous != nullptr;
        setenv("XDG_DATA_HOME", (temp.Path() + "data").c_str(), 1);

        WriteFile(temp / "database/Templates/loot.tpl", kTemplate);
        WriteFile(temp / "database/records/old/sword.dbr", "templateName,Database\\Templates\\loot.tpl,\n");
        WriteFile(temp / "database/loot/a.dbr", "templateName,Database\\Templates\\loot.tpl,\n"
                                                "best,Records/Old/Sword.dbr,\n");
        WriteFile(temp / "database/loot/b.dbr", "templateName,Database\\Templates\\loot.tpl,\n"
                                                "best,records\\x.dbr;records\\old\\sword.dbr,\n");
    }
    ~FileReorganiserTest() override
    {
        if (m_hadDataHome)
            setenv("XDG_DATA_HOME", m_previousDataHome.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

    test::TempFolder temp;
    test::FakeWorkspace workspace;
    test::ScriptedBackend* backend = nullptr;
    std::string m_previousDataHome;
    bool m_hadDataHome = false;
};

TEST_F(FileReorganiserTest, MoveAsksOnceWithTheListAndRewritesOnYes)
{
    FileReorganiser reorganiser(workspace, false, true);
    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    std::vector<std::string> moved = reorganiser.MoveRecords({"database/records/old/sword.dbr"}, "database/weapons/");
    EXPECT_EQ(moved, (std::vector<std::string>{"database/weapons/sword.dbr"}));
    ASSERT_EQ(workspace.prompt.messages.size(), 1u);
    const auto& question = workspace.prompt.messages[0];
    EXPECT_EQ(question.text, "Update 3 references?\n\n3 files still refer to the old paths.");
    EXPECT_EQ(question.buttons, PromptButtons::YesNo);
    EXPECT_EQ(question.details, "database/loot/a.dbr\ndatabase/loot/b.dbr\ndatabase/Templates/loot.tpl");

    EXPECT_EQ(ReadFile(temp / "database/loot/a.dbr"),
              "templateName,Database\\Templates\\loot.tpl,\r\nbest,weapons\\sword.dbr,\r\n");
    EXPECT_EQ(ReadFile(temp / "database/loot/b.dbr"),
              "templateName,Database\\Templates\\loot.tpl,\r\nbest,records\\x.dbr;weapons\\sword.dbr,\r\n");
    EXPECT_NE(ReadFile(temp / "database/Templates/loot.tpl").find("weapons\\sword.dbr"), std::string::npos);
    // The moved record still names where it was, for Update References.
    EXPECT_NE(ReadFile(temp / "database/weapons/sword.dbr").find("fileNameHistoryEntry"), std::string::npos);
    EXPECT_TRUE(workspace.HasLine("Updated references in \"database/loot/a.dbr\"."));
}

TEST_F(FileReorganiserTest, TheSearchIsShownBusyAndEndsBeforeTheQuestion)
{
    FileReorganiser reorganiser(workspace, false, true);
    // Each change of the indicator, with how many questions were asked by then.
    std::vector<std::pair<bool, size_t>> changes;
    reorganiser.SetBusyIndicator([&](bool busy) { changes.push_back({busy, workspace.prompt.messages.size()}); });
    workspace.prompt.answers.push_back(PromptAnswer::No);
    reorganiser.MoveRecords({"database/records/old/sword.dbr"}, "database/weapons/");
    ASSERT_EQ(workspace.prompt.messages.size(), 1u);
    EXPECT_EQ(changes, (std::vector<std::pair<bool, size_t>>{{true, 0}, {false, 0}}));
}

TEST_F(FileReorganiserTest, RenameAnsweredNoLeavesReferrersAsTheyWere)
{
    FileReorganiser reorganiser(workspace, false, true);
    std::string before = ReadFile(temp / "database/loot/a.dbr");
    ASSERT_TRUE(reorganiser.RenameFile("database/records/old/sword.dbr", "blade.dbr"));
    ASSERT_EQ(workspace.prompt.messages.size(), 1u);
    EXPECT_EQ(ReadFile(temp / "database/loot/a.dbr"), before);
    // The old name is remembered all the same, so a later update can repair the referrers.
    EXPECT_NE(ReadFile(temp / "database/records/old/blade.dbr").find("fileNameHistoryEntry,records\\old\\sword.dbr,"),
              std::string::npos);

    // A folder rename carries the paths below it; other tabs are not searched.
    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    EXPECT_EQ(reorganiser.RenameFolder("database/records/", "items"), "database/items/");
    EXPECT_EQ(ReadFile(temp / "database/loot/b.dbr"),
              "templateName,Database\\Templates\\loot.tpl,\r\nbest,items\\x.dbr;items\\old\\sword.dbr,\r\n");
    FileReorganiser sources(workspace, false, false);
    EXPECT_EQ(sources.RenameFolder("database/items/", "things"), "database/things/");
    EXPECT_EQ(workspace.prompt.messages.size(), 2u);
}

// Network mode: a renamed or moved record is read-only until checked out, so
// its history is written under a check-out that is checked in again.
TEST_F(FileReorganiserTest, ReadOnlyRecordsGetTheirHistoryThroughACheckOut)
{
    ASSERT_TRUE(SetReadOnly(temp / "database/records/old/sword.dbr", true));
    FileReorganiser reorganiser(workspace, true, true);
    workspace.prompt.answers.push_back(PromptAnswer::No);
    ASSERT_TRUE(reorganiser.RenameFile("database/records/old/sword.dbr", "blade.dbr"));
    ASSERT_EQ(workspace.prompt.messages.size(), 1u) << workspace.prompt.messages.back().text;
    EXPECT_NE(ReadFile(temp / "database/records/old/blade.dbr").find("fileNameHistoryEntry,records\\old\\sword.dbr,"),
              std::string::npos);
    EXPECT_EQ(backend->calls, (std::vector<std::string>{"out database/records/old/blade.dbr",
                                                        "in database/records/old/blade.dbr"}));

    // Held by someone else: the rename stands, the history is reported as not noted.
    ASSERT_TRUE(SetReadOnly(temp / "database/records/old/blade.dbr", true));
    backend->heldBy["database/weapons/blade.dbr"] = "someone";
    workspace.prompt.answers.push_back(PromptAnswer::No);
    EXPECT_EQ(reorganiser.MoveRecords({"database/records/old/blade.dbr"}, "database/weapons/"),
              std::vector<std::string>{"database/weapons/blade.dbr"});
    EXPECT_EQ(workspace.prompt.messages[1].text, "Couldn't note the earlier name in database/weapons/blade.dbr.");
}

TEST_F(FileReorganiserTest, FileHeldByAnotherUserIsReportedAndLeftAlone)
{
    backend->heldBy["database/loot/a.dbr"] = "someone";
    FileReorganiser reorganiser(workspace, true, true);
    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    reorganiser.MoveRecords({"database/records/old/sword.dbr"}, "database/weapons/");
    ASSERT_EQ(workspace.prompt.messages.size(), 2u);
    EXPECT_EQ(workspace.prompt.messages[1].text,
              "1 file is checked out by another user and still refers to the old paths.");
    EXPECT_EQ(workspace.prompt.messages[1].details, "database/loot/a.dbr");
    EXPECT_NE(ReadFile(temp / "database/loot/a.dbr").find("Records/Old/Sword.dbr"), std::string::npos);
    EXPECT_NE(ReadFile(temp / "database/loot/b.dbr").find("weapons\\sword.dbr"), std::string::npos);
    // Each rewritten file is checked out and checked in again; the held one is never touched.
    EXPECT_EQ(backend->calls, (std::vector<std::string>{"out database/loot/b.dbr", "in database/loot/b.dbr",
                                                        "out database/Templates/loot.tpl",
                                                        "in database/Templates/loot.tpl"}));
}

TEST_F(FileReorganiserTest, DeleteNamesTheFirstTenReferrersAndDefaultsToNo)
{
    for (int i = 0; i < 11; ++i)
        WriteFile(temp / ("database/more/r" + std::to_string(i) + ".dbr"), "best,records\\old\\sword.dbr,\n");
    FileReorganiser reorganiser(workspace, false, true);
    EXPECT_FALSE(reorganiser.DeleteFiles({"database/records/old/sword.dbr"}));
    EXPECT_TRUE(IsFile(temp / "database/records/old/sword.dbr"));
    ASSERT_EQ(workspace.prompt.messages.size(), 1u);
    const auto& question = workspace.prompt.messages[0];
    EXPECT_EQ(question.icon, PromptIcon::Warning);
    EXPECT_EQ(question.text.rfind("Are you sure you want to delete the file 'sword.dbr'?\n\n"
                                  "14 files still refer to it:\ndatabase/loot/a.dbr\ndatabase/loot/b.dbr\n"
                                  "database/more/r0.dbr\n",
                                  0),
              0u)
        << question.text;
    EXPECT_EQ(question.text.substr(question.text.rfind('\n')), "\n... and 4 more.");
    EXPECT_NE(question.details.find("database/Templates/loot.tpl"), std::string::npos);
}

TEST_F(FileReorganiserTest, DeleteWithoutReferrersAsksPlainlyAndTrashesLocally)
{
    WriteFile(temp / "database/loose.dbr", "best,1,\n");
    FileReorganiser reorganiser(workspace, false, true);
    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    ASSERT_TRUE(reorganiser.DeleteFiles({"database/loose.dbr"}));
    EXPECT_EQ(workspace.prompt.messages[0].text, "Are you sure you want to delete the file 'loose.dbr'?");
    EXPECT_EQ(workspace.prompt.messages[0].icon, PromptIcon::Question);
    EXPECT_FALSE(PathExists(temp / "database/loose.dbr"));
    EXPECT_EQ(ReadFile(temp / "data/Trash/files/loose.dbr"), "best,1,\n");
    EXPECT_NE(ReadFile(temp / "data/Trash/info/loose.dbr.trashinfo").find("Path=" + temp.Path() + "database/loose.dbr"),
              std::string::npos);
    // The file manager's restore puts it back from its entry.
    ASSERT_TRUE(RestoreFromTrash(temp / "data/Trash/info/loose.dbr.trashinfo"));
    EXPECT_EQ(ReadFile(temp / "database/loose.dbr"), "best,1,\n");

    // Deleting a folder together with its referrers asks plainly; it goes to the trash whole.
    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    ASSERT_TRUE(reorganiser.DeleteFolder("database/loot/"));
    EXPECT_TRUE(IsFile(temp / "data/Trash/files/loot/a.dbr"));

    // In network mode a delete is the source-control delete.
    FileReorganiser network(workspace, true, true);
    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    ASSERT_TRUE(network.DeleteFiles({"database/Templates/loot.tpl"}));
    EXPECT_FALSE(PathExists(temp / "database/Templates/loot.tpl"));
    EXPECT_FALSE(PathExists(temp / "data/Trash/files/loot.tpl"));
}

// Every file below a folder with its bytes, to see that nothing changed.
std::string TreeSnapshot(const std::string& folder)
{
    std::string snapshot;
    std::vector<FolderEntry> entries;
    ListFolder(folder, entries);
    for (const FolderEntry& entry : entries)
        snapshot += entry.isFolder ? TreeSnapshot(folder + entry.name + "/")
                                   : folder + entry.name + "\n" + ReadFile(folder + entry.name) + "\n";
    return snapshot;
}

TEST_F(FileReorganiserTest, CommandLineMoveOfAFolderRewritesReferrersAndNotesEachEarlierPath)
{
    WriteFile(temp / "Tools.ini", "[Login]\nlocaldir=" + temp.Path() + "\n");
    std::ostringstream out;
    std::ostringstream errors;
    AppEnvironment environment{temp.Path(), temp / "docs/", &out, &workspace.prompt, {}};
    auto run = [&](std::vector<std::string> arguments) {
        out.str("");
        errors.str("");
        arguments.insert(arguments.begin(), {"-ini", temp / "Tools.ini"});
        return RunCommandLineTool(arguments, environment, errors);
    };

    // A dry run prints what would change and changes nothing on disk.
    std::string before = TreeSnapshot(temp / "database/");
    ASSERT_EQ(run({"move-record", "--dry-run", "database/records/old", "database/weapons"}), 0) << errors.str();
    // The start-up line comes first.
    EXPECT_EQ(out.str().substr(out.str().find("Would")), "Would move database/records/old/ to database/weapons/\n"
                         "Would update references in database/loot/a.dbr\n"
                         "Would update references in database/loot/b.dbr\n"
                         "Would update references in database/Templates/loot.tpl\n");
    EXPECT_EQ(TreeSnapshot(temp / "database/"), before);

    ASSERT_EQ(run({"move-record", "database/records/old/", "database/weapons"}), 0) << errors.str();
    EXPECT_NE(out.str().find("Moved database/records/old/ to database/weapons/\n"), std::string::npos);
    EXPECT_NE(out.str().find("Updated references in database/loot/b.dbr\n"), std::string::npos);
    EXPECT_EQ(ReadFile(temp / "database/loot/b.dbr"),
              "templateName,Database\\Templates\\loot.tpl,\r\nbest,records\\x.dbr;weapons\\sword.dbr,\r\n");
    EXPECT_NE(ReadFile(temp / "database/Templates/loot.tpl").find("defaultValue = \"weapons\\sword.dbr\""),
              std::string::npos);
    EXPECT_NE(ReadFile(temp / "database/weapons/sword.dbr").find("fileNameHistoryEntry,records\\old\\sword.dbr,"),
              std::string::npos);

    // A template moved under a new name; the records name it by their template name.
    ASSERT_EQ(run({"move-template", "database/Templates/loot.tpl", "database/Templates/Items/treasure.tpl"}), 0)
        << errors.str();
    EXPECT_EQ(ReadFile(temp / "database/loot/a.dbr").rfind("templateName,Database\\Templates\\Items\\treasure.tpl,", 0),
              0u);

    // Refused moves leave everything as it was.
    before = TreeSnapshot(temp / "database/");
    EXPECT_EQ(run({"move-record", "database/loot/a.dbr", "database/loot/b.dbr"}), 1);
    EXPECT_EQ(errors.str(), "database/loot/b.dbr already exists.\n");
    EXPECT_EQ(run({"move-template", "database/loot/a.dbr", "database/x/"}), 1);
    EXPECT_EQ(errors.str(), "database/loot/a.dbr is not a .tpl file.\n");
    EXPECT_EQ(run({"move-record", "database/loot/", "database/loot/inner/"}), 1);
    EXPECT_EQ(run({"move-record", "database/loot/a.dbr", "source/a.dbr"}), 1);
    EXPECT_EQ(run({"move-record", "database/loot/a.dbr"}), 2);
    EXPECT_EQ(TreeSnapshot(temp / "database/"), before);
}

} // namespace
} // namespace mw
