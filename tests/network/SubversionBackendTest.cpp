// The Subversion backend against a real svnserve on loopback, two users.
#include "NetworkFixture.h"

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/ManualResetEvent.h"
#include "platform/sourcecontrol/NetworkBackendFactory.h"
#include "platform/sourcecontrol/SubversionBackend.h"
#include "platform/sourcecontrol/SubversionStatusCache.h"

#include <algorithm>
#include <map>

namespace mw::test {
namespace {

using Backend = SubversionBackend;

bool Writeable(const std::string& path)
{
    bool readOnly = true;
    return GetReadOnly(path, readOnly) && !readOnly;
}

class SubversionBackendTest : public NetworkFixture
{
};

TEST_F(SubversionBackendTest, TwoUsersCompeteForOneLock)
{
    Publish("database/a.dbr", "a\n");
    ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);

    EXPECT_EQ(alice.client.CheckOutFile("database\\a.dbr", true), 0);
    EXPECT_EQ(alice.client.CheckOutFile("database/a.dbr", true), 2);
    EXPECT_TRUE(Writeable(AliceFile("database/a.dbr")));

    EXPECT_EQ(bob.client.CheckOutFile("database/a.dbr", true), Backend::kHeldByOtherUser);
    EXPECT_TRUE(bob.log.HasError("database/a.dbr is checked out by alice")) << bob.log.Errors();
    EXPECT_FALSE(Writeable(BobFile("database/a.dbr")));
    FileStatus status;
    ASSERT_EQ(bob.client.GetFileStatus("database/a.dbr", status), 0);
    EXPECT_TRUE(status.outToUser);
    EXPECT_EQ(status.userName, "alice");

    std::string state;
    bob.client.GetUserState(state);
    EXPECT_EQ(state, "alice\n1 file(s) checked out: database/a.dbr\nbob\nNo files checked out\n");
    EXPECT_GE(bob.client.PingServer(), 0);
}

TEST_F(SubversionBackendTest, CheckInCommitsAndReleasesTheLockAlsoWhenNothingChanged)
{
    Publish("database/a.dbr", "a\n");
    ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);
    FileStatus before;
    ASSERT_EQ(alice.client.GetFileStatus("database/a.dbr", before), 0);

    // Unchanged: no new version, but the lock is gone.
    ASSERT_EQ(alice.client.CheckOutFile("database/a.dbr", true), 0);
    ASSERT_TRUE(alice.client.CheckInFile("database/a.dbr")) << alice.log.Errors();
    EXPECT_FALSE(Writeable(AliceFile("database/a.dbr")));
    FileStatus status;
    ASSERT_EQ(bob.client.GetFileStatus("database/a.dbr", status), 0);
    EXPECT_FALSE(status.outToUser);
    EXPECT_EQ(status.serverVersion, before.serverVersion);

    // Changed: a new version with the new content's checksum.
    ASSERT_EQ(alice.client.CheckOutFile("database/a.dbr", true), 0);
    WriteFile(AliceFile("database/a.dbr"), "a changed\n");
    ASSERT_TRUE(alice.client.CheckInFile("database/a.dbr")) << alice.log.Errors();
    EXPECT_FALSE(Writeable(AliceFile("database/a.dbr")));
    FileVersion local = alice.client.GetClientFileVersion("database/a.dbr");
    ASSERT_EQ(alice.client.GetFileStatus("database/a.dbr", status), 0);
    EXPECT_FALSE(status.outToUser);
    EXPECT_GT(status.serverVersion, before.serverVersion);
    EXPECT_EQ(local.version, status.serverVersion);
    EXPECT_EQ(local.checksum, status.serverChecksum);
    EXPECT_NE(status.serverChecksum, before.serverChecksum);
    ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_EQ(bob.client.CheckOutFile("database/a.dbr", true), 0);
}

TEST_F(SubversionBackendTest, RevertRestoresTheFileAndReleasesTheLock)
{
    Publish("source/x.txt", "original\n");
    ASSERT_EQ(alice.client.CheckOutFile("source/x.txt", true), 0);
    WriteFile(AliceFile("source/x.txt"), "scribbled\n");
    ASSERT_TRUE(alice.client.RevertFile("source/x.txt")) << alice.log.Errors();
    EXPECT_EQ(ReadFile(AliceFile("source/x.txt")), "original\n");
    EXPECT_FALSE(Writeable(AliceFile("source/x.txt")));
    ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_EQ(bob.client.CheckOutFile("source/x.txt", true), 0);
}

