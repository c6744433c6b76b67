// The desktop trash on real files: the entry a file manager restores from,
// name clashes, folders, and putting items back.
#include "platform/FileSystem.h"
#include "platform/Trash.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace mw {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

// Points the home trash into the temporary folder for one test.
class TrashTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* previous = getenv("XDG_DATA_HOME");
        m_hadPrevious = previous != nullptr;
        if (previous)
            m_previous = previous;
        setenv("XDG_DATA_HOME", (m_temp.Path() + "data").c_str(), 1);
    }
    void TearDown() override
    {
        if (m_hadPrevious)
            setenv("XDG_DATA_HOME", m_previous.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }
    std::string Trash() const { return m_temp.Path() + "data/Trash"; }

    TempFolder m_temp;
    bool m_hadPrevious = false;
    std::string m_previous;
};

TEST_F(TrashTest, TrashedFileHasAnEntryNamingItsPathAndCanBeRestored)
{
    std::string original = m_temp / "mod/database/my record.dbr";
    WriteFile(original, "recordBytes");
    TrashOutcome outcome = MoveToTrash(m_temp.Path() + "Mod\\Database\\My Record.dbr");
    ASSERT_EQ(outcome.result, TrashResult::Trashed);
    EXPECT_FALSE(PathExists(original));
    EXPECT_EQ(outcome.trashedPath, Trash() + "/files/my record.dbr");
    EXPECT_EQ(ReadFile(outcome.trashedPath), "recordBytes");
    EXPECT_EQ(outcome.infoPath, Trash() + "/info/my record.dbr.trashinfo");

    std::string entry = ReadFile(outcome.infoPath);
    std::string encoded = original;
    encoded.replace(encoded.find("my record"), 9, "my%20record");
    EXPECT_EQ(entry.rfind("[Trash Info]\nPath=" + encoded + "\nDeletionDate=", 0), 0u) << entry;
    // DeletionDate=YYYY-MM-DDThh:mm:ss
    std::string date = entry.substr(entry.find("DeletionDate=") + 13);
    ASSERT_EQ(date.size(), 20u);
    EXPECT_EQ(date[4], '-');
    EXPECT_EQ(date[10], 'T');
    EXPECT_EQ(date.back(), '\n');

    ASSERT_TRUE(RestoreFromTrash(outcome.infoPath));
    EXPECT_EQ(ReadFile(original), "recordBytes");
    EXPECT_FALSE(PathExists(outcome.infoPath));
    EXPECT_FALSE(PathExists(outcome.trashedPath));
}

TEST_F(TrashTest, ClashingNamesGetNumberedAndEachRestoresToItsOwnPlace)
{
    WriteFile(m_temp / "a/item.dbr", "first");
    WriteFile(m_temp / "b/item.dbr", "second");
    WriteFile(m_temp / "c/item.dbr", "third");
    TrashOutcome first = MoveToTrash(m_temp / "a/item.dbr");
    TrashOutcome second = MoveToTrash(m_temp / "b/item.dbr");
    TrashOutcome third = MoveToTrash(m_temp / "c/item.dbr");
    ASSERT_EQ(third.result, TrashResult::Trashed);
    EXPECT_EQ(first.trashedPath, Trash() + "/files/item.dbr");
    EXPECT_EQ(second.trashedPath, Trash() + "/files/item.dbr.2");
    EXPECT_EQ(third.infoPath, Trash() + "/info/item.dbr.3.trashinfo");

    ASSERT_TRUE(RestoreFromTrash(second.infoPath));
    EXPECT_EQ(ReadFile(m_temp / "b/item.dbr"), "second");
    // A name freed by a restore is used again.
    WriteFile(m_temp / "d/item.dbr", "fourth");
    EXPECT_EQ(MoveToTrash(m_temp / "d/item.dbr").trashedPath, Trash() + "/files/item.dbr.2");
}

TEST_F(TrashTest, FoldersMoveWholeAndRestoreRefusesATakenPath)
{
    WriteFile(m_temp / "records/sub/one.dbr", "1");
    WriteFile(m_temp / "records/two.dbr", "2");
    TrashOutcome outcome = MoveToTrash(m_temp.Path() + "records/");
    ASSERT_EQ(outcome.result, TrashResult::Trashed);
    EXPECT_FALSE(PathExists(m_temp / "records"));
    EXPECT_EQ(ReadFile(outcome.trashedPath + "/sub/one.dbr"), "1");

    // Something new at the old place is never overwritten.
    WriteFile(m_temp / "records/new.dbr", "new");
    EXPECT_FALSE(RestoreFromTrash(outcome.infoPath));
    EXPECT_TRUE(PathExists(outcome.trashedPath + "/two.dbr"));
    EXPECT_TRUE(PathExists(outcome.infoPath));
}

TEST_F(TrashTest, MissingItemFailsAndLeavesNoEntry)
{
    EXPECT_EQ(MoveToTrash(m_temp / "nothing.dbr").result, TrashResult::Failed);
    std::vector<FolderEntry> entries;
    ListFolder(Trash() + "/info", entries);
    EXPECT_TRUE(entries.empty());
}

} // namespace
} // namespace mw
