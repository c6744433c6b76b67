// The record text format and the file binding of documents.
#include "dbtext/DbRecord.h"
#include "dbtext/IDocumentEditor.h"
#include "platform/FileSystem.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

std::string RoundTrip(const std::string& text)
{
    DbRecord record;
    EXPECT_EQ(record.Read(text.data(), text.size()), 1);
    std::string written;
    EXPECT_EQ(record.Write(written), 1);
    return written;
}

TEST(DbRecordFormat, RoundTripTable)
{
    struct Case
    {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"templateName,t.tpl,\n", "templateName,t.tpl,\n"},
        {"", "templateName,,\n"},
        {"a,1,\nB,2,\n_,3,\nZ,4,\ntemplateName,x\\y.tpl,\n", "templateName,x\\y.tpl,\nB,2,\nZ,4,\n_,3,\na,1,\n"},
        {"a,1,\r\na,2,\r\n", "templateName,,\na,2,\n"},
        {"v,\"x\",\nw,\"x y\",\n", "templateName,,\nv,x,\nw,x y,\n"},
        {"fileNameHistoryEntry,Database/Records/x.dbr,\nb,1,\n",
         "templateName,,\nb,1,\nfileNameHistoryEntry,Records\\x.dbr,\n"},
        {"// comment\n  a , 1 ,\n/* b,2, */\n#ifdef DEBUG\nc,3,\n#endif\n", "templateName,,\na, 1 ,\n"},
        {"templateName,a.tpl,\ntemplateName,b.tpl,\n", "templateName,b.tpl,\n"},
        {"e,,\n", "templateName,,\ne,,\n"},
        // A line without its closing comma swallows the next line up to a comma.
        {"a,1\nb,2,\n", "templateName,,\n2,\n,\na,1\nb,\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundTrip(c.in), c.out) << c.in;
}

TEST(DbRecordFormat, HistoryEntriesAreNormalisedAndMatched)
{
    DbRecord record;
    record.AddHistoryEntry("DATABASE/records/Old.dbr");
    EXPECT_EQ(record.History(), (std::vector<std::string>{"records\\Old.dbr"}));
    EXPECT_TRUE(record.HasHistoryEntry("Database\\records\\Old.dbr"));
    EXPECT_TRUE(record.HasHistoryEntry("records\\Old.dbr"));
    EXPECT_FALSE(record.HasHistoryEntry("records/Old.dbr"));
    EXPECT_FALSE(record.HasHistoryEntry("records\\old.dbr"));
    // Reading does not empty the history: a second read appends.
    std::string text = "fileNameHistoryEntry,a.dbr,\n";
    record.Read(text.data(), text.size());
    EXPECT_EQ(record.HistoryCount(), 2u);
}

TEST(DbFileState, SavedFilesHaveCrLfAndLfOnlyFilesReadTheSame)
{
    TempFolder temp;
    WriteFile(temp / "r.dbr", "templateName,t.tpl,\nb,2,\na,1,\n");
    DbRecord record;
    ASSERT_EQ(record.FileState().Open(temp / "r.dbr", false), 1);
    EXPECT_EQ(record.FileState().ShortName(), "r.dbr");
    EXPECT_EQ(record.GetValue("a"), "1");
    record.SetValue("c", "3");
    ASSERT_EQ(record.FileState().Save(), 1);
    EXPECT_EQ(ReadFile(temp / "r.dbr"), "templateName,t.tpl,\r\na,1,\r\nb,2,\r\nc,3,\r\n");
    DbRecord again;
    ASSERT_EQ(again.FileState().Open(temp / "r.dbr", true), 1);
    EXPECT_EQ(again.Values(), record.Values());
}

TEST(DbFileState, ReadOnlyFilesAreRefusedWithAMessageUnlessOpenedQuietly)
{
    TempFolder temp;
    WriteFile(temp / "ro.dbr", "a,1,\n");
    test::ScriptedPrompt prompt;
    DbRecord loud;
    loud.FileState().SetPrompt(&prompt);
    ASSERT_EQ(loud.FileState().Open(temp / "ro.dbr", false), 1);
    SetReadOnly(temp / "ro.dbr", true);
    EXPECT_TRUE(loud.FileState().IsReadOnly());
    loud.SetValue("a", "2");
    EXPECT_EQ(loud.FileState().Save(), 0);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "File \"ro.dbr\" is Read-Only.  Changes cannot be saved.");

    DbRecord quiet;
    quiet.FileState().SetPrompt(&prompt);
    ASSERT_EQ(quiet.FileState().Open(temp / "ro.dbr", true), 1);
    quiet.SetValue("a", "3");
    EXPECT_EQ(quiet.FileState().Save(), 0);
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(ReadFile(temp / "ro.dbr"), "a,1,\n");
}

TEST(DbFileState, OpenFailuresAreReportedOnlyWhenNotQuiet)
{
    TempFolder temp;
    test::ScriptedPrompt prompt;
    DbRecord record;
    record.FileState().SetPrompt(&prompt);
    EXPECT_EQ(record.FileState().Open(temp / "sub/missing.dbr", true), 0);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(record.FileState().Open(temp / "sub/missing.dbr", false), 0);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "Failed to Open File: \"missing.dbr\"");
    EXPECT_FALSE(record.FileState().HasFile());
}

