// The file an output line names, for opening it with a double-click.
#include "app/OutputLineFile.h"
#include "support/FakeWorkspace.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

TEST(OutputLineFile, NamesFromReferenceCheckAndSyncLines)
{
    const struct
    {
        const char* line;
        const char* name;
    } cases[] = {
        {"Found reference in variable \"best\" of file \"loot\\a.dbr\".", "loot\\a.dbr"},
        {"Found reference in template of file \"loot\\b.dbr\".", "loot\\b.dbr"},
        {"Found reference to \"sword.dbr\" in array \"items\" of file \"loot\\c.dbr\".", "loot\\c.dbr"},
        {"File \"database/x.dbr\" has no template, unable to synchronize", "database/x.dbr"},
        {"File \"database/y.dbr\" has no valid template.", "database/y.dbr"},
        {"File \"database/z.dbr\": cannot open template \"/w/database/t.tpl\".", "database/z.dbr"},
        {"File database/h.dbr checked out by another user, unable to synchronize.", "database/h.dbr"},
        {"File database/h.dbr checked out by another user.", "database/h.dbr"},
        {"Checkout Error for file: database/e.dbr (Error 3).", "database/e.dbr"},
        {"Checkin Error for file: database/i.dbr", "database/i.dbr"},
        {"Updated references in \"database/u.dbr\".", "database/u.dbr"},
        {"Finding all references to file: \"records\\sword.dbr\"", ""},
        {"0 errors(s)", ""},
        {"File \"\" has no valid template.", ""},
        {"", ""},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(FileNameInOutputLine(entry.line), entry.name) << entry.line;
}

TEST(OutputLineFile, OpensTheFileWhereItExists)
{
    test::TempFolder temp;
    test::FakeWorkspace workspace(temp.Path(), temp / "build/");
    test::WriteFile(temp / "database/loot/a.dbr", "x,1,\n");
    test::WriteFile(temp / "CustomMaps/Frost/database/loot/a.dbr", "x,1,\n");
    test::WriteFile(temp / "database/solo.dbr", "x,1,\n");

    const std::string found = "Found reference in variable \"best\" of file \"loot\\a.dbr\".";
    EXPECT_EQ(FileOfOutputLine(workspace, found), temp / "database/loot/a.dbr");
    EXPECT_EQ(FileOfOutputLine(workspace, "Checkin Error for file: database/solo.dbr"), temp / "database/solo.dbr");
    // A custom map's own database comes before the working folder's.
    workspace.modName = "Frost";
    EXPECT_EQ(FileOfOutputLine(workspace, found), temp / "CustomMaps/Frost/database/loot/a.dbr");
    EXPECT_EQ(FileOfOutputLine(workspace, "Found reference in template of file \"solo.dbr\"."),
              temp / "database/solo.dbr");
    EXPECT_EQ(FileOfOutputLine(workspace, "Found reference in template of file \"gone.dbr\"."), "");
}

} // namespace
} // namespace mw
