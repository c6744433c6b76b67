// Finding and updating references.
#include "ToolFixture.h"
#include "dbtools/References.h"

namespace mw::test {
namespace {

const std::string kLoot = "%TEMPLATE_DIR%Database\\Templates\\loot.tpl";

class ReferencesTest : public ToolFixture
{
protected:
    ReferencesTest()
    {
        WriteTemplate("loot.tpl", Var("best", "variable", "file_dbr") + Var("items", "array", "file_dbr") +
                                      Var("note", "variable", "string"));
        WriteTemplate("item.tpl", Var("value", "variable", "int", "1"));
        // The sword was moved here from records\old\sword.dbr.
        WriteRecord("database/records/sword.dbr", "templateName,%TEMPLATE_DIR%Database\\Templates\\item.tpl,\n"
                                                  "value,3,\nfileNameHistoryEntry,Database\\records\\old\\sword.dbr,\n");
        WriteRecord("database/loot/a.dbr", "templateName," + kLoot + ",\nbest,records\\old\\sword.dbr,\n"
                                           "items,records\\x.dbr;records\\old\\sword.dbr;,\nnote,,\n");
        WriteRecord("database/loot/b.dbr", "templateName," + kLoot + ",\nbest,Records\\Old\\Sword.dbr,\n"
                                           "items,records\\old\\sword.dbr,\nnote,,\n");
        WriteRecord("database/loot/plain.dbr", "templateName," + kLoot + ",\nbest,records\\x.dbr,\nitems,,\nnote,,\n");
    }
};

TEST_F(ReferencesTest, FindListsExactWholeValuesOnly)
{
    EXPECT_EQ(FindReferences(workspace, "database/records/old/sword.dbr"), 0);
    std::vector<std::string> found;
    for (const std::string& text : workspace.Texts())
        if (text.rfind("Found", 0) == 0)
            found.push_back(text);
    EXPECT_EQ(workspace.Texts().front(), "Finding all references to file: \"records\\old\\sword.dbr\"");
    // Not inside a.dbr's array, not b.dbr's other letter case; b.dbr's
    // one-element array is its whole value.
    EXPECT_EQ(found, (std::vector<std::string>{
                         "Found reference in variable \"best\" of file \"loot\\a.dbr\".",
                         "Found reference in variable \"items\" of file \"loot\\b.dbr\".",
                     }));
    EXPECT_EQ(Tail(3), (std::vector<std::string>{"", "0 errors(s)", "Reference check processing time 0:00"}));

    workspace.log.clear();
    FindReferences(workspace, "Database\\Templates\\loot.tpl");
    EXPECT_EQ(workspace.Texts().front(), "Finding all references to file: \"Templates\\loot.tpl\"");
    EXPECT_FALSE(Logged("Found reference in template of file \"loot\\a.dbr\"."));
    // Template names without the directory token are found.
    WriteRecord("database/loot/c.dbr", "templateName,Database\\Templates\\loot.tpl,\n");
    workspace.log.clear();
    FindReferences(workspace, "Database\\Templates\\loot.tpl");
    EXPECT_TRUE(Logged("Found reference in template of file \"loot\\c.dbr\"."));
}

TEST_F(ReferencesTest, UpdateRewritesScalarsAndArraysAndClearsTheHistory)
{
    EXPECT_EQ(UpdateReferences(workspace, "database/records/sword.dbr"), 0);
    EXPECT_EQ(Read("database/loot/a.dbr"), "templateName," + kLoot + ",\r\nbest,records\\sword.dbr,\r\n"
                                           "items,records\\x.dbr;records\\sword.dbr,\r\nnote,,\r\n");
    EXPECT_EQ(Read("database/loot/b.dbr"), "templateName," + kLoot + ",\r\nbest,Records\\Old\\Sword.dbr,\r\n"
                                           "items,records\\sword.dbr,\r\nnote,,\r\n");
    // Brought into line in memory but without a match: neither saved nor checked out.
    EXPECT_EQ(Read("database/loot/plain.dbr"), "templateName," + kLoot + ",\nbest,records\\x.dbr,\nitems,,\nnote,,\n");
    EXPECT_EQ(Read("database/records/sword.dbr"),
              "templateName,%TEMPLATE_DIR%Database\\Templates\\item.tpl,\r\nvalue,3,\r\n");
    EXPECT_TRUE(Logged("Found reference to \"sword.dbr\" in variable \"best\" of file \"loot\\a.dbr\"."));
    EXPECT_TRUE(Logged("Found reference to \"sword.dbr\" in array \"items\" of file \"loot\\a.dbr\"."));
    EXPECT_EQ(workspace.Texts()[0], "Updating all references to file(s):");
    EXPECT_EQ(workspace.Texts()[1], "records\\sword.dbr");
    EXPECT_EQ(backend->calls,
              (std::vector<std::string>{"out database/loot/a.dbr", "in database/loot/a.dbr", "out database/loot/b.dbr",
                                        "in database/loot/b.dbr",
                                        "out database/records/sword.dbr", "in database/records/sword.dbr"}));

    // A second run finds nothing to do.
    workspace.log.clear();
    backend->calls.clear();
    EXPECT_EQ(UpdateReferences(workspace, "database/records/sword.dbr"), 0);
    for (const std::string& text : workspace.Texts())
        EXPECT_EQ(text.find("Found reference"), std::string::npos) << text;
    EXPECT_TRUE(backend->calls.empty());
}

TEST_F(ReferencesTest, RecordsHeldByOthersAndUndeclaredValuesAreNotUpdated)
{
    backend->heldBy["database/loot/a.dbr"] = "someone";
    WriteRecord("database/loot/tfn.dbr", "templateName," + kLoot + ",\nbest,records\\old\\sword.dbr,\n"
                                         "templateFileName,x,\n");
    EXPECT_EQ(UpdateReferences(workspace, "database/records/sword.dbr"), 1);
    EXPECT_TRUE(Logged("File database/loot/a.dbr checked out by another user."));
    EXPECT_EQ(Read("database/loot/a.dbr").find("records\\sword.dbr"), std::string::npos);
    EXPECT_EQ(Read("database/loot/tfn.dbr"), "templateName," + kLoot + ",\nbest,records\\old\\sword.dbr,\n"
                                             "templateFileName,x,\n");
    EXPECT_EQ(Tail(2)[0], "1 errors(s)");
}

TEST_F(ReferencesTest, RecordsAndTemplatesTogetherChangeNothing)
{
    EXPECT_EQ(UpdateReferences(workspace, "database/records/sword.dbr\ndatabase/Templates/loot.tpl\n"), 0);
    EXPECT_TRUE(Logged("Unable to update records and templates at the same time.  Please select files of one type "
                       "only."));
    EXPECT_EQ(Tail(3), (std::vector<std::string>{"", "0 errors(s)", "Reference update processing time 0:00"}));
    EXPECT_NE(Read("database/records/sword.dbr").find("fileNameHistoryEntry"), std::string::npos);
    EXPECT_TRUE(backend->calls.empty());
}

TEST_F(ReferencesTest, TemplateRenamesRewriteRecordTemplateNamesAndIncludes)
{
    // loot.tpl used to be Templates\oldloot.tpl.
    WriteTemplate("loot.tpl", Var("best", "variable", "file_dbr") + Var("items", "array", "file_dbr") +
                                  Var("note", "variable", "string"));
    std::string lootText = Read("database/Templates/loot.tpl");
    WriteFile(temp / "database/Templates/loot.tpl",
              lootText + "fileNameHistoryEntry\n{\n\t\"Database\\Templates\\oldloot.tpl\"\n}\n");
    WriteRecord("database/loot/old.dbr", "templateName,Database\\Templates\\oldloot.tpl,\nnote,n,\n");
    WriteTemplate("boss.tpl", Var("Include File", "variable", "include", "Database\\Templates\\oldloot.tpl") +
                                  Var("Include File", "variable", "include", "Database\\Templates\\oldloot.tpl"));
    EXPECT_EQ(UpdateReferences(workspace, "database/Templates/loot.tpl"), 0);
    EXPECT_EQ(Read("database/loot/old.dbr"), "templateName,database\\Templates\\loot.tpl,\r\nnote,n,\r\n");
    EXPECT_TRUE(Logged("Found reference to \"loot.tpl\" in variable \"templateFileName\" of file \"loot\\old.dbr\"."));
    std::string boss = Read("database/Templates/boss.tpl");
    EXPECT_EQ(boss.find("oldloot"), std::string::npos);
    size_t first = boss.find("defaultValue = \"database\\Templates\\loot.tpl\"");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(boss.find("defaultValue = \"database\\Templates\\loot.tpl\"", first + 1), std::string::npos);
    EXPECT_EQ(Read("database/Templates/loot.tpl").find("fileNameHistoryEntry"), std::string::npos);
}

} // namespace
} // namespace mw::test

namespace mw::test {
namespace {

TEST_F(ReferencesTest, AFailedCheckInIsLoggedWithTheFileName)
{
    backend->failCheckIns = true;
    EXPECT_EQ(UpdateReferences(workspace, "database/records/sword.dbr"), 0);
    EXPECT_TRUE(Logged("Checkin Error for file: loot\\a.dbr"));
    EXPECT_TRUE(Logged("Checkin Error for file: loot\\b.dbr"));
    // The rewritten file was saved all the same.
    EXPECT_NE(Read("database/loot/a.dbr").find("best,records\\sword.dbr,"), std::string::npos);
}

} // namespace
} // namespace mw::test
