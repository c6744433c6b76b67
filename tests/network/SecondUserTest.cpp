// Alice works through the tool while bob works through the plain svn client
// on the same repository: locks, commits while alice is behind, a record both
// change (a conflict that is never compiled until resolved), deletes and
// renames followed by a sync and a build.
#include "NetworkFixture.h"

#include "dbarchive/DbArchive.h"
#include "dbtools/DatabaseCompile.h"
#include "platform/FileSystem.h"
#include "platform/sourcecontrol/SubversionBackend.h"
#include "support/FakeWorkspace.h"

#include <algorithm>

namespace mw::test {
namespace {

const std::string kSword = "database/records/items/sword.dbr";
const std::string kShield = "database/records/items/shield.dbr";
const std::string kCrown = "database/records/items/crown.dbr";

class SecondUserTest : public NetworkFixture
{
protected:
    SecondUserTest() : workspace(alice.folder, temp / "build/") {}

    void SetUp() override
    {
        NetworkFixture::SetUp();
        // Alice's tool: the workspace's own client on her working copy.
        SubversionOptions options = Options(SvnServer::kAlicePassword);
        SourceControlClient& client = workspace.SourceControl();
        client.SetNetworkBackendFactory(
            [options](const std::string&) { return std::make_unique<SubversionBackend>(options); });
        client.SetUserName(SvnServer::kAlice);
        client.SetLog(&alice.log);
        ASSERT_TRUE(client.Connect(server.Url()));
        ASSERT_EQ(RunCommand("cp -r " + std::string(MW_EXAMPLES_DIR) + "/Working/database " + alice.folder), 0);
    }

    SourceControlClient& Alice() { return workspace.SourceControl(); }

    // bob's svn command, run in his plain working copy; its exit status.
    int Bob(const std::string& arguments, std::string* output = nullptr)
    {
        std::string all;
        int status = RunCommand("svn " + arguments + " --non-interactive --no-auth-cache --username " +
                                    SvnServer::kBob + " --password " + SvnServer::kBobPassword + " --config-dir \"" +
                                    temp / "svn-config" + "\"",
                                &all);
        if (output)
            *output = all;
        return status;
    }
    std::string BobCopy(const std::string& relative) const { return temp / "bobcli/" + relative; }
    void BobEdits(const std::string& relative, const std::string& from, const std::string& to)
    {
        std::string text = ReadFile(BobCopy(relative));
        ASSERT_NE(text.find(from), std::string::npos);
        MakeWritable(BobCopy(relative));
        WriteFile(BobCopy(relative), text.replace(text.find(from), from.size(), to));
    }

    std::string Youngest()
    {
        std::string revision;
        RunCommand("svnlook youngest \"" + server.RepositoryFolder() + "\"", &revision);
        return revision;
    }

    // The database compile of alice's working copy; its error count.
    int Build() { return CompileDatabase(workspace, "database/", false, true, 0); }
    bool ArchiveHolds(const std::string& recordName)
    {
        DbArchive archive;
        std::string bytes = ReadFile(temp / "build/database/database.arz");
        archive.Load(bytes.data(), bytes.size());
        std::string_view body;
        return archive.GetRecordByName(recordName, body);
    }

    FakeWorkspace workspace;
};

TEST_F(SecondUserTest, AFolderIsAddedInOneCommitWithEveryFileNeedingALock)
{
    std::string before = Youngest();
    int added = Alice().AddFolder("database/", nullptr);
    EXPECT_EQ(added, 13) << alice.log.Errors();
    EXPECT_EQ(std::stoi(Youngest()), std::stoi(before) + 1);
    std::string output;
    ASSERT_EQ(Bob("propget -R svn:needs-lock " + server.Url() + "/database", &output), 0) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 13) << output;
    bool readOnly = false;
    EXPECT_TRUE(GetReadOnly(AliceFile(kSword), readOnly) && readOnly);
    // Again: nothing new, nothing committed.
    EXPECT_EQ(Alice().AddFolder("database/", nullptr), 0);
    EXPECT_EQ(Youngest(), std::to_string(std::stoi(before) + 1) + "\n");

