// The Database Editor's documents without a window: opening records and
// templates with their refusals, new documents, saving, and the edits with
// their undo.
#include "dbtext/DbEditorDocument.h"
#include "dbtext/IDbEditorHost.h"
#include "dbtext/TemplateEditing.h"
#include "platform/PathRules.h"
#include "support/FakeWorkspace.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

std::string VariableText(const std::string& name, const std::string& type = "string",
                         const std::string& varClass = "variable", const std::string& defaultValue = "")
{
    return "Variable { name = \"" + name + "\" class = \"" + varClass + "\" type = \"" + type +
           "\" description = \"\" value = \"\" defaultValue = \"" + defaultValue + "\" }\n";
}

std::string TemplateText(const std::string& members)
{
    return "Group { name = \"All Groups\" type = \"list\"\n" + members + "}\n";
}

class ScriptedHost : public IDbEditorHost
{
public:
    bool AskTemplateName(std::string& templateName) override
    {
        ++templateQuestions;
        templateName = templateAnswer;
        return !templateAnswer.empty();
    }
    bool ChooseFilesToSave(const std::vector<std::string>& shortNames, std::vector<bool>& ticked) override
    {
        offered = shortNames;
        ticked = tick;
        ticked.resize(shortNames.size(), false);
        return true;
    }
    void DocumentsChanged() override { ++changes; }
    void ShowChange(const std::string& groupName, int row) override { shown.push_back(groupName + ":" + std::to_string(row)); }

    std::string templateAnswer;
    int templateQuestions = 0;
    std::vector<std::string> offered;
    std::vector<bool> tick;
    int changes = 0;
    std::vector<std::string> shown;
};

class DbEditorDocumentTest : public ::testing::Test
{
protected:
    DbEditorDocumentTest() : workspace(temp.Path(), temp / "build/"), editor(workspace, workspace.prompt, &host)
    {
        WriteFile(temp / "Database/Templates/unit.tpl",
                  TemplateText(VariableText("speed", "int") + VariableText("name") +
                               VariableText("Class", "string", "static", "Unit") +
                               "Group { name = \"Header\" type = \"system\"\n" + VariableText("ActorName") +
                               VariableText("FileDescription") + "}\n"));
        WriteFile(temp / "Database/Templates/item.tpl", TemplateText(VariableText("weight", "real")));
        WriteFile(temp / "database/records/a.dbr", "templateName,%TEMPLATE_DIR%Database\\Templates\\unit.tpl,\r\n"
                                                   "speed,3,\r\n");
        WriteFile(temp / "database/records/b.dbr", "templateName,%TEMPLATE_DIR%Database\\Templates\\unit.tpl,\r\n"
                                                   "speed,4,\r\n");
        WriteFile(temp / "database/records/item.dbr",
                  "templateName,%TEMPLATE_DIR%Database\\Templates\\item.tpl,\r\nweight,1.5,\r\n");
        WriteFile(temp / "database/records/bare.dbr", "speed,9,\r\n");
    }

    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const auto& message : workspace.prompt.messages)
            texts.push_back(message.text);
        return texts;
    }

    TempFolder temp;
    test::FakeWorkspace workspace;
    ScriptedHost host;
    DbEditorDocument editor;
};