TEST(DbFileState, ReopeningTheSameModifiedFileAsksToRevert)
{
    TempFolder temp;
    WriteFile(temp / "a.dbr", "a,1,\n");
    WriteFile(temp / "b.dbr", "b,1,\n");
    test::ScriptedPrompt prompt;
    DbRecord record;
    record.FileState().SetPrompt(&prompt);
    ASSERT_EQ(record.FileState().Open(temp / "a.dbr", false), 1);
    record.SetTemplateName("t.tpl");
    EXPECT_TRUE(record.FileState().IsModified());

    prompt.answers = {PromptAnswer::No};
    EXPECT_EQ(record.FileState().Open(temp / "a.dbr", false), 0);
    EXPECT_EQ(prompt.messages.back().text,
              "Current file and file to be opened are the same.\nRevert to saved file?  All changes will be lost.");
    EXPECT_EQ(record.GetTemplateName(), "t.tpl");

    prompt.answers = {PromptAnswer::No};
    ASSERT_EQ(record.FileState().Open(temp / "b.dbr", false), 1);
    EXPECT_EQ(prompt.messages.back().text, "File \"a.dbr\" is Modified.  Save?");
    EXPECT_EQ(ReadFile(temp / "a.dbr"), "a,1,\n");
    EXPECT_EQ(record.GetValue("b"), "1");
}

TEST(DbFileState, SaveQuestionSavesOnYesAndStopsOnCancel)
{
    TempFolder temp;
    WriteFile(temp / "a.dbr", "a,1,\n");
    test::ScriptedPrompt prompt;
    DbRecord record;
    record.FileState().SetPrompt(&prompt);
    ASSERT_EQ(record.FileState().Open(temp / "a.dbr", false), 1);
    record.SetTemplateName("t.tpl");
    prompt.answers = {PromptAnswer::Cancel};
    EXPECT_EQ(record.FileState().PromptSave(temp / "b.dbr", true), 0);
    prompt.answers = {PromptAnswer::Yes};
    EXPECT_EQ(record.FileState().PromptSave(temp / "b.dbr", true), 1);
    EXPECT_EQ(ReadFile(temp / "a.dbr"), "templateName,t.tpl,\r\na,1,\r\n");
    EXPECT_FALSE(record.FileState().IsModified());
}

TEST(DbFileState, NewSaveAsAndReset)
{
    TempFolder temp;
    test::ScriptedPrompt prompt;
    DbRecord record;
    record.FileState().SetPrompt(&prompt);
    record.SetValue("x", "1");
    ASSERT_EQ(record.FileState().New("dbr"), 1);
    EXPECT_EQ(record.FileState().ShortName(), "Untitled.dbr");
    EXPECT_TRUE(record.Values().empty());

    prompt.savePaths = {""};
    EXPECT_EQ(record.FileState().SaveAs(), 0);

    WriteFile(temp / "locked.dbr", "");
    SetReadOnly(temp / "locked.dbr", true);
    prompt.savePaths = {temp / "locked.dbr"};
    EXPECT_EQ(record.FileState().SaveAs(), 0);
    EXPECT_EQ(prompt.messages.back().text,
              "Save file is Read-Only.  Changes may not be saved.  Please choose another file");

    prompt.savePaths = {temp / "new.dbr"};
    ASSERT_EQ(record.FileState().SaveAs(), 1);
    EXPECT_TRUE(record.FileState().HasFile());
    EXPECT_EQ(record.FileState().ShortName(), "new.dbr");
    EXPECT_EQ(ReadFile(temp / "new.dbr"), "templateName,,\r\n");

    record.FileState().Reset();
    EXPECT_FALSE(record.FileState().HasFile());
    EXPECT_EQ(record.FileState().Path(), "");
}

// An editor whose undo history holds actions for one short name.
class FakeEditor : public IDocumentEditor
{
public:
    bool HasUndoableActions(const std::string& shortName) const override { return shortName == pending; }
    void DocumentSaved(const std::string& shortName) override
    {
        saved.push_back(shortName);
        if (shortName == pending)
            pending.clear();
    }
    std::string pending;
    std::vector<std::string> saved;
};

TEST(DbFileState, TheOwningEditorsUndoHistoryMakesADocumentModified)
{
    TempFolder temp;
    WriteFile(temp / "a.dbr", "a,1,\n");
    FakeEditor editor;
    DbRecord record;
    record.SetEditor(&editor);
    ASSERT_EQ(record.FileState().Open(temp / "a.dbr", true), 1);
    EXPECT_FALSE(record.FileState().IsModified());
    editor.pending = "a.dbr";
    EXPECT_TRUE(record.FileState().IsModified());
    ASSERT_EQ(record.FileState().Save(), 1);
    EXPECT_EQ(editor.saved, (std::vector<std::string>{"a.dbr"}));
    EXPECT_FALSE(record.FileState().IsModified());
}

} // namespace
} // namespace mw

namespace mw {
namespace {

TEST(DbRecordFormat, HugeLinesAndBinaryGarbageReadWithoutTrouble)
{
    // A 10 MB value on one line, and a line of every byte value.
    std::string huge = "big," + std::string(10 * 1024 * 1024, 'x') + ",\nafter,1,\n";
    DbRecord record;
    ASSERT_EQ(record.Read(huge.data(), huge.size()), 1);
    EXPECT_EQ(record.GetValue("big").size(), 10u * 1024 * 1024);
    EXPECT_EQ(record.GetValue("after"), "1");

    std::string garbage;
    for (int round = 0; round < 4; ++round)
        for (int byte = 0; byte < 256; ++byte)
            garbage += char(byte);
    DbRecord odd;
    EXPECT_EQ(odd.Read(garbage.data(), garbage.size()), 1);
    std::string written;
    EXPECT_EQ(odd.Write(written), 1);
}

} // namespace
} // namespace mw
