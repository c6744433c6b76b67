// Finding and rewriting what refers to moved, renamed and deleted files.
#include "ToolFixture.h"
#include "dbtools/MovedReferences.h"
#include "dbtools/ReferenceIndex.h"
#include "platform/FileSystem.h"

namespace mw::test {
namespace {

const std::string kLoot = "%TEMPLATE_DIR%Database\\Templates\\loot.tpl";

class MovedReferencesTest : public ToolFixture
{
protected:
    MovedReferencesTest()
    {
        WriteTemplate("loot.tpl", Var("best", "variable", "file_dbr", "Records/Old/Sword.dbr") +
                                      Var("items", "array", "file_dbr"));
        WriteRecord("database/records/new/sword.dbr", "templateName,Database\\Templates\\item.tpl,\n");
        WriteRecord("database/loot/a.dbr", "templateName," + kLoot + ",\nbest,records\\old\\sword.dbr,\n"
                                           "items,records\\x.dbr;;RECORDS/OLD/SWORD.DBR;records\\y.dbr,\n");
        WriteRecord("database/loot/b.dbr", "templateName," + kLoot + ",\nbest,database\\records\\old\\sword.dbr,\n");
        WriteRecord("database/loot/plain.dbr", "templateName," + kLoot + ",\nbest,records\\old\\sword.dbrx,\n");
    }

    static std::vector<std::string> Paths(const std::vector<ReferringFile>& files)
    {
        std::vector<std::string> paths;
        for (const ReferringFile& file : files)
            paths.push_back(file.path);
        return paths;
    }

    const std::vector<PathChange> kSwordMoved{{"database/records/old/sword.dbr", "database/records/new/sword.dbr"}};
};

TEST_F(MovedReferencesTest, RenamedRecordIsFoundInAnyCaseAndSeparatorInValuesArraysAndDefaults)
{
    std::vector<ReferringFile> found = FindReferringFiles(workspace, kSwordMoved);
    EXPECT_EQ(Paths(found), (std::vector<std::string>{"database/loot/a.dbr", "database/loot/b.dbr",
                                                      "database/Templates/loot.tpl"}));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].references, 2);

    ReferenceRewriteResult result = RewriteReferences(workspace, kSwordMoved, Paths(found), false);
    EXPECT_EQ(result.rewritten, Paths(found));
    EXPECT_TRUE(result.failed.empty());
    // Other elements, empty ones and a leading "database\" are kept.
    EXPECT_EQ(Read("database/loot/a.dbr"), "templateName," + kLoot + ",\r\nbest,records\\new\\sword.dbr,\r\n"
                                           "items,records\\x.dbr;;records\\new\\sword.dbr;records\\y.dbr,\r\n");
    EXPECT_EQ(Read("database/loot/b.dbr"),
              "templateName," + kLoot + ",\r\nbest,database\\records\\new\\sword.dbr,\r\n");
    EXPECT_NE(Read("database/Templates/loot.tpl").find("defaultValue = \"records\\new\\sword.dbr\""),
              std::string::npos);
    EXPECT_EQ(Read("database/loot/plain.dbr"), "templateName," + kLoot + ",\nbest,records\\old\\sword.dbrx,\n");
    EXPECT_TRUE(FindReferringFiles(workspace, kSwordMoved).empty());
}

TEST_F(MovedReferencesTest, MovedTemplateRewritesTemplateNamesAndIncludes)
{
    WriteTemplate("derived.tpl", Var("base", "static", "include", "%TEMPLATE_DIR%database\\templates\\LOOT.tpl"));
    std::vector<PathChange> changes{{"database/Templates/loot.tpl", "database/Templates/Items/loot2.tpl"}};
    std::vector<ReferringFile> found = FindReferringFiles(workspace, changes);
    EXPECT_EQ(Paths(found), (std::vector<std::string>{"database/loot/a.dbr", "database/loot/b.dbr",
                                                      "database/loot/plain.dbr", "database/Templates/derived.tpl"}));
    RewriteReferences(workspace, changes, Paths(found), false);
    EXPECT_EQ(Read("database/loot/plain.dbr").rfind("templateName,%TEMPLATE_DIR%Database\\Templates\\Items\\loot2.tpl,\r\n", 0),
              0u);
    EXPECT_NE(Read("database/Templates/derived.tpl")
                  .find("defaultValue = \"%TEMPLATE_DIR%database\\Templates\\Items\\loot2.tpl\""),
              std::string::npos);
}

