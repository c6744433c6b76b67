// The undo history's contract: recording, undo and redo at the ends, and
// forgetting the actions of one saved file.
#include "dbtext/UndoHistory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mw {
namespace {

// Writes "undo <id>" and "redo <id>" into a shared journal.
class JournalAction : public UndoAction
{
public:
    JournalAction(const std::string& file, std::string id, std::vector<std::string>& journal)
        : UndoAction(file), m_id(std::move(id)), m_journal(journal)
    {
    }
    void Undo() override { m_journal.push_back("undo " + m_id); }
    void Redo() override { m_journal.push_back("redo " + m_id); }

private:
    std::string m_id;
    std::vector<std::string>& m_journal;
};

class UndoHistoryTest : public ::testing::Test
{
protected:
    void Add(const std::string& file, const std::string& id)
    {
        history.Record(std::make_unique<JournalAction>(file, id, journal));
    }

    UndoHistory history;
    std::vector<std::string> journal;
};

TEST_F(UndoHistoryTest, UndoAndRedoAtTheEndsDoNothing)
{
    history.Undo();
    history.Redo();
    EXPECT_TRUE(journal.empty());
    EXPECT_FALSE(history.HasActionsFor(""));

    Add("a.dbr", "1");
    history.Redo();
    EXPECT_TRUE(journal.empty());
    history.Undo();
    history.Undo();
    EXPECT_EQ(journal, (std::vector<std::string>{"undo 1"}));
    EXPECT_EQ(history.CurrentIndex(), -1);
    EXPECT_FALSE(history.HasActionsFor(""));
    EXPECT_FALSE(history.HasActionsFor("a.dbr"));

    history.Redo();
    history.Redo();
    EXPECT_EQ(journal, (std::vector<std::string>{"undo 1", "redo 1"}));
    EXPECT_TRUE(history.HasActionsFor(""));
}

TEST_F(UndoHistoryTest, RecordingAfterTwoUndosDropsTheUndoneActions)
{
    Add("a.dbr", "1");
    Add("a.dbr", "2");
    Add("a.dbr", "3");
    history.Undo();
    history.Undo();
    Add("a.dbr", "4");
    EXPECT_EQ(history.Count(), 2u);
    EXPECT_EQ(history.CurrentIndex(), 1);
    journal.clear();
    history.Redo();
    EXPECT_TRUE(journal.empty());
    history.Undo();
    history.Undo();
    EXPECT_EQ(journal, (std::vector<std::string>{"undo 4", "undo 1"}));
}

TEST_F(UndoHistoryTest, ForgetFileRemovesItsActionsAndMovesTheIndexBack)
{
    Add("a.dbr", "a1");
    Add("b.dbr", "b1");
    Add("a.dbr", "a2");
    Add("b.dbr", "b2");
    Add("a.dbr", "a3");
    history.Undo(); // a3 undone, index on b2
    history.ForgetFile("a.dbr");
    EXPECT_EQ(history.Count(), 2u);
    EXPECT_EQ(history.CurrentIndex(), 1);
    EXPECT_FALSE(history.HasActionsFor("a.dbr"));
    EXPECT_TRUE(history.HasActionsFor("b.dbr"));

    journal.clear();
    history.Undo();
    history.Undo();
    history.Undo();
    EXPECT_EQ(journal, (std::vector<std::string>{"undo b2", "undo b1"}));
    EXPECT_FALSE(history.HasActionsFor("b.dbr"));
}

TEST_F(UndoHistoryTest, NamedQuestionOnlyCountsActionsInEffect)
{
    Add("a.dbr", "a1");
    Add("b.dbr", "b1");
    history.Undo();
    EXPECT_FALSE(history.HasActionsFor("b.dbr"));
    EXPECT_TRUE(history.HasActionsFor("a.dbr"));
    history.Clear();
    EXPECT_EQ(history.Count(), 0u);
    EXPECT_FALSE(history.HasActionsFor(""));
}

} // namespace
} // namespace mw
