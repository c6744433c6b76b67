// Database sync and record check.
#include "ToolFixture.h"
#include "dbtools/DatabaseSync.h"

namespace mw::test {
namespace {

const std::string kItem = "%TEMPLATE_DIR%Database\\Templates\\item.tpl";

class DatabaseSyncTest : public ToolFixture
{
protected:
    DatabaseSyncTest() { WriteTemplate("item.tpl", Var("value", "variable", "int", "1") + Var("s", "static", "string", "S")); }
};

TEST_F(DatabaseSyncTest, EveryRecordIsSyncedToItsOwnTemplateAndCheckedIn)
{
    WriteRecord("database/a.dbr", "templateName," + kItem + ",\nvalue,4,\nold,x,\n");
    WriteRecord("database/held.dbr", "templateName," + kItem + ",\n");
    WriteRecord("database/missing.dbr", "templateName,%TEMPLATE_DIR%gone.tpl,\nk,1,\n");
    backend->heldBy["database/held.dbr"] = "me";
    EXPECT_EQ(DbSync(workspace), 1);
    EXPECT_EQ(Read("database/a.dbr"), "templateName," + kItem + ",\r\ns,S,\r\nvalue,4,\r\n");
    EXPECT_EQ(Read("database/held.dbr"), "templateName," + kItem + ",\r\ns,S,\r\nvalue,1,\r\n");
    EXPECT_EQ(Read("database/missing.dbr"), "templateName,%TEMPLATE_DIR%gone.tpl,\nk,1,\n");
    // Unlike Templatron, a record this user held is checked in at the end.
    EXPECT_EQ(backend->calls, (std::vector<std::string>{"out database/a.dbr", "in database/a.dbr", "in database/held.dbr",
                                                        "out database/missing.dbr", "in database/missing.dbr"}));
    EXPECT_EQ(workspace.Texts().front(), "Syncing database...");
    EXPECT_EQ(Tail(3), (std::vector<std::string>{"", "1 errors(s)", "Database Sync time 0:00"}));
}

TEST_F(DatabaseSyncTest, ARecordAlreadyCheckedOutIsNotCheckedInBySync)
{
    WriteRecord("database/a.dbr", "templateName," + kItem + ",\n");
    backend->checkOutResults["database/a.dbr"] = 2;
    EXPECT_EQ(DbSync(workspace), 0);
    EXPECT_EQ(backend->calls, (std::vector<std::string>{"out database/a.dbr"}));
}

TEST_F(DatabaseSyncTest, RecordCheckReportsWithoutChangingAnything)
{
    WriteRecord("database/good.dbr", "templateName," + kItem + ",\nstray,1,\n");
    EXPECT_EQ(DbCheckRecords(workspace), 0);
    EXPECT_EQ(workspace.Texts(), (std::vector<std::string>{"Checking Records...", "", "0 errors(s)",
                                                           "Database Record Check time 0:00"}));
    WriteRecord("database/none.dbr", "x,1,\n");
    WriteRecord("database/missing.dbr", "templateName,%TEMPLATE_DIR%gone.tpl,\n");
    WriteRecord("database/IGNORED.DBR", "x,1,\n");
    workspace.log.clear();
    // Both the record without a template and the one whose template is gone count.
    EXPECT_EQ(DbCheckRecords(workspace), 2);
    EXPECT_TRUE(Logged("File \"database/none.dbr\" has no valid template."));
    EXPECT_TRUE(Logged("File \"database/missing.dbr\": cannot open template \"" + temp.Path() + "gone.tpl\"."));
    EXPECT_EQ(Read("database/good.dbr"), "templateName," + kItem + ",\nstray,1,\n");
    EXPECT_TRUE(backend->calls.empty());
}

TEST_F(DatabaseSyncTest, ValuesThatDoNotReadAsTheirTypeAreWarnedAboutNotCounted)
{
    WriteTemplate("kinds.tpl", Var("count", "variable", "int", "0") + Var("on", "variable", "bool", "0") +
                                   Var("rate", "array", "real", "") + Var("icon", "variable", "file_tex", "") +
                                   Var("next", "variable", "file_dbr", "") + Var("label", "variable", "string", ""));
    const std::string kinds = "%TEMPLATE_DIR%Database\\Templates\\kinds.tpl";
    WriteRecord("database/fine.dbr", "templateName," + kinds +
                                         ",\ncount,-3.5,\non,1,\nrate,1;.5;2e3,\nicon,textures\\rose.tex,\n"
                                         "next,fine.dbr,\nlabel,abc,\n");
    WriteFile(temp / "assets/textures/rose.tex", "asset");
    EXPECT_EQ(DbCheckRecords(workspace), 0);
    EXPECT_EQ(workspace.Texts().size(), 4u);

    std::string odd = "templateName," + kinds +
                      ",\ncount,12abc,\non,true,\nrate,1;abc,\nicon,textures\\gone.tex,\nlabel,12abc,\n";
    WriteRecord("database/odd.dbr", odd);
    workspace.log.clear();
    EXPECT_EQ(DbCheckRecords(workspace), 0);
    EXPECT_TRUE(Logged("WARNING File \"database/odd.dbr\": variable \"count\" value \"12abc\" does not read as int"));
    EXPECT_TRUE(Logged("WARNING File \"database/odd.dbr\": variable \"on\" value \"true\" does not read as bool (0 or 1)"));
    EXPECT_TRUE(Logged("WARNING File \"database/odd.dbr\": variable \"rate\" value \"1;abc\" does not read as real"));
    EXPECT_TRUE(Logged("WARNING File \"database/odd.dbr\": variable \"icon\" value \"textures\\gone.tex\" names a "
                       "file that does not exist"));
    EXPECT_EQ(workspace.Texts().size(), 8u); // four warnings; the string is not one
    EXPECT_EQ(Read("database/odd.dbr"), odd);
}

TEST_F(DatabaseSyncTest, AFolderThatCannotBeMadeStopsTheOperation)
{
    DeleteFolderTree(temp / "database");
    WriteFile(temp / "database", "a file where the folder should be");
    EXPECT_EQ(DbSync(workspace), 0);
    EXPECT_EQ(workspace.Texts(), (std::vector<std::string>{"Syncing database...",
                                                           "Error creating directory: " + temp / "database/"}));
    EXPECT_TRUE(workspace.log.back().error);
}

} // namespace
} // namespace mw::test