TEST_F(DbEditorDocumentTest, RecordsOfOneTemplateOpenSideBySideAndOthersAreRefused)
{
    EXPECT_EQ(editor.Title(), "Database Editor");
    ASSERT_TRUE(editor.OpenFile(temp / "database/records/a.dbr"));
    EXPECT_EQ(editor.Mode(), DbEditorMode::Record);
    EXPECT_EQ(editor.Title(), "Editing Record:a.dbr");
    // Binding filled in the static default.
    EXPECT_EQ(editor.Records()[0]->GetValue("Class"), "Unit");

    ASSERT_TRUE(editor.OpenFile(temp / "database/records/b.dbr"));
    EXPECT_EQ(editor.Title(), "Editing Record:a.dbr + (Multiple Files)");

    EXPECT_FALSE(editor.OpenFile(temp / "database/records/item.dbr"));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0],
              "The record \"item.dbr\" cannot be opened, as it uses a different template than the one currently open.");
    EXPECT_EQ(editor.Records().size(), 2u);

    // A template name in another case names the same template.
    WriteFile(temp / "database/records/lower.dbr",
              "templateName,%template_dir%database/templates/UNIT.tpl,\r\nspeed,6,\r\n");
    ASSERT_TRUE(editor.OpenFile(temp / "database/records/lower.dbr"));
    EXPECT_EQ(editor.Records().size(), 3u);

    // Forward and back slashes name the same file: it is not added twice.
    std::string backslashed = ToBackslashes(temp / "database/records/a.dbr");
    EXPECT_TRUE(editor.OpenFile(backslashed));
    EXPECT_EQ(editor.Records().size(), 3u);
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(DbEditorDocumentTest, ARecordWithoutTemplateAsksToApplyTheOpenOne)
{
    // The name given stays resolvable against the working folder while a mod is selected.
    workspace.modName = "m1";
    ASSERT_TRUE(editor.OpenFile(temp / "database/records/a.dbr"));
    workspace.prompt.answers.push_back(PromptAnswer::No);
    EXPECT_FALSE(editor.OpenFile(temp / "database/records/bare.dbr"));
    ASSERT_EQ(workspace.prompt.messages.size(), 1u);
    EXPECT_EQ(workspace.prompt.messages[0].text,
              "The record \"bare.dbr\" has no template.  Apply the open template to this file?");
    EXPECT_EQ(workspace.prompt.messages[0].caption, "DbEditor");
    EXPECT_EQ(editor.Records().size(), 1u);

    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    ASSERT_TRUE(editor.OpenFile(temp / "database/records/bare.dbr"));
    DbRecord* bare = editor.FindOpenRecordByName("bare.dbr");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->GetTemplateName(), "Database\\Templates\\unit.tpl");
    EXPECT_TRUE(bare->FileState().IsModified());
    EXPECT_EQ(bare->GetValue("speed"), "9");
}

TEST_F(DbEditorDocumentTest, ARecordWithoutTemplateAloneAsksForTheTemplateName)
{
    EXPECT_FALSE(editor.OpenFile(temp / "database/records/bare.dbr"));
    EXPECT_EQ(host.templateQuestions, 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error loading record file or associated template"});
    EXPECT_EQ(editor.Mode(), DbEditorMode::None);
    workspace.prompt.messages.clear();
    EXPECT_FALSE(editor.OpenFiles({temp / "database/records/a.dbr", temp / "Database/Templates/unit.tpl"}));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"To open multiple files, all must be database record files (*.dbr)"});
    EXPECT_EQ(editor.Mode(), DbEditorMode::None);

    host.templateAnswer = "%TEMPLATE_DIR%Database\\Templates\\unit.tpl";
    ASSERT_TRUE(editor.OpenFile(temp / "database/records/bare.dbr"));
    EXPECT_TRUE(editor.Records()[0]->FileState().IsModified());
}

TEST_F(DbEditorDocumentTest, SaveAsWithTwoRecordsIsRefusedAndSaveOffersTheModifiedOnes)
{
    ASSERT_TRUE(editor.OpenFile(temp / "database/records/a.dbr"));
    ASSERT_TRUE(editor.OpenFile(temp / "database/records/b.dbr"));
    std::string bBefore = ReadFile(temp / "database/records/b.dbr");
    EXPECT_FALSE(editor.SaveAs());
    EXPECT_EQ(Messages(), std::vector<std::string>{"SaveAs is disabled when more than one file is open."});

    ASSERT_TRUE(editor.EditRecordValue("a.dbr", "speed", "30"));
    ASSERT_TRUE(editor.EditRecordValue("b.dbr", "speed", "40"));
    host.tick = {true, false};
    EXPECT_TRUE(editor.Save());
    EXPECT_EQ(host.offered, (std::vector<std::string>{"a.dbr", "b.dbr"}));
    EXPECT_NE(ReadFile(temp / "database/records/a.dbr").find("speed,30,\r\n"), std::string::npos);
    EXPECT_EQ(ReadFile(temp / "database/records/b.dbr"), bBefore);
    EXPECT_FALSE(editor.FindOpenRecordByName("a.dbr")->FileState().IsModified());
    EXPECT_TRUE(editor.FindOpenRecordByName("b.dbr")->FileState().IsModified());
}

