// Templatron against the scripted source-control backend.
#include "ToolFixture.h"
#include "dbtools/CheckOutRule.h"
#include "dbtools/Templatron.h"
#include "platform/sourcecontrol/SourceControlLog.h"

namespace mw::test {
namespace {

const std::string kMonster = "%TEMPLATE_DIR%Database\\Templates\\monster.tpl";

class TemplatronTest : public ToolFixture
{
protected:
    TemplatronTest()
    {
        WriteTemplate("monster.tpl", Var("health", "variable", "int", "10") + Var("Class", "static", "string", "Monster") +
                                         Var("temper", "picklist", "string", "calm;wary;hostile"));
        WriteTemplate("item.tpl", Var("value", "variable", "int", "1"));
    }
};

TEST_F(TemplatronTest, RecordsOfTheTemplateAreRewrittenAndCheckedInWhenThisRunCheckedThemOut)
{
    WriteRecord("database/records/a.dbr", "templateName," + kMonster + ",\nhealth,5,\nClass,Wrong,\nold,1,\n"
                                          "templateFileName,kept,\n");
    WriteRecord("database/records/held.dbr", "templateName," + kMonster + ",\nhealth,7,\n");
    WriteRecord("database/records/other.dbr", "templateName,%TEMPLATE_DIR%Database\\Templates\\item.tpl,\nx,1,\n");
    WriteRecord("database/records/case.dbr", "templateName,%TEMPLATE_DIR%database\\templates\\monster.tpl,\nx,1,\n");
    WriteRecord("database/records/upper.DBR", "templateName," + kMonster + ",\nx,1,\n");
    WriteRecord("database/records/notes.txt", "templateName," + kMonster + ",\n");
    backend->heldBy["database/records/held.dbr"] = "me";

    EXPECT_EQ(Templatron(workspace, kMonster), 0);
    // Undeclared values dropped (templateFileName stays), statics reset,
    // the new picklist variable added with its first item.
    EXPECT_EQ(Read("database/records/a.dbr"), "templateName," + kMonster + ",\r\nClass,Monster,\r\nhealth,5,\r\n"
                                              "temper,calm,\r\ntemplateFileName,kept,\r\n");
    EXPECT_EQ(Read("database/records/held.dbr"), "templateName," + kMonster + ",\r\nClass,Monster,\r\nhealth,7,\r\n"
                                                 "temper,calm,\r\n");
    EXPECT_EQ(Read("database/records/other.dbr"), "templateName,%TEMPLATE_DIR%Database\\Templates\\item.tpl,\nx,1,\n");
    EXPECT_EQ(Read("database/records/case.dbr"), "templateName,%TEMPLATE_DIR%database\\templates\\monster.tpl,\nx,1,\n");
    EXPECT_EQ(Read("database/records/upper.DBR"), "templateName," + kMonster + ",\nx,1,\n");
    // Only a.dbr was checked out, and only it is checked in; the held record stays out.
    EXPECT_EQ(backend->calls, (std::vector<std::string>{"out database/records/a.dbr", "in database/records/a.dbr"}));
    EXPECT_EQ(workspace.Texts().front(), "Updating all records associated with template \"" + kMonster + "\"");
    EXPECT_TRUE(Logged("Synchronizing record \"database/records/a.dbr\" to template \"" + kMonster + "\""));
    EXPECT_EQ(Tail(3)[0], "");
    EXPECT_EQ(Tail(3)[1], "0 errors(s)");
    EXPECT_EQ(Tail(3)[2], "Templatron processing time 0:00");
    EXPECT_EQ(workspace.beginCount, 1);
    EXPECT_EQ(workspace.endCount, 1);
}

TEST_F(TemplatronTest, RecordsHeldElsewhereFailedCheckOutsAndMissingTemplates)
{
    WriteRecord("database/theirs.dbr", "templateName," + kMonster + ",\nhealth,1,\n");
    WriteRecord("database/broken.dbr", "templateName," + kMonster + ",\nhealth,2,\n");
    WriteRecord("database/none.dbr", "health,3,\n");
    backend->heldBy["database/theirs.dbr"] = "someone";
    backend->checkOutResults["database/broken.dbr"] = 5;
    EXPECT_EQ(Templatron(workspace, kMonster), 2);
    EXPECT_TRUE(Logged("File database/theirs.dbr checked out by another user, unable to synchronize."));
    EXPECT_TRUE(Logged("Checkout Error for file: database/broken.dbr (Error 5)."));
    EXPECT_TRUE(Logged("File \"database/none.dbr\" has no template, unable to synchronize"));
    EXPECT_EQ(Read("database/theirs.dbr"), "templateName," + kMonster + ",\nhealth,1,\n");
    EXPECT_EQ(Tail(2)[0], "2 errors(s)");

    // A missing template: checked out, not changed, checked in, counted.
    WriteRecord("database/orphan.dbr", "templateName,%TEMPLATE_DIR%gone.tpl,\nz,1,\n");
    backend->calls.clear();
    workspace.log.clear();
    EXPECT_TRUE(!TemplatronRecord(workspace, "%TEMPLATE_DIR%gone.tpl", temp / "database/orphan.dbr"));
    EXPECT_EQ(backend->calls, (std::vector<std::string>{"out database/orphan.dbr", "in database/orphan.dbr"}));
    EXPECT_EQ(Read("database/orphan.dbr"), "templateName,%TEMPLATE_DIR%gone.tpl,\nz,1,\n");
}

TEST_F(TemplatronTest, ACancelledRunStillLogsItsTime)
{
    WriteRecord("database/a.dbr", "templateName," + kMonster + ",\n");
    workspace.RequestCancel();
    EXPECT_EQ(Templatron(workspace, kMonster), 0);
    EXPECT_EQ(Tail(3), (std::vector<std::string>{"Templatron cancelled by user", "", "Templatron processing time 0:00"}));
    EXPECT_FALSE(workspace.IsCancelled());
    EXPECT_EQ(Read("database/a.dbr"), "templateName," + kMonster + ",\n");
}

class CountingLog : public SourceControlLog
{
public:
    void Log(const std::string&, bool, bool) override { ++lines; }
    int lines = 0;
};

TEST_F(TemplatronTest, TheSourceControlLogIsDetachedDuringEachRecord)
{
    CountingLog frame;
    workspace.frameLog = &frame;
    workspace.SourceControl().SetLog(&frame);
    WriteRecord("database/a.dbr", "templateName," + kMonster + ",\n");
    EXPECT_TRUE(TemplatronRecord(workspace, kMonster, temp / "database/a.dbr"));
    EXPECT_EQ(backend->logsAtCheckOut, std::vector<SourceControlLog*>{nullptr});
    EXPECT_EQ(backend->currentLog, static_cast<SourceControlLog*>(&frame));
    EXPECT_EQ(workspace.SourceControl().GetLog(), static_cast<SourceControlLog*>(&frame));
}

TEST_F(ToolFixture, CheckOutRuleResultCodes)
{
    WriteFile(temp / "a.dbr", "");
    backend->heldBy["theirs.dbr"] = "you";
    backend->heldBy["mine.dbr"] = "me";
    backend->checkOutResults["held.dbr"] = 2;
    backend->checkOutResults["bad.dbr"] = 7;
    EXPECT_EQ(ApplyCheckOutRule(workspace, "theirs.dbr"), CheckOutResult::OtherUser);
    EXPECT_TRUE(Logged("File theirs.dbr checked out by another user."));
    EXPECT_EQ(ApplyCheckOutRule(workspace, "mine.dbr"), CheckOutResult::AlreadyHeld);
    EXPECT_EQ(ApplyCheckOutRule(workspace, "held.dbr"), CheckOutResult::AlreadyHeld);
    EXPECT_EQ(ApplyCheckOutRule(workspace, "a.dbr"), CheckOutResult::CheckedOut);
    EXPECT_EQ(ApplyCheckOutRule(workspace, "bad.dbr"), CheckOutResult::Failed);
    EXPECT_TRUE(Logged("Checkout Error for file: bad.dbr (Error 7)."));
}

} // namespace
} // namespace mw::test