TEST_F(SubversionBackendTest, AddedFilesAreReadOnlyUntilCheckedOut)
{
    Publish("assets/new/deep/thing.tex", "t\n");
    EXPECT_FALSE(alice.client.IsFileWriteable("assets/new/deep/thing.tex"));
    ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_EQ(ReadFile(BobFile("assets/new/deep/thing.tex")), "t\n");
    EXPECT_FALSE(bob.client.IsFileWriteable("assets/new/deep/thing.tex"));
    ASSERT_EQ(bob.client.CheckOutFile("assets/new/deep/thing.tex", true), 0);
    EXPECT_TRUE(bob.client.IsFileWriteable("assets/new/deep/thing.tex"));

    // The server refuses a commit of a file whose lock its author does not
    // hold, whether another user holds it or nobody does.
    Publish("assets/new/other.tex", "o\n");
    for (const char* path : {"assets/new/deep/thing.tex", "assets/new/other.tex"})
    {
        MakeWritable(AliceFile(path));
        WriteFile(AliceFile(path), "sneaky\n");
        EXPECT_FALSE(alice.client.CheckInFile(path));
    }
    EXPECT_TRUE(alice.log.HasError("currently locked by 'bob'")) << alice.log.Errors();
    EXPECT_TRUE(alice.log.HasError("assets/new/other.tex must be checked out by alice")) << alice.log.Errors();
}

TEST_F(SubversionBackendTest, StatusTellsKnownFromUnknownFiles)
{
    Publish("source/known.txt", "k\n");
    WriteFile(AliceFile("source/unversioned.txt"), "u\n");
    FileStatus status;
    EXPECT_EQ(alice.client.GetFileStatus("source/unversioned.txt", status), 1);
    EXPECT_EQ(alice.client.GetFileStatus("source/nowhere.txt", status), 1);
    EXPECT_EQ(alice.client.GetFileStatus("nofolder/nowhere.txt", status), 1);
    EXPECT_EQ(alice.client.GetClientFileVersion("source/nowhere.txt").version, 0);
    FileVersion unversioned = alice.client.GetClientFileVersion("source/unversioned.txt");
    EXPECT_EQ(unversioned.version, 0);
    EXPECT_EQ(unversioned.checksum, ContentChecksum("u\n"));

    // Letter case of the tool's paths does not matter; the checksum is the
    // first 32 bits of the content's SHA-1, on both sides.
    ASSERT_EQ(alice.client.GetFileStatus("Source/KNOWN.txt", status), 0);
    EXPECT_GT(status.serverVersion, 0);
    EXPECT_EQ(status.serverChecksum, 0x141B3EA3u); // sha1("k\n") = 141b3ea3...
    EXPECT_EQ(alice.client.GetClientFileVersion("source/known.txt").checksum, status.serverChecksum);
    // Bob has not synced: the server knows the file, bob's working copy not yet.
    ASSERT_EQ(bob.client.GetFileStatus("source/known.txt", status), 0);
    EXPECT_EQ(status.serverChecksum, 0x141B3EA3u);
    EXPECT_FALSE(bob.client.IsRelativeFileUpToDate("source/known.txt"));

    // Adding an unknown file makes it known on the server at once; bob's
    // answers for that folder are at most a second old.
    ASSERT_TRUE(alice.client.AddFile("source/unversioned.txt"));
    EXPECT_EQ(alice.client.GetFileStatus("source/unversioned.txt", status), 0);
    SleepMs(1100);
    EXPECT_EQ(bob.client.GetFileStatus("source/unversioned.txt", status), 0);
}

TEST_F(SubversionBackendTest, AnotherUsersCommitMakesTheWorkingCopyOutOfDate)
{
    Publish("database/a.dbr", "one\n");
    ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_TRUE(bob.client.IsRelativeFileUpToDate("database/a.dbr"));

    ASSERT_EQ(alice.client.CheckOutFile("database/a.dbr", true), 0);
    WriteFile(AliceFile("database/a.dbr"), "two\n");
    ASSERT_TRUE(alice.client.CheckInFile("database/a.dbr"));

    SleepMs(1100); // bob's folder listing of a moment ago has run out
    EXPECT_FALSE(bob.client.IsRelativeFileUpToDate("database/a.dbr"));
    FileStatus status;
    ASSERT_EQ(bob.client.GetFileStatus("database/a.dbr", status), 0);
    FileVersion local = bob.client.GetClientFileVersion("database/a.dbr");
    EXPECT_LT(local.version, status.serverVersion);
    EXPECT_EQ(local.checksum, ContentChecksum("one\n"));
    EXPECT_EQ(status.serverChecksum, ContentChecksum("two\n"));
    EXPECT_EQ(bob.client.CheckOutFile("database/a.dbr", true), Backend::kOutOfDate);

    std::string path = "database/a.dbr";
    ASSERT_EQ(bob.client.SyncPath(&path, false, nullptr), 0);
    EXPECT_TRUE(bob.client.IsRelativeFileUpToDate("database/a.dbr"));
    EXPECT_EQ(ReadFile(BobFile("database/a.dbr")), "two\n");
    EXPECT_EQ(bob.client.CheckOutFile("database/a.dbr", true), 0);
}