TEST_F(DbEditorDocumentTest, AValueEditSavedAndReopenedGivesTheSameBytes)
{
    ASSERT_TRUE(editor.OpenFile(temp / "database/records/a.dbr"));
    EXPECT_FALSE(editor.EditRecordValue("a.dbr", "speed", "1,2"));
    ASSERT_TRUE(editor.EditRecordValue("a.dbr", "speed", "12"));
    ASSERT_TRUE(editor.EditRecordValue("a.dbr", "name", "Knight"));
    EXPECT_TRUE(editor.IsModified());
    editor.Undo();
    EXPECT_EQ(editor.Records()[0]->GetValue("name"), "");
    editor.Redo();
    ASSERT_TRUE(editor.Save());
    EXPECT_FALSE(editor.IsModified());
    std::string saved = ReadFile(temp / "database/records/a.dbr");
    EXPECT_EQ(saved, "templateName,%TEMPLATE_DIR%Database\\Templates\\unit.tpl,\r\nActorName,,\r\nClass,Unit,\r\n"
                     "FileDescription,,\r\nname,Knight,\r\nspeed,12,\r\n");

    DbEditorDocument second(workspace, workspace.prompt, &host);
    ASSERT_TRUE(second.OpenFile(temp / "database/records/a.dbr"));
    EXPECT_FALSE(second.IsModified());
    ASSERT_TRUE(second.Save());
    EXPECT_EQ(ReadFile(temp / "database/records/a.dbr"), saved);
}

TEST_F(DbEditorDocumentTest, NewRecordIsRefusedWhileOneIsOpen)
{
    EXPECT_FALSE(editor.NewRecord(""));
    ASSERT_TRUE(editor.NewRecord("%TEMPLATE_DIR%Database\\Templates\\unit.tpl"));
    EXPECT_EQ(editor.Title(), "Editing Record:Untitled.dbr");
    EXPECT_EQ(editor.Records()[0]->GetValue("Class"), "Unit");
    EXPECT_FALSE(editor.NewRecord("%TEMPLATE_DIR%Database\\Templates\\unit.tpl"));
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Template File Name is required to create a new database record.",
                              "File->New is disabled when record file(s) are already open."}));
    EXPECT_EQ(editor.Records().size(), 1u);

    // Saving an untitled record asks for its path; edits made under the
    // untitled name are forgotten with it.
    ASSERT_TRUE(editor.EditRecordValue("Untitled.dbr", "speed", "5"));
    workspace.prompt.savePaths.push_back(temp / "database/records/new.dbr");
    ASSERT_TRUE(editor.Save());
    EXPECT_FALSE(editor.IsModified());
    EXPECT_EQ(editor.History().Count(), 0u);
    EXPECT_NE(ReadFile(temp / "database/records/new.dbr").find("speed,5,"), std::string::npos);
}

TEST_F(DbEditorDocumentTest, OpeningATemplateEnsuresItsHeader)
{
    ASSERT_TRUE(editor.OpenFile(temp / "Database/Templates/unit.tpl"));
    EXPECT_EQ(editor.Title(), "Viewing Template:unit.tpl");
    EXPECT_FALSE(editor.IsModified());

    ASSERT_TRUE(editor.OpenFile(temp / "Database/Templates/item.tpl"));
    EXPECT_TRUE(editor.IsModified());
    DbGroup* header = FindGroupByName(editor.Template(), "Header");
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->type, "system");
    ASSERT_EQ(header->variables.size(), 3u);
    EXPECT_EQ(header->variables[0]->name, "ActorName");
    EXPECT_EQ(header->variables[1]->name, "Class");
    EXPECT_EQ(header->variables[1]->varClass, "static");
    EXPECT_EQ(header->variables[2]->name, "FileDescription");

    // A template that does not parse is reported and changes nothing.
    WriteFile(temp / "Database/Templates/broken.tpl", "Group { name = All Groups }\n");
    workspace.prompt.answers.push_back(PromptAnswer::No);
    EXPECT_FALSE(editor.OpenFile(temp / "Database/Templates/broken.tpl"));
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "File \"item.tpl\" is Modified.  Save?",
                              "The template \"broken.tpl\" could not be read: it is not in the template format."}));
    EXPECT_EQ(editor.Title(), "Viewing Template:item.tpl");
    workspace.prompt.messages.clear();

    // A record can't join a template being edited: the template is closed
    // first, after the save question.
    workspace.prompt.answers.push_back(PromptAnswer::Cancel);
    EXPECT_FALSE(editor.OpenFile(temp / "database/records/a.dbr"));
    EXPECT_EQ(editor.Mode(), DbEditorMode::Template);
    EXPECT_EQ(Messages(), std::vector<std::string>{"File \"item.tpl\" is Modified.  Save?"});
}