namespace mw::test {
namespace {

TEST_F(TemplatronTest, ValuesOfOneRecordNeverReachTheNext)
{
    // The template is read once per run; each record binds a fresh copy.
    WriteRecord("database/a.dbr", "templateName," + kMonster + ",\nhealth,5,\ntemper,hostile,\n");
    WriteRecord("database/b.dbr", "templateName," + kMonster + ",\n");
    EXPECT_EQ(Templatron(workspace, kMonster), 0);
    EXPECT_EQ(Read("database/a.dbr"), "templateName," + kMonster + ",\r\nClass,Monster,\r\nhealth,5,\r\ntemper,hostile,\r\n");
    EXPECT_EQ(Read("database/b.dbr"), "templateName," + kMonster + ",\r\nClass,Monster,\r\nhealth,10,\r\ntemper,calm,\r\n");

    // An edit of the template between runs is seen by the next run.
    WriteTemplate("monster.tpl", Var("health", "variable", "int", "99"));
    WriteRecord("database/b.dbr", "templateName," + kMonster + ",\n");
    EXPECT_EQ(Templatron(workspace, kMonster), 0);
    EXPECT_EQ(Read("database/b.dbr"), "templateName," + kMonster + ",\r\nhealth,99,\r\n");
}

} // namespace
} // namespace mw::test