TEST_F(SubversionBackendTest, FolderRowsCarryTheServersChangesSinceTheLastSync)
{
    Publish("database/a.dbr", "one\n");
    Publish("database/b.dbr", "b\n");
    Publish("database/c.dbr", "c\n");
    ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);
    // After bob's sync: a changed, b held, c deleted, d new, all by alice.
    ASSERT_EQ(alice.client.CheckOutFile("database/a.dbr", true), 0);
    WriteFile(AliceFile("database/a.dbr"), "two\n");
    ASSERT_TRUE(alice.client.CheckInFile("database/a.dbr"));
    ASSERT_EQ(alice.client.CheckOutFile("database/b.dbr", true), 0);
    ASSERT_EQ(alice.client.DeleteFileA("database/c.dbr"), 0);
    Publish("database/d.dbr", "d\n");

    SleepMs(1100); // bob's folder listing of a moment ago has run out
    std::vector<FolderFileState> rows;
    bob.client.GetFolderFileStates("database/", rows);
    std::map<std::string, FolderFileState> byName;
    for (const FolderFileState& row : rows)
        byName[row.name] = row;
    ASSERT_EQ(byName.size(), 3u) << bob.log.Errors();
    ASSERT_TRUE(byName.count("a.dbr") && byName.count("b.dbr") && byName.count("d.dbr"));

    const FolderFileState& changed = byName["a.dbr"];
    EXPECT_EQ(changed.statusResult, 0);
    EXPECT_LT(changed.local.version, changed.status.serverVersion);
    EXPECT_EQ(changed.status.serverChecksum, ContentChecksum("two\n"));
    EXPECT_EQ(changed.local.checksum, ContentChecksum("one\n"));

    const FolderFileState& held = byName["b.dbr"];
    EXPECT_TRUE(held.status.outToUser);
    EXPECT_EQ(held.status.userName, SvnServer::kAlice);
    EXPECT_EQ(held.local.version, held.status.serverVersion);

    const FolderFileState& added = byName["d.dbr"];
    EXPECT_EQ(added.statusResult, 0);
    EXPECT_GT(added.status.serverVersion, 0);
    EXPECT_EQ(added.local.version, 0);
    EXPECT_FALSE(added.status.outToUser);

    // Each row says what the file's own status says.
    for (const auto& [name, row] : byName)
    {
        FileStatus status;
        ASSERT_EQ(bob.client.GetFileStatus("database/" + name, status), row.statusResult) << name;
        EXPECT_EQ(status.serverVersion, row.status.serverVersion) << name;
        EXPECT_EQ(status.userName, row.status.userName) << name;
    }
}

