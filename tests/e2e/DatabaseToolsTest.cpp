// The database tools of modwright-cli on a temporary copy of the sample workspace.
#include "Run.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw::test {
namespace {

using DatabaseToolsTest = SampleWorkspaceTest;

TEST_F(DatabaseToolsTest, TheSampleDatabaseChecksCleanAndSyncsToItsTemplates)
{
    RunResult check = Cli({"check-records"});
    EXPECT_EQ(check.exitStatus, 0) << check.out << check.err;
    // The sample's records name files it does not have: warnings, no errors.
    EXPECT_EQ(check.out.rfind("Processing ini parameter\nChecking Records...\n", 0), 0u) << check.out;
    EXPECT_NE(check.out.find("\n\n0 errors(s)\nDatabase Record Check time 0:0"), std::string::npos);
    EXPECT_NE(check.out.find("WARNING File \"database/records/loot/goblinloot.dbr\": variable \"bestItem\" value "
                             "\"records\\items\\oldshield.dbr\" names a file that does not exist"),
              std::string::npos);

    // The wolf lacks the monster fields; Templatron on monster.tpl leaves it alone.
    std::string wolf = Read("database/records/creatures/wolf.dbr");
    RunResult templatron = Cli({"templatron", "%TEMPLATE_DIR%Database\\Templates\\monster.tpl"});
    EXPECT_EQ(templatron.exitStatus, 0) << templatron.err;
    EXPECT_NE(templatron.out.find("Synchronizing record \"database/records/creatures/goblin.dbr\" to template"),
              std::string::npos);
    EXPECT_EQ(templatron.out.find("wolf.dbr"), std::string::npos);
    EXPECT_EQ(Read("database/records/creatures/wolf.dbr"), wolf);
    // Rewritten records are in the record format with CR LF line ends.
    std::string goblin = Read("database/records/creatures/goblin.dbr");
    EXPECT_NE(goblin.find("\r\nboss,0,\r\n"), std::string::npos);
    // The equation input is a directive, never a record value.
    EXPECT_EQ(goblin.find("Object Variable"), std::string::npos);

    RunResult sync = Cli({"db-sync"});
    EXPECT_EQ(sync.exitStatus, 0) << sync.err;
    EXPECT_NE(sync.out.find("Database Sync time"), std::string::npos);
}

TEST_F(DatabaseToolsTest, AMovedRecordsReferencesAreFoundAndUpdated)
{
    RunResult find = Cli({"find-refs", "database/records/items/oldshield.dbr"});
    EXPECT_EQ(find.exitStatus, 0);
    EXPECT_NE(find.out.find("Found reference in variable \"bestItem\" of file \"records\\loot\\goblinloot.dbr\".\n"),
              std::string::npos);

    RunResult update = Cli({"update-refs", "database/records/items/shield.dbr"});
    EXPECT_EQ(update.exitStatus, 0) << update.err;
    EXPECT_NE(update.out.find("Found reference to \"shield.dbr\" in array \"items\" of file "
                              "\"records\\loot\\goblinloot.dbr\".\n"),
              std::string::npos);
    std::string loot = Read("database/records/loot/goblinloot.dbr");
    EXPECT_NE(loot.find("bestItem,records\\items\\shield.dbr,\r\n"), std::string::npos);
    EXPECT_NE(loot.find("items,records\\items\\sword.dbr;records\\items\\shield.dbr,\r\n"), std::string::npos);
    EXPECT_EQ(Read("database/records/items/shield.dbr").find("fileNameHistoryEntry"), std::string::npos);

    // Paths may also be given with the working folder in front.
    RunResult again = Cli({"find-refs", temp.Path() + "Working/database/records/items/oldshield.dbr"});
    EXPECT_NE(again.out.find("Finding all references to file: \"records\\items\\oldshield.dbr\""), std::string::npos);
    EXPECT_EQ(again.out.find("Found reference"), std::string::npos);
}

TEST_F(DatabaseToolsTest, ARecordWithoutTemplateFailsTheCheck)
{
    WriteFile(temp / "Working/database/records/stray.dbr", "health,1,\n");
    RunResult check = Cli({"check-records"});
    EXPECT_EQ(check.exitStatus, 1);
    EXPECT_EQ(check.err, "File \"database/records/stray.dbr\" has no valid template.\n");
    EXPECT_NE(check.out.find("1 errors(s)"), std::string::npos);
}

} // namespace
} // namespace mw::test
