// The Database Editor window driven through its real widgets: columns of
// both modes, in-place edits with their checks and undo, the template
// commands, the settings, the manager's choice of window, and screenshots.
#include "EditorFixture.h"

#include "ui/dbeditor/CDataView.h"
#include "ui/dbeditor/CDbDialogListCtrl.h"
#include "ui/dbeditor/CDbEditor.h"
#include "ui/dbeditor/CDbEditorManager.h"
#include "ui/dbeditor/CDbTemplateDlgBar.h"
#include "ui/dbeditor/CEditByType.h"
#include "ui/dbeditor/CGroupDialog.h"
#include "ui/dbeditor/CInPlaceFileButton.h"
#include "ui/dbeditor/CMultipleEditDialog.h"
#include "ui/dbeditor/CNewDocumentDialog.h"
#include "ui/dbeditor/DbTreeView.h"
#include "ui/dbeditor/DbVariableTableModel.h"
#include "ui/dbeditor/EditorPlacement.h"
#include "dbtext/DbEditorDocument.h"
#include "dbtext/TemplateEditing.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/ProfileFile.h"

#include <cstdlib>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QMenu>
#include <QRadioButton>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace mw {
namespace {

class CDbEditorTest : public test::EditorFixture
{
protected:
    CDbEditorTest() : editor(workspace, IniPath(), &workspace.prompt) {}

    QStringList Headings() const
    {
        QStringList headings;
        for (int column = 0; column < editor.Model()->columnCount(); ++column)
            headings << editor.Model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        return headings;
    }
    QStringList Names() const
    {
        QStringList names;
        for (int row = 0; row < editor.Model()->rowCount(); ++row)
            names << editor.Model()->index(row, 0).data().toString();
        return names;
    }
    int RowOf(const QString& name) const { return int(Names().indexOf(name)); }
    QString Cell(const QString& name, int column) const
    {
        return editor.Model()->index(RowOf(name), column).data().toString();
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const auto& message : workspace.prompt.messages)
            texts.push_back(message.text);
        return texts;
    }
    // Creates the cell's in-place editor as a double click would.
    QWidget* EditorFor(int row, int column)
    {
        QModelIndex index = editor.Model()->index(row, column);
        if (!(editor.Model()->flags(index) & Qt::ItemIsEditable))
            return nullptr;
        return editor.List()->itemDelegate()->createEditor(editor.List()->viewport(), QStyleOptionViewItem(), index);
    }

    CDbEditor editor;
};

TEST_F(CDbEditorTest, RecordModeShowsOneValueColumnPerRecordAndRecordsEdits)
{
    ASSERT_TRUE(editor.OpenFiles({Record("archer"), Record("knight")}));
    EXPECT_EQ(editor.windowTitle(), "Editing Record:archer.dbr + (Multiple Files)");
    EXPECT_FALSE(editor.TemplateBar()->isVisibleTo(&editor));
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    EXPECT_EQ(Headings(), (QStringList{"Name", "Class", "Type", "archer.dbr", "knight.dbr"}));
    EXPECT_EQ(Names(), (QStringList{"speed", "damage", "stance", "alive"}));
    EXPECT_EQ(Cell("speed", 3), "3");
    EXPECT_EQ(Cell("speed", 4), "4");
    int headingWidth = editor.List()->horizontalHeader()->fontMetrics().horizontalAdvance("archer.dbr");
    // At least the heading; wider only for values that need it.
    EXPECT_GE(editor.List()->columnWidth(3), headingWidth + 15);
    EXPECT_LE(editor.List()->columnWidth(3), headingWidth + 40);

    // Names and types are fixed in record mode; the picklist offers its items.
    EXPECT_EQ(EditorFor(RowOf("speed"), 0), nullptr);
    auto* choice = dynamic_cast<QComboBox*>(EditorFor(RowOf("stance"), 3));
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->count(), 3);
    EXPECT_EQ(choice->itemText(2), "high");
    delete choice;

    QModelIndex speed = editor.Model()->index(RowOf("speed"), 4);
    EXPECT_FALSE(editor.Model()->setData(speed, "1,2", Qt::EditRole));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(workspace.prompt.messages[0].caption, "Format Error");
    EXPECT_TRUE(editor.Model()->setData(speed, "9", Qt::EditRole));
    EXPECT_EQ(Cell("speed", 4), "9");
    EXPECT_TRUE(editor.Document().FindOpenRecordByName("knight.dbr")->FileState().IsModified());
    EXPECT_FALSE(editor.Document().FindOpenRecordByName("archer.dbr")->FileState().IsModified());

    QAction* undo = nullptr;
    for (QAction* action : editor.findChildren<QAction*>())
        if (action->text() == "&Undo")
            undo = action;
    ASSERT_NE(undo, nullptr);
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(Cell("speed", 4), "4");
    EXPECT_FALSE(editor.Document().IsModified());
    EXPECT_FALSE(undo->isEnabled());
    editor.OnRedo();
    EXPECT_EQ(Cell("speed", 4), "9");

    // The static Class row is shown but not editable; other templates are refused.
    ASSERT_TRUE(editor.Tree()->SelectGroup("All Groups"));
    EXPECT_EQ(Cell("Class", 3), "Unit");
    EXPECT_EQ(EditorFor(RowOf("Class"), 3), nullptr);
    EXPECT_FALSE(editor.OpenFile(Record("sword")));
    EXPECT_EQ(editor.Document().Records().size(), 2u);
}