TEST_F(MovedReferencesTest, MovedFolderCarriesEveryPathBelowIt)
{
    std::vector<PathChange> changes{{"database/records/old/", "database/weapons/", true}};
    std::vector<ReferringFile> found = FindReferringFiles(workspace, changes);
    // plain.dbr's "sword.dbrx" lies below the folder too.
    ASSERT_EQ(found.size(), 4u);
    RewriteReferences(workspace, changes, Paths(found), false);
    EXPECT_EQ(Read("database/loot/b.dbr"), "templateName," + kLoot + ",\r\nbest,database\\weapons\\sword.dbr,\r\n");
    // A folder whose name merely starts the same is not below it.
    EXPECT_TRUE(FindReferringFiles(workspace, {{"database/records/ol", "database/z", true}}).empty());
}

TEST_F(MovedReferencesTest, FileHeldByAnotherUserIsReportedAndLeftAlone)
{
    backend->heldBy["database/loot/a.dbr"] = "someone";
    std::vector<std::string> files{"database/loot/a.dbr", "database/loot/b.dbr"};
    ReferenceRewriteResult result = RewriteReferences(workspace, kSwordMoved, files, false);
    EXPECT_EQ(result.heldByOthers, (std::vector<std::string>{"database/loot/a.dbr"}));
    EXPECT_EQ(result.rewritten, (std::vector<std::string>{"database/loot/b.dbr"}));
    EXPECT_NE(Read("database/loot/a.dbr").find("best,records\\old\\sword.dbr"), std::string::npos);
    EXPECT_EQ(backend->calls, (std::vector<std::string>{"out database/loot/b.dbr", "in database/loot/b.dbr"}));

    backend->failCheckIns = true;
    WriteRecord("database/loot/b.dbr", "templateName," + kLoot + ",\nbest,records\\old\\sword.dbr,\n");
    result = RewriteReferences(workspace, kSwordMoved, {"database/loot/b.dbr"}, false);
    EXPECT_EQ(result.failed, (std::vector<std::string>{"database/loot/b.dbr"}));
    EXPECT_TRUE(Logged("Checkin Error for file: database/loot/b.dbr"));
}

TEST_F(MovedReferencesTest, DryRunAndDeletionsChangeNothing)
{
    std::string before = Read("database/loot/a.dbr");
    ReferenceRewriteResult dry = RewriteReferences(workspace, kSwordMoved, {"database/loot/a.dbr"}, true);
    EXPECT_EQ(dry.rewritten, (std::vector<std::string>{"database/loot/a.dbr"}));
    EXPECT_EQ(Read("database/loot/a.dbr"), before);
    EXPECT_TRUE(backend->calls.empty());

    std::vector<PathChange> deleted{{"database/records/old/sword.dbr", ""}};
    EXPECT_EQ(FindReferringFiles(workspace, deleted).size(), 3u);
    EXPECT_TRUE(RewriteReferences(workspace, deleted, {"database/loot/a.dbr"}, false).rewritten.empty());
    EXPECT_EQ(Read("database/loot/a.dbr"), before);
}

TEST_F(MovedReferencesTest, WithACustomMapSelectedItsOwnDatabaseIsSearched)
{
    WriteRecord("CustomMaps/Frost/database/records/ice.dbr", "templateName,Database\\Templates\\loot.tpl,\n");
    WriteRecord("CustomMaps/Frost/database/loot/cold.dbr", "templateName,t.tpl,\nbest,Records\\Ice.dbr,\n");
    WriteRecord("database/loot/game.dbr", "best,records\\ice.dbr,\n");
    workspace.modName = "Frost";
    std::vector<PathChange> changes{{"CustomMaps/Frost/database/records/ice.dbr", "CustomMaps/Frost/database/ice.dbr"}};
    std::vector<std::string> expected{"CustomMaps/Frost/database/loot/cold.dbr"};
    EXPECT_EQ(Paths(FindReferringFiles(workspace, changes)), expected);
    ReferenceIndex index;
    EXPECT_EQ(Paths(index.FindReferringFiles(workspace, changes)), expected);
    RewriteReferences(workspace, changes, expected, false);
    EXPECT_EQ(Read("CustomMaps/Frost/database/loot/cold.dbr"), "templateName,t.tpl,\r\nbest,ice.dbr,\r\n");

    // Selecting the game again searches the working folder's database anew.
    workspace.modName.clear();
    EXPECT_EQ(Paths(index.FindReferringFiles(workspace, {{"database/records/ice.dbr", ""}})),
              std::vector<std::string>{"database/loot/game.dbr"});
}

