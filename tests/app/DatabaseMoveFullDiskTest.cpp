// Moving a record on a full disk: the working folder sits on a small tmpfs
// (mounted by the test, which needs root; skipped otherwise), filled up to a
// chosen number of free pages before the move.
#include "app/DatabaseMove.h"
#include "platform/FileSystem.h"
#include "support/FakeWorkspace.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace mw {
namespace {

using test::ReadFile;
using test::WriteFile;

const char kSword[] = "templateName,Database\\Templates\\loot.tpl,\r\nname,sword,\r\n";
const char kShield[] = "templateName,Database\\Templates\\loot.tpl,\r\nname,shield,\r\n";

class DatabaseMoveFullDiskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_mount = temp / "disk";
        ASSERT_TRUE(EnsureFolders(m_mount + "/"));
        if (::mount("tmpfs", m_mount.c_str(), "tmpfs", 0, "size=1m") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        m_mounted = true;
        working = m_mount + "/";
        WriteFile(working + "database/records/sword.dbr", kSword);
        WriteFile(working + "database/records/shield.dbr", kShield);
        // Referrers, one of them far larger than a page.
        WriteFile(working + "database/loot/a.dbr", "templateName,Database\\Templates\\loot.tpl,\r\n"
                                                   "best,records\\sword.dbr,\r\n");
        std::string big = "templateName,Database\\Templates\\loot.tpl,\r\nbest,records\\sword.dbr,\r\n";
        for (int i = 0; i < 2000; ++i)
            big += "note" + std::to_string(i) + ",some text that makes this record large,\r\n";
        WriteFile(working + "database/loot/big.dbr", big);
    }
    void TearDown() override
    {
        if (m_mounted)
            ::umount2(m_mount.c_str(), MNT_DETACH);
    }

    // Fills the disk, then frees pages pages of it again.
    void LeaveFreePages(int pages)
    {
        std::string filler = working + "filler";
        int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        std::string page(4096, 'f');
        off_t size = 0;
        while (::write(fd, page.data(), page.size()) == ssize_t(page.size()))
            size += off_t(page.size());
        ASSERT_EQ(::ftruncate(fd, std::max<off_t>(0, size - off_t(pages) * 4096)), 0);
        ::close(fd);
    }

    // Every file below the database folder with its bytes.
    std::string Snapshot(const std::string& folder)
    {
        std::string snapshot;
        std::vector<FolderEntry> entries;
        ListFolder(folder, entries);
        for (const FolderEntry& entry : entries)
            snapshot += entry.isFolder ? Snapshot(folder + entry.name + "/")
                                       : folder + entry.name + "\n" + ReadFile(folder + entry.name) + "\n";
        return snapshot;
    }

    test::TempFolder temp;
    std::string working;

private:
    std::string m_mount;
    bool m_mounted = false;
};

TEST_F(DatabaseMoveFullDiskTest, AMoveThatCannotBeWrittenInFullLeavesTheOldState)
{
    // No room for the history, then room for the history but not for the
    // large referrer's rewrite.
    for (int pages : {0, 3})
    {
        SCOPED_TRACE(pages);
        std::string before = Snapshot(working + "database/");
        LeaveFreePages(pages);
        test::FakeWorkspace workspace(working, working + "build/");
        DatabaseMoveResult result =
            MoveDatabasePath(workspace, "database/records/sword.dbr", "database/weapons/sword.dbr", "dbr", false);
        EXPECT_NE(result.error.find("Couldn't move database/records/sword.dbr to database/weapons/sword.dbr"),
                  std::string::npos)
            << result.error;
        RemoveFile(working + "filler");
        EXPECT_EQ(Snapshot(working + "database/"), before);
        EXPECT_FALSE(PathExists(working + "database/weapons"));
    }
}

TEST_F(DatabaseMoveFullDiskTest, AMoveWithRoomEnoughIsCompleteAndLeavesNoBackups)
{
    LeaveFreePages(64);
    test::FakeWorkspace workspace(working, working + "build/");
    DatabaseMoveResult result =
        MoveDatabasePath(workspace, "database/records/sword.dbr", "database/weapons/sword.dbr", "dbr", false);
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.references.rewritten.size(), 2u);
    EXPECT_FALSE(PathExists(working + "database/records/sword.dbr"));
    EXPECT_NE(ReadFile(working + "database/weapons/sword.dbr").find("fileNameHistoryEntry,records\\sword.dbr,"),
              std::string::npos);
    EXPECT_NE(ReadFile(working + "database/loot/big.dbr").find("best,weapons\\sword.dbr,"), std::string::npos);
    std::string snapshot = Snapshot(working + "database/");
    EXPECT_EQ(snapshot.find(".mwkeep"), std::string::npos) << snapshot.substr(0, 500);
}

} // namespace
} // namespace mw