TEST_F(SubversionBackendTest, ForcedSyncOverwritesLocalChangesOfCheckedOutFiles)
{
    Publish("database/a.dbr", "server\n");
    ASSERT_EQ(alice.client.CheckOutFile("database/a.dbr", true), 0);
    WriteFile(AliceFile("database/a.dbr"), "mine\n");
    ASSERT_EQ(alice.client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_EQ(ReadFile(AliceFile("database/a.dbr")), "mine\n");

    ManualResetEvent cancel;
    ASSERT_EQ(alice.client.SyncPath(nullptr, true, &cancel), 0);
    EXPECT_EQ(ReadFile(AliceFile("database/a.dbr")), "server\n");
    // Still checked out: the check-out is the user's, only the text was reset.
    EXPECT_EQ(alice.client.CheckOutFile("database/a.dbr", true), 2);

    // A sync whose cancel event is set stops with an error.
    cancel.Set();
    EXPECT_NE(alice.client.SyncPath(nullptr, false, &cancel), 0);
    cancel.Reset();
    EXPECT_EQ(alice.client.SyncPath(nullptr, false, &cancel), 0);
}

TEST_F(SubversionBackendTest, ASyncThatLeavesConflictsFailsAndAForcedSyncRepairsIt)
{
    Publish("database/a.dbr", "one\n");
    ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);
    // Bob edits without checking out; alice checks in a change of her own.
    MakeWritable(BobFile("database/a.dbr"));
    WriteFile(BobFile("database/a.dbr"), "bob\n");
    ASSERT_EQ(alice.client.CheckOutFile("database/a.dbr", true), 0);
    WriteFile(AliceFile("database/a.dbr"), "alice\n");
    ASSERT_TRUE(alice.client.CheckInFile("database/a.dbr"));

    EXPECT_NE(bob.client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_TRUE(bob.log.HasError("Conflict in database/a.dbr")) << bob.log.Errors();
    EXPECT_EQ(bob.client.SyncPath(nullptr, true, nullptr), 0) << bob.log.Errors();
    EXPECT_EQ(ReadFile(BobFile("database/a.dbr")), "alice\n");
}

TEST_F(SubversionBackendTest, ListsComeFromTheServerAndCanBeLimitedToOneUsersFiles)
{
    Publish("database/m/a.dbr", "a\n");
    Publish("database/m/b.dbr", "b\n");
    Publish("database/m/C.dbr", "c\n");
    Publish("database/m/sub/d.dbr", "d\n");
    ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);
    ASSERT_EQ(alice.client.CheckOutFile("database/m/b.dbr", true), 0);
    ASSERT_EQ(alice.client.CheckOutFile("database/m/sub/d.dbr", true), 0);
    ASSERT_EQ(bob.client.CheckOutFile("database/m/C.dbr", true), 0);

    std::vector<std::string> list;
    bob.client.GetFiles("database/m/", list, 1, false, "");
    EXPECT_EQ(list, (std::vector<std::string>{"a.dbr", "b.dbr", "C.dbr"}));
    bob.client.GetFiles("database/m/", list, 1, true, "alice");
    EXPECT_EQ(list, (std::vector<std::string>{"b.dbr"}));
    bob.client.GetFiles("database/m/", list, 3, true, "alice");
    EXPECT_EQ(list, (std::vector<std::string>{"b.dbr", "sub/d.dbr"}));
    bob.client.GetFiles("database/m/", list, 3, true, "bob");
    EXPECT_EQ(list, (std::vector<std::string>{"C.dbr"}));
    bob.client.GetFilesUnderDirectory("database/", list);
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (std::vector<std::string>{"m/C.dbr", "m/a.dbr", "m/b.dbr", "m/sub/d.dbr"}));
    bob.client.GetFolders("database/m", list);
    EXPECT_EQ(list, (std::vector<std::string>{"sub"}));
}

