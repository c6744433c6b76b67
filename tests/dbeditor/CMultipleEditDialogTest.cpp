// The multiple-value editor on real records: both forms, the enabling
// rules, the arithmetic, the typed value check and writing back with undo.
#include "EditorFixture.h"

#include "ui/dbeditor/CInPlaceFileButton.h"
#include "ui/dbeditor/CMultipleEditDialog.h"
#include "dbtext/DbEditorDocument.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

namespace mw {
namespace {

class CMultipleEditDialogTest : public test::EditorFixture
{
protected:
    CMultipleEditDialogTest() : document(workspace, workspace.prompt, nullptr)
    {
        EXPECT_TRUE(document.OpenFiles({Record("archer"), Record("knight"), Record("scout")}));
    }

    DbEditorDocument document;
};

TEST_F(CMultipleEditDialogTest, RecordsFormAppliesPercentAndWritesEveryRecord)
{
    CMultipleEditDialog dialog(document, "speed", CMultipleEditDialog::Form::Records, "", false, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Editing variable: speed");
    EXPECT_EQ(dialog.Table()->horizontalHeaderItem(0)->text(), "File Name");
    EXPECT_EQ(dialog.Table()->item(2, 0)->text(), "scout.dbr");
    EXPECT_EQ(dialog.Values(), (std::vector<std::string>{"3", "4", "5"}));
    EXPECT_TRUE(dialog.PercentButton()->isEnabled());
    EXPECT_FALSE(dialog.RowAddButton()->isEnabled());

    dialog.PercentOperand()->setText("50.9");
    dialog.PercentButton()->click();
    EXPECT_EQ(dialog.PercentOperand()->text(), "50");
    EXPECT_EQ(dialog.Values(), (std::vector<std::string>{"5", "6", "8"}));
    dialog.accept();
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
    EXPECT_EQ(document.FindOpenRecordByName("scout.dbr")->GetValue("speed"), "8");
    // One multiple edit is one undo step for every record it changed.
    document.Undo();
    EXPECT_EQ(document.FindOpenRecordByName("scout.dbr")->GetValue("speed"), "5");
    EXPECT_EQ(document.FindOpenRecordByName("knight.dbr")->GetValue("speed"), "4");
    EXPECT_EQ(document.FindOpenRecordByName("archer.dbr")->GetValue("speed"), "3");
    EXPECT_FALSE(document.History().CanUndo());
    document.Redo();
    EXPECT_EQ(document.FindOpenRecordByName("archer.dbr")->GetValue("speed"), "5");
    EXPECT_EQ(document.FindOpenRecordByName("knight.dbr")->GetValue("speed"), "6");

    // Saving one record forgets only its part: the others stay modified and undoable.
    ASSERT_TRUE(document.FindOpenRecordByName("knight.dbr")->FileState().Save());
    EXPECT_FALSE(document.FindOpenRecordByName("knight.dbr")->FileState().IsModified());
    EXPECT_TRUE(document.FindOpenRecordByName("scout.dbr")->FileState().IsModified());
    document.Undo();
    EXPECT_EQ(document.FindOpenRecordByName("scout.dbr")->GetValue("speed"), "5");
    EXPECT_EQ(document.FindOpenRecordByName("knight.dbr")->GetValue("speed"), "6");
}

TEST_F(CMultipleEditDialogTest, ARefusedRowWritesNoRowAndCancelLeavesEveryRecordAsItWas)
{
    CMultipleEditDialog dialog(document, "speed", CMultipleEditDialog::Form::Records, "", false, nullptr);
    dialog.Table()->item(0, 1)->setText("7");
    dialog.Table()->item(1, 1)->setText("12abc");
    dialog.Table()->item(2, 1)->setText("9");
    dialog.accept();
    EXPECT_NE(dialog.result(), int(QDialog::Accepted));
    ASSERT_FALSE(workspace.prompt.messages.empty());
    EXPECT_EQ(workspace.prompt.messages.back().text, "Variables of type INT must be set to a whole number");
    EXPECT_EQ(dialog.Table()->selectedItems().front()->row(), 1);
    // The row before the refused one was not written either.
    EXPECT_EQ(document.FindOpenRecordByName("archer.dbr")->GetValue("speed"), "3");
    dialog.reject();
    EXPECT_EQ(document.FindOpenRecordByName("archer.dbr")->GetValue("speed"), "3");
    EXPECT_EQ(document.FindOpenRecordByName("scout.dbr")->GetValue("speed"), "5");
    EXPECT_FALSE(document.IsModified());
    EXPECT_FALSE(document.History().CanUndo());
}

TEST_F(CMultipleEditDialogTest, ArrayFormMovesEntriesAndAddsToRealValues)
{
    CMultipleEditDialog dialog(document, "damage", CMultipleEditDialog::Form::Array, "knight.dbr", false, nullptr);
    EXPECT_EQ(dialog.Table()->horizontalHeaderItem(0)->text(), "Index");
    EXPECT_EQ(dialog.Values(), (std::vector<std::string>{"1.5", "2.25", "4"}));
    dialog.AddOperand()->setText("0.5");
    dialog.AddButton()->click();
    EXPECT_EQ(dialog.Values(), (std::vector<std::string>{"2.0", "2.75", "4.5"}));

    dialog.RowUpButton()->click(); // nothing selected: nothing happens
    dialog.Table()->selectRow(0);
    dialog.RowUpButton()->click(); // first row: nothing happens
    dialog.RowDownButton()->click();
    EXPECT_EQ(dialog.Values(), (std::vector<std::string>{"2.75", "2.0", "4.5"}));
    dialog.RowDeleteButton()->click(); // the selection moved with the entry
    EXPECT_EQ(dialog.Values(), (std::vector<std::string>{"2.75", "4.5"}));
    EXPECT_EQ(dialog.Table()->item(1, 0)->text(), "1");
    dialog.RowAddButton()->click();
    dialog.Table()->item(2, 1)->setText("7");
    dialog.accept();
    EXPECT_EQ(document.FindOpenRecordByName("knight.dbr")->GetValue("damage"), "2.75;4.5;7");
    EXPECT_EQ(document.FindOpenRecordByName("archer.dbr")->GetValue("damage"), "1.5;2.25;4");
}

TEST_F(CMultipleEditDialogTest, ReadOnlyStaticAndTypedValueRules)
{
    CMultipleEditDialog readOnly(document, "skin", CMultipleEditDialog::Form::Records, "", true, nullptr);
    EXPECT_EQ(readOnly.windowTitle(), "Editing variable: skin - READ ONLY");
    EXPECT_FALSE(readOnly.ValueField()->Field()->isEnabled());
    EXPECT_FALSE(readOnly.ValueField()->Button()->isEnabled());

    CMultipleEditDialog skin(document, "skin", CMultipleEditDialog::Form::Records, "", false, nullptr);
    EXPECT_TRUE(skin.ValueField()->Button()->isEnabled());
    EXPECT_EQ(skin.ValueField()->Filter(), "Files (*.tex);;All Files (*)");
    EXPECT_FALSE(skin.AddButton()->isEnabled());

    CMultipleEditDialog fixed(document, "Class", CMultipleEditDialog::Form::Records, "", false, nullptr);
    EXPECT_FALSE(fixed.ValueField()->Field()->isEnabled());
    EXPECT_FALSE(fixed.SetButton()->isEnabled());

    CMultipleEditDialog alive(document, "alive", CMultipleEditDialog::Form::Records, "", false, nullptr);
    EXPECT_FALSE(alive.ConfirmTypedValue("2"));
    ASSERT_EQ(workspace.prompt.messages.size(), 1u);
    EXPECT_EQ(workspace.prompt.messages[0].text, "Variables of type BOOL must be set to 0 (false) or 1 (true)");
    EXPECT_TRUE(alive.ConfirmTypedValue("0"));
    EXPECT_EQ(alive.Values(), (std::vector<std::string>{"0", "0", "0"}));

    CMultipleEditDialog speed(document, "speed", CMultipleEditDialog::Form::Records, "", false, nullptr);
    EXPECT_TRUE(speed.ConfirmTypedValue("3.7"));
    EXPECT_EQ(speed.Values(), (std::vector<std::string>{"3", "3", "3"}));
    EXPECT_FALSE(speed.ConfirmTypedValue("12abc"));
    EXPECT_EQ(speed.Values(), (std::vector<std::string>{"3", "3", "3"}));
}

} // namespace
} // namespace mw