TEST_F(CDbEditorTest, InPlaceEditorsCommitThroughTheKeyboard)
{
    ASSERT_TRUE(editor.OpenFiles({Record("archer"), Record("knight")}));
    editor.show();
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    QModelIndex speed = editor.Model()->index(RowOf("speed"), 3);
    editor.List()->setCurrentIndex(speed);
    editor.List()->edit(speed);
    auto* field = qobject_cast<QLineEdit*>(editor.List()->indexWidget(speed));
    ASSERT_NE(field, nullptr);
    field->setText("17");
    QTest::keyClick(field, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits on a queued call
    EXPECT_EQ(Cell("speed", 3), "17");

    // A refused value leaves the record as it was.
    editor.List()->edit(speed);
    field = qobject_cast<QLineEdit*>(editor.List()->indexWidget(speed));
    ASSERT_NE(field, nullptr);
    field->setText("1,7");
    QTest::keyClick(field, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits on a queued call
    EXPECT_EQ(Cell("speed", 3), "17");
    EXPECT_EQ(workspace.prompt.messages.size(), 1u);

    QModelIndex stance = editor.Model()->index(RowOf("stance"), 4);
    editor.List()->setCurrentIndex(stance);
    editor.List()->edit(stance);
    auto* choice = qobject_cast<QComboBox*>(editor.List()->indexWidget(stance));
    ASSERT_NE(choice, nullptr);
    choice->setCurrentText("high");
    editor.List()->CommitEdit();
    EXPECT_EQ(editor.Document().FindOpenRecordByName("knight.dbr")->GetValue("stance"), "high");
    // Saving ends an edit still open in a cell.
    editor.List()->setCurrentIndex(speed);
    editor.List()->edit(speed);
    qobject_cast<QLineEdit*>(editor.List()->indexWidget(speed))->setText("18");
    editor.SetDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    EXPECT_FALSE(editor.OnFileSave());
    EXPECT_EQ(editor.Document().FindOpenRecordByName("archer.dbr")->GetValue("speed"), "18");
    editor.hide();
}

TEST_F(CDbEditorTest, CellsApplyTheTypeChecksAndValuesThatDoNotReadAsTheirTypeAreMarked)
{
    test::WriteFile(temp / "database/records/odd.dbr",
              "templateName,%TEMPLATE_DIR%Database\\Templates\\unit.tpl,\r\nspeed,12abc,\r\nalive,true,\r\n"
              "skin,textures\\missing.tex,\r\ndamage,1;x,\r\n");
    test::WriteFile(temp / "database/textures/rose.tex", "t");
    ASSERT_TRUE(editor.OpenFiles({Record("archer"), Record("odd")}));
    editor.show();
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    auto typeIn = [&](const QString& name, int column, const QString& text) {
        QModelIndex cell = editor.Model()->index(RowOf(name), column);
        editor.List()->setCurrentIndex(cell);
        editor.List()->edit(cell);
        auto* field = qobject_cast<QLineEdit*>(editor.List()->indexWidget(cell));
        if (!field)
            return false;
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Return);
        QApplication::processEvents();
        return true;
    };
    // Refused with a message, the value unchanged.
    ASSERT_TRUE(typeIn("speed", 3, "12abc"));
    EXPECT_EQ(Cell("speed", 3), "3");
    EXPECT_EQ(Messages().back(), "Variables of type INT must be set to a whole number");
    QString aliveBefore = Cell("alive", 3);
    ASSERT_TRUE(typeIn("alive", 3, "2"));
    EXPECT_EQ(Cell("alive", 3), aliveBefore);
    EXPECT_EQ(Messages().back(), "Variables of type BOOL must be set to 0 (false) or 1 (true)");
    ASSERT_TRUE(typeIn("damage", 3, "1.5;abc"));
    EXPECT_EQ(Messages().back(), "Variables of type REAL must be set to a number");
    EXPECT_EQ(Cell("damage", 3), "1.5;2.25;4");
    ASSERT_TRUE(typeIn("speed", 3, "-4.5"));
    EXPECT_EQ(Cell("speed", 3), "-4.5");
    EXPECT_FALSE(editor.Document().FindOpenRecordByName("odd.dbr")->FileState().IsModified());

    // What the file already holds is shown marked, with the reason.
    auto marked = [&](const QString& name, int column) {
        QModelIndex cell = editor.Model()->index(RowOf(name), column);
        return editor.Model()->data(cell, Qt::BackgroundRole).isValid();
    };
    EXPECT_TRUE(marked("speed", 4));
    EXPECT_TRUE(marked("alive", 4));
    EXPECT_TRUE(marked("damage", 4));
    EXPECT_FALSE(marked("speed", 3));
    EXPECT_EQ(editor.Model()->data(editor.Model()->index(RowOf("speed"), 4), Qt::ToolTipRole).toString(),
              "This value does not read as int: 12abc");
    ASSERT_TRUE(editor.Tree()->SelectGroup("Looks"));
    EXPECT_TRUE(marked("skin", 4));
    // A file value that names an existing file is not marked.
    ASSERT_TRUE(editor.Document().EditRecordValue("odd.dbr", "skin", "textures\\rose.tex"));
    EXPECT_FALSE(marked("skin", 4));
    editor.hide();
}

TEST_F(CDbEditorTest, ATemplateWhoseIncludeCannotBeOpenedIsNotSaved)
{
    std::string text = "Group { name = \"All Groups\" type = \"list\"\n" +
                       test::EditorVariableText("Include File", "include", "static",
                                                "%TEMPLATE_DIR%Database\\Templates\\gone.tpl") +
                       test::EditorVariableText("weight", "real", "variable") + "}\n";
    test::WriteFile(temp / "Database/Templates/broken.tpl", text);
    ASSERT_TRUE(editor.OpenFiles({temp / "Database/Templates/broken.tpl"}));
    ASSERT_TRUE(editor.Document().IsModified()); // the Header group was added
    EXPECT_FALSE(editor.Document().Save());
    EXPECT_EQ(Messages().back(), "An include file of this template could not be opened (the output pane names it), "
                                 "so its names cannot be checked. The template was not saved.");
    EXPECT_EQ(test::ReadFile(temp / "Database/Templates/broken.tpl"), text);
    EXPECT_FALSE(editor.Document().SaveAs());
    EXPECT_EQ(test::ReadFile(temp / "Database/Templates/broken.tpl"), text);
}

TEST_F(CDbEditorTest, SearchFindsVariablesOfEveryGroupByName)
{
    ASSERT_TRUE(editor.OpenFile(Record("archer")));
    editor.DataView()->Search()->setText("S");
    EXPECT_EQ(Names(), (QStringList{"Class", "FileDescription", "speed", "stance", "skin"}));
    QModelIndex skin = editor.Model()->index(RowOf("skin"), 3);
    ASSERT_TRUE(editor.Model()->setData(skin, "textures\\archer.tex", Qt::EditRole));
    EXPECT_EQ(editor.Document().Records()[0]->GetValue("skin"), "textures\\archer.tex");
    editor.DataView()->Search()->clear();
    EXPECT_EQ(Names(), (QStringList{"ActorName", "FileDescription"}));
}

TEST_F(CDbEditorTest, SavingSeveralRecordsOffersTheChecklistAndWritesTheTicked)
{
    ASSERT_TRUE(editor.OpenFiles({Record("archer"), Record("knight"), Record("scout")}));
    std::string scoutBefore = test::ReadFile(Record("scout"));
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    ASSERT_TRUE(editor.Model()->setData(editor.Model()->index(RowOf("speed"), 3), "11", Qt::EditRole));
    ASSERT_TRUE(editor.Model()->setData(editor.Model()->index(RowOf("speed"), 5), "13", Qt::EditRole));
    QStringList offered;
    editor.SetDialogRunner([&](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>();
        for (int i = 0; list && i < list->count(); ++i)
        {
            offered << list->item(i)->text();
            if (list->item(i)->text() == "scout.dbr")
                list->item(i)->setCheckState(Qt::Unchecked);
        }
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(editor.OnFileSave());
    EXPECT_EQ(offered, (QStringList{"archer.dbr", "scout.dbr"}));
    EXPECT_NE(test::ReadFile(Record("archer")).find("speed,11,\r\n"), std::string::npos);
    EXPECT_EQ(test::ReadFile(Record("scout")), scoutBefore);
    EXPECT_EQ(editor.windowTitle(), "Editing Record:archer.dbr + (Multiple Files)");
}

TEST_F(CDbEditorTest, TemplateModeEditsGroupsAndVariablesThroughItsCommands)
{
    ASSERT_TRUE(editor.OpenFile(temp / "Database/Templates/unit.tpl"));
    EXPECT_EQ(editor.windowTitle(), "Viewing Template:unit.tpl");
    EXPECT_TRUE(editor.TemplateBar()->isVisibleTo(&editor));
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    EXPECT_EQ(Headings(), (QStringList{"Name", "Class", "Type", "Default Value"}));
    EXPECT_NE(dynamic_cast<QLineEdit*>(EditorFor(RowOf("speed"), 0)), nullptr);
    auto* types = dynamic_cast<QComboBox*>(EditorFor(RowOf("speed"), 2));
    ASSERT_NE(types, nullptr);
    EXPECT_EQ(types->count(), 15);
    delete types;

    // Add group: a taken name is refused and the dialog asked again.
    int asked = 0;
    editor.SetDialogRunner([&](QDialog& dialog) {
        auto* group = dynamic_cast<CGroupDialog*>(&dialog);
        if (!group || asked == 2)
            return int(QDialog::Rejected);
        group->NameField()->setText(asked++ == 0 ? "Looks" : "Magic");
        return int(QDialog::Accepted);
    });
    editor.OnAddGroup();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(Messages(), std::vector<std::string>{
                              "A group with the name \"Looks\" already exists.  Please choose a different name"});
    EXPECT_EQ(editor.Tree()->SelectedGroup(), "Magic");
    ASSERT_NE(FindGroupByName(editor.Document().Template(), "Combat")->FindGroup("Magic"), nullptr);

    // Deleting the only subgroup selects its parent; undo puts it back.
    editor.OnDeleteGroup();
    EXPECT_EQ(editor.Tree()->SelectedGroup(), "Combat");
    editor.OnUndo();
    EXPECT_EQ(editor.Tree()->SelectedGroup(), "Magic");

    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    editor.List()->SelectRow(1);
    editor.TemplateBar()->insertVariable->trigger();
    EXPECT_EQ(Names(), (QStringList{"speed", "newEntry", "damage", "stance", "alive"}));
    EXPECT_EQ(editor.List()->SelectedRow(), 1);
    EXPECT_TRUE(editor.Model()->setData(editor.Model()->index(1, 0), "range", Qt::EditRole));
    EXPECT_FALSE(editor.Model()->setData(editor.Model()->index(1, 0), "Looks", Qt::EditRole));
    EXPECT_FALSE(editor.Model()->setData(editor.Model()->index(1, 0), "long range", Qt::EditRole));
    EXPECT_EQ(Cell("range", 0), "range");

    editor.TemplateBar()->deleteVariable->trigger();
    EXPECT_EQ(Names(), (QStringList{"speed", "damage", "stance", "alive"}));
    EXPECT_TRUE(editor.Document().IsModified());
}

TEST_F(CDbEditorTest, VariableDialogStaysOpenOnAFailedCheckAndOriginsAreShown)
{
    test::WriteFile(temp / "Database/Templates/base.tpl",
              "Group { name = \"All Groups\" type = \"list\"\nGroup { name = \"Extra\" type = \"list\"\n" +
                  test::EditorVariableText("armor", "int", "variable") + "}\n}\n");
    ASSERT_TRUE(editor.OpenFile(temp / "Database/Templates/unit.tpl"));
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    editor.List()->SelectRow(RowOf("speed"));
    std::vector<bool> accepted;
    editor.SetDialogRunner([&](QDialog& dialog) {
        auto* variableDialog = dynamic_cast<CEditByType*>(&dialog);
        EXPECT_FALSE(variableDialog->DefaultValueField()->Button()->isEnabled());
        variableDialog->TypeChoice()->setCurrentText("include");
        EXPECT_TRUE(variableDialog->DefaultValueField()->Button()->isEnabled());
        EXPECT_EQ(variableDialog->DefaultValueField()->Filter(), "Files (*.tpl);;All Files (*)");
        variableDialog->TypeChoice()->setCurrentText("int");
        auto fields = dialog.findChildren<QLineEdit*>();
        fields.front()->setText("Looks");
        dialog.accept();
        accepted.push_back(dialog.result() == QDialog::Accepted);
        fields.front()->setText("pace");
        dialog.accept();
        accepted.push_back(dialog.result() == QDialog::Accepted);
        return dialog.result();
    });
    editor.OnEditVariable();
    EXPECT_EQ(accepted, (std::vector<bool>{false, true}));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Constraint check failure: \"Looks\" already exists in this "
                                                   "template as a group or variable name.  Please choose a different "
                                                   "name."});
    EXPECT_EQ(Names().front(), "pace");
    editor.OnUndo();
    EXPECT_EQ(Names().front(), "speed");

    // In record mode the template is expanded: included variables name their file.
    editor.Document().InsertVariable("Combat", 0);
    ASSERT_TRUE(editor.Document().EditTemplateField("Combat", 0, TemplateField::Type, "include"));
    ASSERT_TRUE(editor.Document().EditTemplateField("Combat", 0, TemplateField::DefaultValue,
                                                    "%TEMPLATE_DIR%Database\\Templates\\base.tpl"));
    ASSERT_TRUE(editor.Document().Save());
    ASSERT_TRUE(editor.OpenFile(Record("archer")));
    workspace.prompt.messages.clear();
    ASSERT_TRUE(editor.Tree()->SelectGroup("Extra"));
    editor.List()->SelectRow(RowOf("armor"));
    editor.OnDefiningTemplate();
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    editor.List()->SelectRow(RowOf("speed"));
    editor.OnDefiningTemplate();
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[0], "This variable is defined in the template:\n" +
                                 temp.Path() + "Database\\Templates\\base.tpl");
    EXPECT_EQ(workspace.prompt.messages[0].caption, "Defining Template");
    EXPECT_EQ(Messages()[1], "This variable is defined in the template:\n" +
                                 temp.Path() + "Database\\Templates\\unit.tpl");
}