    // A new file whose name the server already has is refused, and nothing
    // stays scheduled for adding.
    ASSERT_EQ(Bob("checkout -q " + server.Url() + " \"" + temp / "bobcli" + "\""), 0);
    WriteFile(BobCopy("database/records/new/bob.dbr"), "x\n");
    ASSERT_EQ(Bob("add -q --parents \"" + BobCopy("database/records/new/bob.dbr") + "\""), 0);
    ASSERT_EQ(Bob("commit -q -m bob \"" + BobCopy("database") + "\""), 0);
    WriteFile(AliceFile("database/records/new/bob.dbr"), "y\n");
    WriteFile(AliceFile("database/records/new/alice.dbr"), "z\n");
    EXPECT_EQ(Alice().AddFolder("database/records/new/", nullptr), -1);
    RunCommand("svn status \"" + alice.folder + "database\"", &output);
    EXPECT_EQ(output.find("A "), std::string::npos) << output;
}

TEST_F(SecondUserTest, LocksCommitsConflictsDeletesAndRenamesOfAnotherUser)
{
    ASSERT_EQ(Alice().AddFolder("database/", nullptr), 13) << alice.log.Errors();
    ASSERT_EQ(Bob("checkout -q " + server.Url() + " \"" + temp / "bobcli" + "\""), 0);

    // Bob's lock: alice can neither take it nor break it, nor move the file.
    std::string output;
    ASSERT_EQ(Bob("lock -q \"" + BobCopy(kShield) + "\""), 0);
    EXPECT_EQ(Alice().CheckOutFile(kShield, true), SubversionBackend::kHeldByOtherUser);
    EXPECT_NE(RunCommand("svn unlock --force --non-interactive --no-auth-cache --username alice --password " +
                             std::string(SvnServer::kAlicePassword) + " --config-dir \"" + temp / "svn-config" +
                             "\" " + server.Url() + "/" + kShield,
                         &output),
              0);
    EXPECT_NE(output.find("only bob can release it"), std::string::npos) << output;
    EXPECT_NE(Alice().RenameFile(kShield, "database/records/moved/shield.dbr"), 0);
    EXPECT_TRUE(IsFile(AliceFile(kShield)));
    EXPECT_FALSE(PathExists(AliceFile("database/records/moved")));
    RunCommand("svn status \"" + alice.folder + "\"", &output);
    EXPECT_EQ(output, "") << output;
    ASSERT_EQ(Bob("unlock -q \"" + BobCopy(kShield) + "\""), 0);

    // Bob commits while alice is behind: her check-out waits for a sync.
    ASSERT_EQ(Bob("lock -q \"" + BobCopy(kCrown) + "\""), 0);
    BobEdits(kCrown, "value,", "value,1");
    ASSERT_EQ(Bob("commit -q -m crown \"" + BobCopy(kCrown) + "\""), 0);
    EXPECT_EQ(Alice().CheckOutFile(kCrown, true), SubversionBackend::kOutOfDate);
    ASSERT_EQ(Alice().SyncPath(nullptr, false, nullptr), 0) << alice.log.Errors();
    EXPECT_EQ(Alice().CheckOutFile(kCrown, true), 0) << alice.log.Errors();
    EXPECT_TRUE(Alice().RevertFile(kCrown));

    // Both change the sword: alice without a check-out, bob commits first.
    MakeWritable(AliceFile(kSword));
    std::string sword = ReadFile(AliceFile(kSword));
    WriteFile(AliceFile(kSword), sword.replace(sword.find("value,40"), 8, "value,41"));
    ASSERT_EQ(Bob("lock -q \"" + BobCopy(kSword) + "\""), 0);
    BobEdits(kSword, "value,40", "value,45");
    ASSERT_EQ(Bob("commit -q -m sword \"" + BobCopy(kSword) + "\""), 0);
    EXPECT_NE(Alice().SyncPath(nullptr, false, nullptr), 0);
    EXPECT_TRUE(alice.log.HasError("Conflict in " + kSword)) << alice.log.Errors();

    // The conflicted record is never compiled, in this build or the next.
    EXPECT_GE(Build(), 1);
    EXPECT_TRUE(workspace.HasLine("Error: " + kSword +
                                  " is in conflict; merge the changes into it and resolve it before it is built"));
    EXPECT_FALSE(ArchiveHolds("records\\items\\sword.dbr"));
    EXPECT_TRUE(ArchiveHolds("records\\items\\shield.dbr"));
    EXPECT_GE(Build(), 1);
    EXPECT_FALSE(ArchiveHolds("records\\items\\sword.dbr"));
    FileStatus status;
    Alice().GetFileStatus(kSword, status);
    EXPECT_TRUE(status.conflicted);
    EXPECT_FALSE(Alice().CheckInFile(kSword));
    EXPECT_TRUE(alice.log.HasError("is in conflict")) << alice.log.Errors();

    // Alice checks it out, merges, resolves and checks in; bob gets her merge.
    ASSERT_EQ(Alice().CheckOutFile(kSword, true), 0) << alice.log.Errors();
    std::string merged = ReadFile(BobCopy(kSword));
    merged.replace(merged.find("value,45"), 8, "value,43");
    WriteFile(AliceFile(kSword), merged);
    EXPECT_TRUE(Alice().ResolveFile(kSword)) << alice.log.Errors();
    EXPECT_EQ(ReadFile(AliceFile(kSword)), merged);
    EXPECT_FALSE(IsFile(AliceFile(kSword + ".mine")));
    std::vector<std::string> conflicted;
    Alice().GetConflictedFiles("", conflicted);
    EXPECT_TRUE(conflicted.empty());
    EXPECT_FALSE(Alice().ResolveFile(kSword));
    ASSERT_TRUE(Alice().CheckInFile(kSword, "Merged the sword")) << alice.log.Errors();
    ASSERT_EQ(Bob("update -q \"" + temp / "bobcli" + "\""), 0);
    EXPECT_EQ(ReadFile(BobCopy(kSword)), merged);
    ASSERT_EQ(Bob("log -l 1 " + server.Url() + "/" + kSword, &output), 0);
    EXPECT_NE(output.find("Merged the sword"), std::string::npos) << output;
    EXPECT_EQ(Build(), 0);
    EXPECT_TRUE(ArchiveHolds("records\\items\\sword.dbr"));

    // Bob deletes one record and renames another; alice syncs and builds.
    ASSERT_EQ(Bob("rm -q \"" + BobCopy("database/records/loot/goblinloot.dbr") + "\""), 0);
    ASSERT_EQ(Bob("mv -q \"" + BobCopy("database/records/creatures/wolf.dbr") + "\" \"" +
                  BobCopy("database/records/creatures/direwolf.dbr") + "\""),
              0);
    ASSERT_EQ(Bob("commit -q -m tidy \"" + temp / "bobcli" + "\""), 0);
    ASSERT_EQ(Alice().SyncPath(nullptr, false, nullptr), 0) << alice.log.Errors();
    EXPECT_FALSE(IsFile(AliceFile("database/records/loot/goblinloot.dbr")));
    EXPECT_FALSE(IsFile(AliceFile("database/records/creatures/wolf.dbr")));
    EXPECT_EQ(Build(), 0);
    EXPECT_TRUE(ArchiveHolds("records\\creatures\\direwolf.dbr"));
}

} // namespace
} // namespace mw::test
