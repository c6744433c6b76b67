// modwright-cli on a temporary copy of the sample workspace.
#include "Run.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw::test {
namespace {

using CliTest = SampleWorkspaceTest;

// Folder names outside ASCII (a user's name, say) reach the program through
// its command line and its ini file alike; on Windows both are UTF-8.
TEST(CliFolders, AWorkspaceBelowAFolderWithLettersBeyondAsciiCompiles)
{
    TempFolder temp;
    std::string folder = temp / "Zo\xc3\xab \xce\xa9mega/";
    std::string ini = CopyExampleWorkspace(folder);
    RunResult compile = RunProgram(MODWRIGHT_CLI_EXE, {"-ini", ini, "compile-db"}, folder);
    ASSERT_EQ(compile.exitStatus, 0) << compile.out << compile.err;
    EXPECT_NE(compile.out.find("BinaryUpdate: " + folder + "Working/database/records/creatures/goblin.dbr\n"),
              std::string::npos)
        << compile.out;
    EXPECT_TRUE(IsFile(folder + "Build/database/database.arz"));
}

TEST_F(CliTest, CompileListAndDumpTheSampleDatabase)
{
    RunResult compile = Cli({"compile-db"});
    ASSERT_EQ(compile.exitStatus, 0) << compile.out << compile.err;
    EXPECT_EQ(compile.err, "");
    EXPECT_NE(compile.out.find("Compiling database...\n"), std::string::npos);
    EXPECT_NE(compile.out.find("BinaryUpdate: " + temp.Path() + "Working/database/records/creatures/goblin.dbr\n"),
              std::string::npos);
    EXPECT_EQ(compile.out.substr(compile.out.size() - 6), "Done.\n");

    RunResult again = Cli({"compile-db"});
    EXPECT_EQ(again.exitStatus, 0);
    EXPECT_EQ(again.out.find("BinaryUpdate"), std::string::npos);

    RunResult list = RunProgram(MODWRIGHT_CLI_EXE, {"archive-list", Archive()}, temp.Path());
    ASSERT_EQ(list.exitStatus, 0) << list.err;
    EXPECT_NE(list.out.find("records\\creatures\\goblin.dbr\tMonster\t"), std::string::npos);
    EXPECT_NE(list.out.find("records\\loot\\bossloot.dbr\tLootTable\t"), std::string::npos);

    RunResult dump = RunProgram(MODWRIGHT_CLI_EXE, {"archive-dump", Archive(), "Records/Items/Sword.dbr"}, temp.Path());
    ASSERT_EQ(dump.exitStatus, 0) << dump.err;
    EXPECT_EQ(dump.out, "templateName,%TEMPLATE_DIR%Database\\Templates\\item.tpl,\n"
                        "ActorName,Sword,\nClass,Item,\nFileDescription,A plain sword,\ndescription,text/sword.txt,\n"
                        "displayName,Iron Sword,\nhidden,0,\nicon,items/sword.tex,\nrarity,common,\nscale,1,\n"
                        "value,40,\nweight,3.5,\n");

    RunResult stats = Cli({"archive-stats"});
    ASSERT_EQ(stats.exitStatus, 0);
    EXPECT_NE(stats.out.find("Number of Records in archive: 8\n"), std::string::npos);
}

TEST_F(CliTest, ForcedCompileRebuildsEverythingAndErrorsGiveAFailingStatus)
{
    ASSERT_EQ(Cli({"compile-db"}).exitStatus, 0);
    RunResult forced = Cli({"compile-db", "--force"});
    EXPECT_EQ(forced.exitStatus, 0);
    size_t updates = 0;
    for (size_t at = forced.out.find("BinaryUpdate"); at != std::string::npos; at = forced.out.find("BinaryUpdate", at + 1))
        ++updates;
    EXPECT_EQ(updates, 8u);

    WriteFile(temp / "Working/database/records/broken.dbr", "a,1,\n");
    RunResult broken = Cli({"compile-db", "./database/records"});
    EXPECT_EQ(broken.exitStatus, 1);
    // Standard error alone tells which record failed.
    EXPECT_EQ(broken.err, temp / "Build/database/records/broken.dbr: Error building record (Record has no template)\n");
}

TEST_F(CliTest, UsageErrorsAndMissingRecords)
{
    RunResult help = RunProgram(MODWRIGHT_CLI_EXE, {"--help"}, temp.Path());
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("compile-db [--force] [FOLDER]"), std::string::npos);
    EXPECT_EQ(RunProgram(MODWRIGHT_CLI_EXE, {"frobnicate"}, temp.Path()).exitStatus, 2);
    EXPECT_EQ(RunProgram(MODWRIGHT_CLI_EXE, {"archive-dump", Archive()}, temp.Path()).exitStatus, 2);
    RunResult unknownMod = Cli({"-mod", "Nope", "compile-db"});
    EXPECT_EQ(unknownMod.exitStatus, 2);
    EXPECT_NE(unknownMod.err.find("Unknown mod: Nope"), std::string::npos);

    ASSERT_EQ(Cli({"compile-db"}).exitStatus, 0);
    RunResult missing = RunProgram(MODWRIGHT_CLI_EXE, {"archive-dump", Archive(), "records\\none.dbr"}, temp.Path());
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.err, "No record records\\none.dbr in " + Archive() + "\n");
    RunResult noFile = RunProgram(MODWRIGHT_CLI_EXE, {"archive-list", temp / "none.arz"}, temp.Path());
    EXPECT_EQ(noFile.exitStatus, 1);
    RunResult noStats = Cli({"archive-stats", temp / "none.arz"});
    EXPECT_EQ(noStats.exitStatus, 1);
    EXPECT_EQ(noStats.err, "Couldn't open " + temp / "none.arz" + "\n");
}

TEST_F(CliTest, AMissingFolderOrAnUnwritableArchiveFailsTheCompile)
{
    RunResult missing = Cli({"compile-db", "./database/nothere"});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.err.find("No database folder"), std::string::npos) << missing.err;
    EXPECT_FALSE(PathExists(temp / "Build/database/nothere"));

    ASSERT_EQ(Cli({"compile-db"}).exitStatus, 0);
    ASSERT_TRUE(SetReadOnly(Archive(), true));
    RunResult forced = Cli({"compile-db", "--force"});
    EXPECT_EQ(forced.exitStatus, 1);
    EXPECT_NE(forced.err.find("for writing"), std::string::npos) << forced.err;
    EXPECT_EQ(forced.out.find("BinaryUpdate"), std::string::npos);
    EXPECT_EQ(Cli({"build"}).exitStatus, 1);
}

} // namespace
} // namespace mw::test