TEST_F(CDbEditorTest, DescriptionsSwitchAndColumnWidthsAreKeptInToolsIni)
{
    WriteProfileString("Database", "nameColumnWidth", "210", IniPath());
    CDbEditor configured(workspace, IniPath(), &workspace.prompt);
    ASSERT_TRUE(configured.OpenFile(temp / "Database/Templates/unit.tpl"));
    EXPECT_EQ(configured.List()->columnWidth(0), 210);
    EXPECT_EQ(configured.List()->columnWidth(1), DbEditorSettings::DefaultWidth(DbEditorColumn::Class));

    configured.OnToggleDescriptions();
    EXPECT_EQ(configured.Model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Description");
    EXPECT_EQ(configured.List()->columnWidth(3), 100);
    configured.List()->horizontalHeader()->resizeSection(1, 95);
    ASSERT_TRUE(configured.QueryClose(true));
    EXPECT_EQ(ReadProfileString("Database", "viewDescriptions", "", IniPath()), "1");
    EXPECT_EQ(ReadProfileString("Database", "classColumnWidth", "", IniPath()), "95");
    EXPECT_EQ(ReadProfileString("Database", "descriptionColumnWidth", "", IniPath()), "100");
    // Record value columns are not the Value column: its width is not written.
    EXPECT_EQ(ReadProfileString("Database", "valueColumnWidth", "none", IniPath()), "none");
}

TEST_F(CDbEditorTest, CloseFilesClosesTheTickedRecordsAfterTheSaveQuestion)
{
    ASSERT_TRUE(editor.OpenFiles({Record("archer"), Record("knight"), Record("scout")}));
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    ASSERT_TRUE(editor.Model()->setData(editor.Model()->index(RowOf("speed"), 4), "21", Qt::EditRole));
    editor.SetDialogRunner([](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>();
        EXPECT_EQ(dialog.windowTitle(), "Close Files");
        list->item(0)->setCheckState(Qt::Unchecked);
        return int(QDialog::Accepted);
    });
    workspace.prompt.answers.push_back(PromptAnswer::No);
    editor.OnFileCloseFiles();
    EXPECT_EQ(Messages(), std::vector<std::string>{"File \"knight.dbr\" is Modified.  Save?"});
    ASSERT_EQ(editor.Document().Records().size(), 1u);
    EXPECT_EQ(Headings(), (QStringList{"Name", "Class", "Type", "archer.dbr"}));
    EXPECT_EQ(editor.windowTitle(), "Editing Record:archer.dbr");
    EXPECT_EQ(editor.Document().History().Count(), 0u);
    EXPECT_EQ(test::ReadFile(Record("knight")).find("speed,21,"), std::string::npos);
}

TEST_F(CDbEditorTest, ClosingWithChangesAsksAndCancelKeepsTheWindowOpen)
{
    ASSERT_TRUE(editor.OpenFile(Record("archer")));
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    ASSERT_TRUE(editor.Model()->setData(editor.Model()->index(RowOf("speed"), 3), "8", Qt::EditRole));
    workspace.prompt.answers.push_back(PromptAnswer::Cancel);
    EXPECT_FALSE(editor.QueryClose(true));
    EXPECT_EQ(Messages(), std::vector<std::string>{"File(s) have been modified.  Would you like to save?"});
    EXPECT_EQ(workspace.prompt.messages[0].caption, "Database Editor");
    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    EXPECT_TRUE(editor.QueryClose(true));
    EXPECT_NE(test::ReadFile(Record("archer")).find("speed,8,\r\n"), std::string::npos);
}

TEST_F(CDbEditorTest, ClosingTheWindowAnswersYesNoAndCancelAsAsked)
{
    auto changedEditor = [&](std::unique_ptr<CDbEditor>& window) {
        window = std::make_unique<CDbEditor>(workspace, IniPath(), &workspace.prompt);
        EXPECT_TRUE(window->OpenFile(Record("archer")));
        EXPECT_TRUE(window->Tree()->SelectGroup("Combat"));
        int speedRow = -1;
        for (int row = 0; row < window->Model()->rowCount(); ++row)
            if (window->Model()->index(row, 0).data().toString() == QStringLiteral("speed"))
                speedRow = row;
        EXPECT_TRUE(window->Model()->setData(window->Model()->index(speedRow, 3), "8", Qt::EditRole));
        window->show();
    };
    std::string before = test::ReadFile(Record("archer"));
    std::unique_ptr<CDbEditor> window;
    changedEditor(window);
    workspace.prompt.answers.push_back(PromptAnswer::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(workspace.prompt.messages.back().buttons, PromptButtons::YesNoCancel);
    workspace.prompt.answers.push_back(PromptAnswer::No);
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(test::ReadFile(Record("archer")), before);

    changedEditor(window);
    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    EXPECT_TRUE(window->close());
    EXPECT_NE(test::ReadFile(Record("archer")).find("speed,8,\r\n"), std::string::npos);
    EXPECT_EQ(workspace.prompt.messages.size(), 3u);
}

TEST_F(CDbEditorTest, MultipleEditFromTheWindowThenCancelLeavesEveryRecordUnchanged)
{
    ASSERT_TRUE(editor.OpenFiles({Record("archer"), Record("knight"), Record("scout")}));
    editor.show();
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    editor.List()->SelectRow(RowOf("speed"));
    int shown = 0;
    editor.SetDialogRunner([&](QDialog& dialog) {
        auto* multiple = dynamic_cast<CMultipleEditDialog*>(&dialog);
        if (!multiple)
            return int(QDialog::Rejected);
        ++shown;
        multiple->Table()->item(0, 1)->setText("9");
        multiple->Table()->item(2, 1)->setText("x");
        multiple->accept(); // refused at the third row
        EXPECT_NE(multiple->result(), int(QDialog::Accepted));
        multiple->reject();
        return multiple->result();
    });
    QAction* action = nullptr;
    for (QAction* candidate : editor.findChildren<QAction*>())
        if (candidate->text().contains(QStringLiteral("Multiple")))
            action = candidate;
    ASSERT_NE(action, nullptr);
    action->trigger();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(Cell("speed", 3), "3");
    EXPECT_EQ(Cell("speed", 5), "5");
    EXPECT_FALSE(editor.Document().IsModified());
    editor.hide();
}

TEST_F(CDbEditorTest, FileButtonsOfferTheirExtensionsAndWriteRelativeValues)
{
    CInPlaceFileButton include("tpl", CInPlaceFileButton::PathForm::TemplateDir, temp.Path(), "", nullptr);
    EXPECT_EQ(include.Filter(), "Files (*.tpl);;All Files (*)");
    QString offeredFilter;
    include.SetChooser([&](const QString& filter, const QString&) {
        offeredFilter = filter;
        return QString::fromStdString(temp / "Database/Templates/item.tpl");
    });
    include.Browse();
    EXPECT_EQ(offeredFilter, "Files (*.tpl);;All Files (*)");
    EXPECT_EQ(include.Text(), "%TEMPLATE_DIR%Database\\Templates\\item.tpl");

    CInPlaceFileButton sound("wav,mp3", CInPlaceFileButton::PathForm::Relative, temp.Path(), "", nullptr);
    EXPECT_EQ(sound.Filter(), "Files (*.wav *.mp3);;All Files (*)");
    QString start;
    sound.SetChooser([&](const QString&, const QString& folder) {
        start = folder;
        return QString::fromStdString(temp / "database/sounds/hit.wav");
    });
    sound.Browse();
    EXPECT_EQ(sound.Text(), "sounds\\hit.wav");
    // The last chosen folder is offered next time.
    sound.Browse();
    EXPECT_EQ(start.toStdString(), temp / "database/sounds");
}

TEST_F(CDbEditorTest, FileButtonsPickFromTheBuiltArchivesWhenTheApplicationOffersThem)
{
    std::string askedExtensions, askedMod;
    std::string answer = "database/records/items/Sword.dbr";
    CInPlaceFileButton::SetArchiveBrowser([&](QWidget*, const std::string& extensions, const std::string& mod) {
        askedExtensions = extensions;
        askedMod = mod;
        return answer;
    });
    // The browser is the application's for the whole run; this test gives it back.
    std::shared_ptr<void> unset(nullptr, [](void*) { CInPlaceFileButton::SetArchiveBrowser(nullptr); });
    CInPlaceFileButton record("dbr", CInPlaceFileButton::PathForm::Relative, temp.Path(), "Fjord", nullptr);
    CInPlaceFileButton include("tpl", CInPlaceFileButton::PathForm::TemplateDir, temp.Path(), "", nullptr);

    // The button itself opens the archives; its menu keeps the files on disk.
    ASSERT_NE(record.Button()->menu(), nullptr);
    ASSERT_EQ(record.Button()->menu()->actions().size(), 2);
    record.Button()->click();
    EXPECT_EQ(askedExtensions, "dbr");
    EXPECT_EQ(askedMod, "Fjord");
    EXPECT_EQ(record.Text(), "records\\items\\Sword.dbr");
    // A cancelled browse keeps the value.
    answer.clear();
    record.Button()->click();
    EXPECT_EQ(record.Text(), "records\\items\\Sword.dbr");
    record.SetChooser([&](const QString&, const QString&) {
        return QString::fromStdString(temp / "CustomMaps/Fjord/assets/sounds/hit.wav");
    });
    record.Button()->menu()->actions().at(1)->trigger();
    EXPECT_EQ(record.Text(), "sounds\\hit.wav");

    // Template paths are always files on disk below the working folder, also
    // when a value's type changes to an include.
    EXPECT_EQ(include.Button()->menu(), nullptr);
    record.SetKind("tpl", CInPlaceFileButton::PathForm::TemplateDir);
    EXPECT_EQ(record.Button()->menu(), nullptr);
}

TEST_F(CDbEditorTest, TemplateFieldsPickTheFolderOfTheirTemplates)
{
    std::string offered;
    std::string answer = temp / "Database/Templates/units";
    EnsureFolders(answer + "/");
    CInPlaceFileButton::SetTemplateFolderBrowser([&](QWidget*, const std::string& current) {
        offered = current;
        return answer;
    });
    std::shared_ptr<void> unset(nullptr, [](void*) { CInPlaceFileButton::SetTemplateFolderBrowser(nullptr); });
    CInPlaceFileButton include("tpl", CInPlaceFileButton::PathForm::TemplateDir, temp.Path(), "", nullptr);
    CInPlaceFileButton sound("wav", CInPlaceFileButton::PathForm::Relative, temp.Path(), "", nullptr);
    EXPECT_EQ(sound.Button()->menu(), nullptr);
    ASSERT_NE(include.Button()->menu(), nullptr);
    QAction* folderAction = include.Button()->menu()->actions().value(1);
    ASSERT_NE(folderAction, nullptr);
    EXPECT_EQ(folderAction->text(), "Template Folder...");

    // It opens at the working folder's templates; the chosen folder is the
    // field's text and the place the file browse then opens at.
    folderAction->trigger();
    EXPECT_EQ(offered, ToForwardSlashes(temp / "Database/Templates"));
    EXPECT_EQ(include.Text(), "%TEMPLATE_DIR%Database\\Templates\\units\\");
    QString start;
    include.SetChooser([&](const QString&, const QString& folder) {
        start = folder;
        return QString();
    });
    include.Button()->click();
    EXPECT_EQ(start.toStdString(), ToForwardSlashes(answer));
    EXPECT_EQ(include.Text(), "%TEMPLATE_DIR%Database\\Templates\\units\\");

    // Opened again, it starts at the folder the field names; cancelled, the text stays.
    answer.clear();
    folderAction->trigger();
    EXPECT_EQ(offered, ToForwardSlashes(temp / "Database/Templates/units"));
    EXPECT_EQ(include.Text(), "%TEMPLATE_DIR%Database\\Templates\\units\\");
}

TEST_F(CDbEditorTest, WindowsOpenOnTheFirstGroupThatHoldsValues)
{
    // The top group holds only the static class: the window opens on the
    // first group with a value the user sets, for records and templates.
    ASSERT_TRUE(editor.OpenFile(Record("archer")));
    EXPECT_EQ(editor.Tree()->SelectedGroup(), "Header");
    EXPECT_EQ(Names(), (QStringList{"ActorName", "FileDescription"}));
    CDbEditor templateEditor(workspace, IniPath(), &workspace.prompt);
    ASSERT_TRUE(templateEditor.OpenFile(temp / "Database/Templates/unit.tpl"));
    EXPECT_EQ(templateEditor.Tree()->SelectedGroup(), "Header");

    // A top group that holds only an include is skipped too; one with a value is kept.
    test::WriteFile(temp / "Database/Templates/hero.tpl",
              "Group { name = \"All Groups\" type = \"list\"\n" +
                  test::EditorVariableText("Include File", "include", "variable",
                                           "%TEMPLATE_DIR%Database\\Templates\\missing.tpl") +
                  "Group { name = \"Stats\" type = \"list\"\n" + test::EditorVariableText("level", "int", "variable") +
                  "}\n}\n");
    CDbEditor includeEditor(workspace, IniPath(), &workspace.prompt);
    ASSERT_TRUE(includeEditor.OpenFile(temp / "Database/Templates/hero.tpl"));
    EXPECT_EQ(includeEditor.Tree()->SelectedGroup(), "Stats");
    CDbEditor itemEditor(workspace, IniPath(), &workspace.prompt);
    ASSERT_TRUE(itemEditor.OpenFile(Record("sword")));
    EXPECT_EQ(itemEditor.Tree()->SelectedGroup(), "All Groups");
}

TEST_F(CDbEditorTest, ValueColumnsFitTheirValuesAndKeepTheWidthTheUserGaveThem)
{
    ASSERT_TRUE(editor.OpenFiles({Record("archer"), Record("knight")}));
    ASSERT_TRUE(editor.Tree()->SelectGroup("Header"));
    std::string longName(24, 'w');
    ASSERT_TRUE(editor.Model()->setData(editor.Model()->index(RowOf("ActorName"), 3), QString::fromStdString(longName),
                                        Qt::EditRole));
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    ASSERT_TRUE(editor.Tree()->SelectGroup("Header"));
    int valueWidth = editor.List()->fontMetrics().horizontalAdvance(QString::fromStdString(longName));
    EXPECT_GE(editor.List()->columnWidth(3), valueWidth);
    int knightWidth = editor.List()->columnWidth(4);
    EXPECT_LT(knightWidth, valueWidth);

    // Widened by the user, the column keeps that width on other groups.
    editor.List()->horizontalHeader()->resizeSection(4, knightWidth + 150);
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    EXPECT_EQ(editor.List()->columnWidth(4), knightWidth + 150);
    ASSERT_TRUE(editor.Tree()->SelectGroup("Header"));
    EXPECT_EQ(editor.List()->columnWidth(4), knightWidth + 150);
}

TEST(EditorPlacementRules, BesideTheMainWindowWholeOnTheScreenOrWhereTheUserLeftIt)
{
    const QRect screen(0, 0, 1920, 1040);
    const QSize wanted(1000, 640);
    struct Case
    {
        const char* what;
        QRect remembered, main;
        QSize wanted;
        QRect expected;
    };
    const Case cases[] = {
        {"right of a main window that leaves room", QRect(), QRect(0, 0, 900, 700), wanted,
         QRect(900, 0, 1000, 640)},
        {"left of a main window on the right", QRect(), QRect(1000, 100, 900, 700), wanted,
         QRect(0, 100, 1000, 640)},
        {"over a main window that fills the screen, moved back inside", QRect(), QRect(0, 0, 1920, 1040), wanted,
         QRect(40, 40, 1000, 640)},
        {"too large: shrunk to the screen", QRect(), QRect(), QSize(2500, 1400), QRect(0, 0, 1920, 1040)},
        {"no main window: centred", QRect(), QRect(), wanted, QRect(460, 200, 1000, 640)},
        {"remembered and on the screen", QRect(300, 200, 800, 500), QRect(0, 0, 900, 700), wanted,
         QRect(300, 200, 800, 500)},
        {"remembered off the screen: beside the main window", QRect(3000, 200, 800, 500), QRect(0, 0, 900, 700),
         wanted, QRect(900, 0, 1000, 640)},
    };
    for (const Case& c : cases)
    {
        QRect placed = EditorPlacement(c.remembered, c.main, screen, c.wanted);
        EXPECT_EQ(placed, c.expected) << c.what;
        EXPECT_TRUE(screen.contains(placed)) << c.what;
    }
}

TEST_F(CDbEditorTest, TheManagerPlacesWindowsOnTheScreenAndRemembersWhereTheyWere)
{
    QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    QRect left;
    {
        CDbEditorManager manager(workspace, IniPath());
        CDbEditor* window = manager.OpenInDatabaseEditor(Record("archer"));
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(available.contains(window->frameGeometry()));
        window->setGeometry(QRect(available.topLeft() + QPoint(30, 40), QSize(400, 300)));
        left = window->frameGeometry();
        EXPECT_TRUE(manager.CloseAll(true));
        QApplication::processEvents();
    }
    EXPECT_EQ(ReadProfileString("Database", "windowWidth", "", IniPath()), std::to_string(left.width()));
    CDbEditorManager manager(workspace, IniPath());
    CDbEditor* reopened = manager.OpenInDatabaseEditor(Record("knight"));
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->frameGeometry(), left);
    EXPECT_TRUE(manager.CloseAll(true));
    QApplication::processEvents();
}

TEST_F(CDbEditorTest, TheManagerOpensRecordsOfOneTemplateInOneWindow)
{
    CDbEditorManager manager(workspace, IniPath());
    CDbEditor* first = manager.OpenInDatabaseEditor(Record("archer"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(manager.OpenInDatabaseEditor(ToBackslashes(Record("knight"))), first);
    EXPECT_EQ(first->Document().Records().size(), 2u);
    CDbEditor* other = manager.OpenInDatabaseEditor(Record("sword"));
    EXPECT_NE(other, first);
    EXPECT_EQ(manager.Editors().size(), 2u);
    EXPECT_EQ(manager.OpenInDatabaseEditor(temp / "notes.txt"), nullptr);
    EXPECT_TRUE(manager.CloseAll(true));
    QApplication::processEvents();
}

TEST_F(CDbEditorTest, ScreenshotsOfBothModes)
{
    // MW_SCREENS names a folder for a person to look at the pictures.
    const char* chosen = std::getenv("MW_SCREENS");
    std::string folder = chosen && *chosen ? chosen : MW_SCREENSHOT_DIR;
    ASSERT_TRUE(EnsureFolders(folder + "/"));
    ASSERT_TRUE(editor.OpenFile(temp / "Database/Templates/unit.tpl"));
    editor.OnToggleDescriptions();
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    editor.List()->SelectRow(0);
    editor.resize(1000, 520);
    editor.show();
    QApplication::processEvents();
    EXPECT_TRUE(editor.grab().save(QString::fromStdString(folder + "/template-mode.png")));

    editor.OnToggleDescriptions();
    ASSERT_TRUE(editor.OpenFiles({Record("archer"), Record("knight"), Record("scout")}));
    EXPECT_TRUE(editor.Document().Mode() == DbEditorMode::Record);
    ASSERT_TRUE(editor.Tree()->SelectGroup("Combat"));
    editor.List()->SelectRow(1);
    QApplication::processEvents();
    EXPECT_TRUE(editor.grab().save(QString::fromStdString(folder + "/record-mode.png")));

    CMultipleEditDialog dialog(editor.Document(), "damage", CMultipleEditDialog::Form::Array, "knight.dbr", false,
                               &editor);
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(dialog.grab().save(QString::fromStdString(folder + "/multiple-edit.png")));
    dialog.hide();

    CNewDocumentDialog newDialog(temp.Path(), &editor);
    newDialog.RecordChoice()->setChecked(true);
    newDialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(newDialog.grab().save(QString::fromStdString(folder + "/new-dialog.png")));
    newDialog.hide();
    editor.hide();
}

} // namespace
} // namespace mw
