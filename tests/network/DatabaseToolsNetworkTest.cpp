// The database tools' check-out rule against the Subversion backend: records
// another user holds are logged and skipped, the others are checked out,
// rewritten, committed and released.
#include "NetworkFixture.h"

#include "dbtools/DatabaseSync.h"
#include "dbtools/Templatron.h"
#include "platform/FileSystem.h"
#include "platform/sourcecontrol/SubversionBackend.h"
#include "support/FakeWorkspace.h"

namespace mw::test {
namespace {

const std::string kItem = "%TEMPLATE_DIR%Database\\Templates\\item.tpl";
const std::string kRecord = "templateName," + kItem + ",\nvalue,4,\nold,x,\n";
const std::string kSynced = "templateName," + kItem + ",\r\ns,S,\r\nvalue,4,\r\n";

class DatabaseToolsNetworkTest : public NetworkFixture
{
protected:
    DatabaseToolsNetworkTest() : workspace(alice.folder, temp / "build/") {}

    void SetUp() override
    {
        NetworkFixture::SetUp();
        if (HasFatalFailure())
            return;
        Publish("database/Templates/item.tpl",
                "Group { name = \"All Groups\" type = \"list\"\n"
                "Variable { name = \"value\" class = \"variable\" type = \"int\" description = \"\" value = \"\" "
                "defaultValue = \"1\" }\n"
                "Variable { name = \"s\" class = \"static\" type = \"string\" description = \"\" value = \"\" "
                "defaultValue = \"S\" }\n}\n");
        Publish("database/records/mine.dbr", kRecord);
        Publish("database/records/held.dbr", kRecord);
        ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);
        ASSERT_EQ(bob.client.CheckOutFile("database/records/held.dbr", true), 0);

        // The tools run on alice's working copy with a client of their own.
        SubversionOptions options = Options(SvnServer::kAlicePassword);
        SourceControlClient& client = workspace.SourceControl();
        client.SetNetworkBackendFactory(
            [options](const std::string&) { return std::make_unique<SubversionBackend>(options); });
        client.SetUserName(SvnServer::kAlice);
        ASSERT_TRUE(client.Connect(server.Url()));
    }

    void ExpectMineSyncedAndHeldSkipped()
    {
        EXPECT_TRUE(workspace.HasLine("File database/records/held.dbr checked out by another user, unable to "
                                      "synchronize."));
        EXPECT_EQ(ReadFile(AliceFile("database/records/held.dbr")), kRecord);
        EXPECT_EQ(ReadFile(AliceFile("database/records/mine.dbr")), kSynced);
        // Committed and released: bob gets the new text and can take the file.
        ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);
        EXPECT_EQ(ReadFile(BobFile("database/records/mine.dbr")), kSynced);
        EXPECT_EQ(bob.client.CheckOutFile("database/records/mine.dbr", true), 0);
        FileStatus status;
        ASSERT_EQ(workspace.SourceControl().GetFileStatus("database/records/held.dbr", status), 0);
        EXPECT_EQ(status.userName, "bob");
    }

    FakeWorkspace workspace;
};

TEST_F(DatabaseToolsNetworkTest, DbSyncSkipsRecordsAnotherUserHolds)
{
    EXPECT_EQ(DbSync(workspace), 0);
    ExpectMineSyncedAndHeldSkipped();
}

TEST_F(DatabaseToolsNetworkTest, TemplatronSkipsRecordsAnotherUserHolds)
{
    EXPECT_EQ(Templatron(workspace, kItem), 0);
    ExpectMineSyncedAndHeldSkipped();
}

} // namespace
} // namespace mw::test