TEST_F(DbEditorDocumentTest, TemplateSaveIsRefusedForADuplicateName)
{
    ASSERT_TRUE(editor.OpenFile(temp / "Database/Templates/unit.tpl"));
    std::string before = ReadFile(temp / "Database/Templates/unit.tpl");
    int row = editor.InsertVariable("All Groups", 0);
    ASSERT_EQ(row, 0);
    EXPECT_FALSE(editor.EditTemplateField("All Groups", row, TemplateField::Name, "speed"));
    EXPECT_EQ(editor.Template().Root().variables[0]->name, "newEntry");
    // A name taken by an include's variable is only found on the expanded copy.
    WriteFile(temp / "Database/Templates/base.tpl",
              TemplateText("Group { name = \"Extra\" type = \"list\"\n" + VariableText("newEntry") + "}\n"));
    ASSERT_TRUE(editor.EditTemplateField("All Groups", row, TemplateField::Type, "int"));
    editor.InsertVariable("All Groups", 1);
    ASSERT_TRUE(editor.EditTemplateField("All Groups", 1, TemplateField::Type, "include"));
    ASSERT_TRUE(editor.EditTemplateField("All Groups", 1, TemplateField::DefaultValue,
                                         "%TEMPLATE_DIR%Database\\Templates\\base.tpl"));
    workspace.prompt.messages.clear();
    EXPECT_FALSE(editor.Save());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Group or Variable name collisions found.  Detailed error logging "
                                                   "can be found in MWEdit.log"});
    EXPECT_TRUE(workspace.HasLine("    Variable: \"newEntry\""));
    EXPECT_EQ(ReadFile(temp / "Database/Templates/unit.tpl"), before);

    ASSERT_TRUE(editor.EditTemplateField("All Groups", 0, TemplateField::Name, "armor"));
    ASSERT_TRUE(editor.Save());
    EXPECT_FALSE(editor.IsModified());
    EXPECT_EQ(editor.History().Count(), 0u);
}

TEST_F(DbEditorDocumentTest, GroupCommandsKeepTheHeaderAndUndoRestoresPlaces)
{
    ASSERT_TRUE(editor.NewTemplate());
    EXPECT_EQ(editor.Title(), "Viewing Template:Untitled.tpl");
    std::string selectAfter;
    EXPECT_FALSE(editor.DeleteGroup("Header", selectAfter));
    EXPECT_FALSE(editor.DeleteGroup("", selectAfter));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Cannot delete required group \"Header\"", "No Item Selected"}));

    ASSERT_TRUE(editor.AddGroup("All Groups", "Combat", "list"));
    ASSERT_TRUE(editor.AddGroup("All Groups", "Looks", "list"));
    ASSERT_TRUE(editor.AddGroup("Combat", "Melee", "list"));
    EXPECT_FALSE(editor.AddGroup("Looks", "Melee", "list"));
    EXPECT_EQ(Messages().back(), "A group with the name \"Melee\" already exists.  Please choose a different name");

    // The only subgroup selects its parent; a middle one its previous sibling.
    ASSERT_TRUE(editor.DeleteGroup("Melee", selectAfter));
    EXPECT_EQ(selectAfter, "Combat");
    ASSERT_TRUE(editor.DeleteGroup("Combat", selectAfter));
    EXPECT_EQ(selectAfter, "Header");
    DbGroup& root = editor.Template().Root();
    ASSERT_EQ(root.subgroups.size(), 2u);

    editor.Undo();
    ASSERT_EQ(root.subgroups.size(), 3u);
    EXPECT_EQ(root.subgroups[1]->name, "Combat");
    EXPECT_EQ(root.subgroups[2]->name, "Looks");
    editor.Undo();
    ASSERT_EQ(root.subgroups[1]->subgroups.size(), 1u);
    EXPECT_EQ(root.subgroups[1]->subgroups[0]->name, "Melee");
    editor.Redo();
    editor.Redo();
    EXPECT_EQ(root.subgroups.size(), 2u);

    EXPECT_FALSE(editor.EditGroup("Header", "Top", "system"));
    ASSERT_TRUE(editor.EditGroup("Looks", "Appearance", "list"));
    editor.Undo();
    EXPECT_EQ(root.subgroups[1]->name, "Looks");
}