TEST_F(SubversionBackendTest, FolderChangesActOnTheServerAndTheWorkingCopy)
{
    ASSERT_TRUE(alice.client.CreateAllDirectories("CustomMaps/ModA/source/Quests/"));
    ASSERT_TRUE(alice.client.CreateDirectoryA("CustomMaps/ModB/"));
    EXPECT_FALSE(alice.client.CreateDirectoryA("CustomMaps/ModC/deeper/"));
    EXPECT_TRUE(IsFolder(AliceFile("CustomMaps/ModA/source/Quests")));
    std::vector<std::string> mods;
    bob.client.GetFolders("custommaps/", mods);
    EXPECT_EQ(mods, (std::vector<std::string>{"ModA", "ModB"}));
    // Files other clients add below a new folder get svn:needs-lock as well.
    std::string autoProps;
    RunCommand("svn propget svn:auto-props file://" + server.RepositoryFolder() + "/CustomMaps/ModA", &autoProps);
    EXPECT_EQ(autoProps, "* = svn:needs-lock=*\n\n");

    Publish("CustomMaps/ModA/source/Text/ModStrings.txt", "");
    ASSERT_EQ(alice.client.RenameFile("CustomMaps/ModA/source/Text/ModStrings.txt",
                                      "CustomMaps/ModA/source/Text/Renamed.txt"),
              0)
        << alice.log.Errors();
    ASSERT_EQ(alice.client.DeleteDirectory("CustomMaps/ModB/"), 0) << alice.log.Errors();
    ASSERT_EQ(bob.client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_TRUE(IsFile(BobFile("CustomMaps/ModA/source/Text/Renamed.txt")));
    EXPECT_FALSE(IsFile(BobFile("CustomMaps/ModA/source/Text/ModStrings.txt")));
    EXPECT_FALSE(IsFolder(BobFile("CustomMaps/ModB")));
    EXPECT_FALSE(bob.client.IsFileWriteable("CustomMaps/ModA/source/Text/Renamed.txt"));

    // A file another user holds cannot be deleted; the working copy keeps it.
    ASSERT_EQ(bob.client.CheckOutFile("CustomMaps/ModA/source/Text/Renamed.txt", true), 0);
    EXPECT_NE(alice.client.DeleteFileA("CustomMaps/ModA/source/Text/Renamed.txt"), 0);
    EXPECT_TRUE(IsFile(AliceFile("CustomMaps/ModA/source/Text/Renamed.txt")));
    EXPECT_EQ(bob.client.DeleteFileA("CustomMaps/ModA/source/Text/Renamed.txt"), 0) << bob.log.Errors();
    FileStatus status;
    EXPECT_EQ(alice.client.GetFileStatus("CustomMaps/ModA/source/Text/Renamed.txt", status), 0);
    SleepMs(1100);
    ASSERT_EQ(alice.client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_EQ(alice.client.GetFileStatus("CustomMaps/ModA/source/Text/Renamed.txt", status), 1);

    // A folder whose files were added after it was made is deleted whole,
    // though the working copy has the folder at an older revision.
    Publish("CustomMaps/ModD/records/a.dbr", "a\n");
    EXPECT_EQ(alice.client.DeleteDirectory("CustomMaps/ModD/"), 0) << alice.log.Errors();
    EXPECT_FALSE(IsFolder(AliceFile("CustomMaps/ModD")));
    bob.client.GetFolders("custommaps/", mods);
    EXPECT_EQ(mods, (std::vector<std::string>{"ModA"}));
}

TEST_F(SubversionBackendTest, LoginNeedsTheRightPasswordAndAServer)
{
    NetworkUser mallory;
    mallory.name = SvnServer::kBob;
    mallory.folder = temp / "mallory/";
    EXPECT_FALSE(Connect(mallory, "wrong"));
    EXPECT_TRUE(mallory.log.HasError("Couldn't connect to")) << mallory.log.Errors();
    EXPECT_EQ(mallory.log.Errors().find("wrong"), std::string::npos);

    // A database that is no URL: the log says why it cannot be used.
    SourceControlClient typo;
    RecordingLog typoLog;
    typo.SetLog(&typoLog);
    typo.SetNetworkBackendFactory([](const std::string& database) { return MakeNetworkBackend(database, ""); });
    typo.SetUserName(SvnServer::kBob);
    EXPECT_FALSE(typo.Connect("repo"));
    EXPECT_TRUE(typoLog.HasError("Couldn't connect to repo: \"repo\" is not a repository URL")) << typoLog.Errors();

    NetworkUser nobody;
    nobody.name = SvnServer::kBob;
    nobody.folder = temp / "nobody/";
    server.Stop();
    uint64_t start = TickCountMs();
    EXPECT_FALSE(Connect(nobody, SvnServer::kBobPassword));
    EXPECT_LT(TickCountMs() - start, 3000u);
}

TEST_F(SubversionBackendTest, AServerThatGoesAwayGivesErrorsNotHangs)
{
    Publish("database/a.dbr", "a\n");
    SubversionOptions impatient = Options(SvnServer::kBobPassword);
    impatient.deadlineMs = 1000;
    ASSERT_TRUE(Connect(bob, SvnServer::kBobPassword, impatient));

    // Frozen: the connection stays open but nothing answers.
    server.Pause();
    uint64_t start = TickCountMs();
    FileStatus status;
    EXPECT_EQ(bob.client.GetFileStatus("database/a.dbr", status), Backend::kNoStatus);
    EXPECT_EQ(bob.client.CheckOutFile("database/a.dbr", true), Backend::kServerError);
    EXPECT_LT(TickCountMs() - start, 8000u);
    EXPECT_TRUE(bob.log.HasError("did not answer")) << bob.log.Errors();
    server.Resume();
    EXPECT_EQ(bob.client.CheckOutFile("database/a.dbr", true), 0) << bob.log.Errors();

    // Gone: every call fails at once with a reason.
    server.Stop();
    start = TickCountMs();
    EXPECT_FALSE(bob.client.CheckInFile("database/a.dbr"));
    EXPECT_NE(bob.client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_EQ(bob.client.GetFileStatus("database/a.dbr", status), Backend::kNoStatus);
    std::vector<std::string> list;
    bob.client.GetFiles("database/", list, 1, false, "");
    EXPECT_TRUE(list.empty());
    // What a build walks comes from the working copy alone; a folder it
    // lacks lists nothing, without an error.
    bob.client.GetFilesUnderDirectory("database/", list);
    EXPECT_EQ(list, (std::vector<std::string>{"a.dbr"}));
    bob.client.GetFilesUnderDirectory("assets/", list);
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(bob.log.HasError("assets")) << bob.log.Errors();
    EXPECT_LT(TickCountMs() - start, 3000u);
    EXPECT_TRUE(bob.log.HasError("Can't reach the server 127.0.0.1")) << bob.log.Errors();
}

} // namespace
} // namespace mw::test