TEST_F(MovedReferencesTest, IndexFindsWhatThePlainSearchFinds)
{
    WriteTemplate("derived.tpl", Var("base", "static", "include", "%TEMPLATE_DIR%database\\templates\\LOOT.tpl"));
    const std::vector<std::vector<PathChange>> cases{
        kSwordMoved,
        {{"database/Templates/loot.tpl", "database/Templates/Items/loot2.tpl"}},
        {{"database/records/old/", "database/weapons/", true}},
        {{"database/records/ol", "database/z", true}},
        {{"database/records/old/sword.dbr", ""}, {"database/records/x.dbr", ""}},
    };
    ReferenceIndex index;
    for (const std::vector<PathChange>& changes : cases)
    {
        std::vector<ReferringFile> plain = FindReferringFiles(workspace, changes);
        std::vector<ReferringFile> indexed = index.FindReferringFiles(workspace, changes);
        ASSERT_EQ(Paths(indexed), Paths(plain)) << changes[0].oldPath;
        for (size_t i = 0; i < plain.size(); ++i)
            EXPECT_EQ(indexed[i].references, plain[i].references) << plain[i].path;
    }
    // Only the first search read the files.
    EXPECT_EQ(index.FilesReadLastSearch(), 0u);
    EXPECT_EQ(index.IndexedFiles(), 6u);
}

TEST_F(MovedReferencesTest, IndexSeesEditsNewFilesAndDeletionsMadeOutsideTheTool)
{
    ReferenceIndex index;
    ASSERT_EQ(index.FindReferringFiles(workspace, kSwordMoved).size(), 3u);
    // Another program edits one record, adds one and deletes one.
    std::string plainPath = temp / "database/loot/plain.dbr";
    FileTime before;
    ASSERT_TRUE(GetLastWriteTime(plainPath, before));
    WriteRecord("database/loot/plain.dbr", "templateName," + kLoot + ",\nbest,Records\\Old\\Sword.dbr,\n");
    ASSERT_TRUE(SetLastWriteTime(plainPath, FileTime{before.value + 10000000}));
    WriteRecord("database/more/c.dbr", "best,records/old/sword.dbr,\n");
    ASSERT_TRUE(RemoveFile(temp / "database/loot/b.dbr"));

    std::vector<ReferringFile> found = index.FindReferringFiles(workspace, kSwordMoved);
    EXPECT_EQ(Paths(found), (std::vector<std::string>{"database/loot/a.dbr", "database/loot/plain.dbr",
                                                      "database/more/c.dbr", "database/Templates/loot.tpl"}));
    EXPECT_EQ(index.FilesReadLastSearch(), 2u);
    EXPECT_EQ(index.IndexedFiles(), 5u);

    // An edit that keeps both size and time is seen once the tool says it made it.
    std::string aPath = temp / "database/loot/a.dbr";
    FileTime aTime;
    ASSERT_TRUE(GetLastWriteTime(aPath, aTime));
    std::string text = Read("database/loot/a.dbr");
    for (const char* from : {"sword", "SWORD"})
        for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1))
            text[at + 4] = from[4] == 'd' ? 'e' : 'E';
    WriteRecord("database/loot/a.dbr", text);
    ASSERT_TRUE(SetLastWriteTime(aPath, aTime));
    EXPECT_EQ(index.FindReferringFiles(workspace, kSwordMoved).size(), 4u);
    index.Forget(workspace, "database/loot/a.dbr");
    EXPECT_EQ(index.FindReferringFiles(workspace, kSwordMoved).size(), 3u);
    EXPECT_EQ(index.FilesReadLastSearch(), 1u);
}

} // namespace
} // namespace mw::test