TEST_F(DbEditorDocumentTest, VariablesAreInsertedAsNewEntriesAndDeletedWithUndo)
{
    ASSERT_TRUE(editor.NewTemplate());
    EXPECT_EQ(editor.InsertVariable("Header", 0), 0);
    EXPECT_EQ(editor.InsertVariable("Header", 0), 0);
    DbGroup* header = FindGroupByName(editor.Template(), "Header");
    EXPECT_EQ(header->variables[0]->name, "newEntry0");
    EXPECT_EQ(header->variables[1]->name, "newEntry");
    EXPECT_EQ(header->variables[0]->varClass, "variable");
    EXPECT_EQ(header->variables[0]->type, "int");

    EXPECT_FALSE(editor.DeleteVariable("Header", -1));
    EXPECT_EQ(Messages(), std::vector<std::string>{"No Entry Selected"});
    ASSERT_TRUE(editor.DeleteVariable("Header", 1));
    EXPECT_EQ(header->variables[1]->name, "ActorName");
    editor.Undo();
    EXPECT_EQ(header->variables[1]->name, "newEntry");

    // Renaming to a group's name is refused; keeping its own name passes.
    EXPECT_FALSE(editor.EditTemplateField("Header", 1, TemplateField::Name, "Header"));
    EXPECT_TRUE(editor.EditTemplateField("Header", 1, TemplateField::Name, "newEntry"));
    EXPECT_FALSE(editor.EditTemplateField("Header", 1, TemplateField::Description, "say \"hi\""));
    EXPECT_EQ(header->variables[1]->description, "");
}

TEST(TemplateEditingRules, NewEntryNamesAndVariableDialogChecks)
{
    DbTemplate dbTemplate;
    dbTemplate.Clear();
    EXPECT_EQ(NewEntryName(dbTemplate), "newEntry");
    dbTemplate.Root().variables.push_back(std::make_unique<DbVariable>("newEntry", "variable", "int"));
    dbTemplate.Root().variables.push_back(std::make_unique<DbVariable>("newEntry0", "variable", "int"));
    EXPECT_EQ(NewEntryName(dbTemplate), "newEntry1");
    dbTemplate.Root().subgroups.push_back(std::make_unique<DbGroup>("Stats", "list"));

    test::FakeWorkspace workspace("/w/", "/b/");
    DbVariable edited("Stats", "variable", "int");
    EXPECT_FALSE(CheckVariableDialog(&dbTemplate, edited, "newEntry", workspace.prompt));
    edited.name = "newEntry";
    EXPECT_TRUE(CheckVariableDialog(&dbTemplate, edited, "newEntry", workspace.prompt));
    edited.type.clear();
    EXPECT_FALSE(CheckVariableDialog(&dbTemplate, edited, "newEntry", workspace.prompt));
    edited.type = "int";
    edited.name = "Include File";
    EXPECT_FALSE(CheckVariableDialog(&dbTemplate, edited, "newEntry", workspace.prompt));
    EXPECT_TRUE(CheckVariableDialog(nullptr, edited, "newEntry", workspace.prompt));
    std::vector<std::string> texts;
    for (const auto& message : workspace.prompt.messages)
        texts.push_back(message.text);
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Constraint check failure: \"Stats\" already exists in this template as a group or variable "
                         "name.  Please choose a different name.",
                         "Type and Name values are required.  Please select both to proceed.",
                         "Constraint check failure: \"Include File\" is a reserved identifier.  Please choose a "
                         "different name.",
                         "Internal Error: EditDialog invoked with a NULL Template pointer"}));
}

} // namespace
} // namespace mw
