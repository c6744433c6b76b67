// The Database Editor's documents, commands and edits.
#include "DbEditorDocument.h"

#include "GroupAddAction.h"
#include "GroupDeleteAction.h"
#include "GroupEditAction.h"
#include "IDbEditorHost.h"
#include "MultipleValueEditAction.h"
#include "RecordValueEditAction.h"
#include "TemplateBinding.h"
#include "TemplateCellEditAction.h"
#include "TemplateEditing.h"
#include "TemplateValidation.h"
#include "ValueTypeCheck.h"
#include "VariableDeleteAction.h"
#include "VariableInsertAction.h"
#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {
namespace {

const char* const kLoadError = "Error loading record file or associated template";

bool SameVariable(const DbVariable& a, const DbVariable& b)
{
    return a.name == b.name && a.description == b.description && a.varClass == b.varClass && a.type == b.type &&
           a.value == b.value && a.defaultValue == b.defaultValue && a.sourceFile == b.sourceFile;
}

int RowOf(const DbGroup& group, const DbVariable* variable)
{
    for (size_t i = 0; i < group.variables.size(); ++i)
        if (group.variables[i].get() == variable)
            return int(i);
    return -1;
}

} // namespace

DbEditorDocument::DbEditorDocument(IWorkspaceContext& workspace, IUserPrompt& prompt, IDbEditorHost* host)
    : m_workspace(workspace), m_prompt(prompt), m_host(host), m_template(MakeTemplate())
{
    m_history.SetContext(UndoContext{this});
}

DbEditorDocument::~DbEditorDocument() = default;

std::unique_ptr<DbTemplate> DbEditorDocument::MakeTemplate()
{
    auto dbTemplate = std::make_unique<DbTemplate>();
    Adopt(*dbTemplate);
    return dbTemplate;
}

std::unique_ptr<DbRecord> DbEditorDocument::MakeRecord()
{
    auto record = std::make_unique<DbRecord>();
    Adopt(*record);
    return record;
}

void DbEditorDocument::Adopt(DbDocument& document)
{
    document.SetEditor(this);
    document.FileState().SetPrompt(&m_prompt);
}

std::vector<DbRecord*> DbEditorDocument::Records() const
{
    std::vector<DbRecord*> records;
    for (const auto& record : m_template->BoundRecords())
        records.push_back(record.get());
    return records;
}

DbRecord* DbEditorDocument::FindOpenRecordByName(const std::string& shortName) const
{
    return m_template->FindRecord(shortName);
}

std::string DbEditorDocument::Title() const
{
    if (m_mode == DbEditorMode::Template)
        return Format("Viewing Template:%s", m_template->FileState().ShortName().c_str());
    const auto& records = m_template->BoundRecords();
    if (m_mode == DbEditorMode::Record && !records.empty())
    {
        std::string title = Format("Editing Record:%s", records.front()->FileState().ShortName().c_str());
        return records.size() == 1 ? title : title + " + (Multiple Files)";
    }
    return "Database Editor";
}

bool DbEditorDocument::Refuse(const std::string& text)
{
    m_prompt.Show(text, "Database Editor", PromptButtons::Ok, PromptIcon::Error);
    return false;
}

void DbEditorDocument::Changed()
{
    if (m_host)
        m_host->DocumentsChanged();
}

void DbEditorDocument::ShowChange(const std::string& groupName, int row)
{
    if (m_host)
        m_host->ShowChange(groupName, row);
}

bool DbEditorDocument::PromptSaveAll(const std::string& path)
{
    if (m_mode == DbEditorMode::Template)
        return m_template->FileState().PromptSave(path, true) == 1;
    for (DbRecord* record : Records())
        if (!record->FileState().PromptSave(path, true))
            return false;
    return true;
}

void DbEditorDocument::CloseAll()
{
    m_history.Clear();
    m_template = MakeTemplate();
    m_mode = DbEditorMode::None;
    Changed();
}

bool DbEditorDocument::CloseRecords(const std::vector<std::string>& shortNames)
{
    if (m_mode != DbEditorMode::Record)
        return false;
    bool finished = true;
    auto& records = m_template->BoundRecords();
    for (const std::string& shortName : shortNames)
    {
        DbRecord* record = FindOpenRecordByName(shortName);
        if (!record)
            continue;
        if (!record->FileState().PromptSave(record->FileState().Path(), false))
        {
            finished = false;
            break;
        }
        m_history.ForgetFile(shortName);
        std::erase_if(records, [&](const std::unique_ptr<DbRecord>& open) { return open.get() == record; });
    }
    if (records.empty())
        CloseAll();
    else
        Changed();
    return finished;
}

bool DbEditorDocument::OpenFile(std::string path)
{
    path = ToBackslashes(std::move(path));
    bool isTemplate = EndsWith(path, "tpl");
    bool isRecord = EndsWith(path, "dbr");
    if (!isTemplate && !isRecord)
        return false;
    bool joinsOpenRecords = m_mode == DbEditorMode::None || (m_mode == DbEditorMode::Record && isRecord);
    if (!joinsOpenRecords && !PromptSaveAll(path))
        return false;

    if (isTemplate)
    {
        // Read into a fresh template so a failed open leaves the editor as it was.
        auto dbTemplate = MakeTemplate();
        if (!dbTemplate->FileState().Open(path, false))
        {
            // A file that could not be read was reported; one that could but
            // did not parse would otherwise fail without a word.
            if (IsFile(path))
                Refuse("The template \"" + ShortName(path) + "\" could not be read: it is not in the template format.");
            return false;
        }
        m_history.Clear();
        m_template = std::move(dbTemplate);
        m_mode = DbEditorMode::Template;
        EnsureHeader(*m_template);
        Changed();
        return true;
    }

    auto record = MakeRecord();
    if (!record->FileState().Open(path, false))
        return false;
    if (!joinsOpenRecords)
        CloseAll();
    const DbFileState& templateFile = m_template->FileState();
    if (templateFile.HasFile())
    {
        const std::string& shortName = record->FileState().ShortName();
        if (!record->GetTemplateName().empty())
        {
            std::string templatePath = ResolveTemplatePath(record->GetTemplateName(), m_workspace.GetWorkingDir());
            // Compared as the files they name: a template name typed in
            // another case or with other separators names the same file.
            if (ResolvePath(templatePath) != ResolvePath(templateFile.Path()))
                return Refuse("The record \"" + shortName +
                              "\" cannot be opened, as it uses a different template than the one currently open.");
        }
        else
        {
            PromptAnswer answer = m_prompt.Show(
                "The record \"" + shortName + "\" has no template.  Apply the open template to this file?", "DbEditor",
                PromptButtons::YesNo, PromptIcon::Question);
            if (answer != PromptAnswer::Yes)
                return false;
            // Named relative to the working folder, the folder every tool
            // resolves template names against (a name relative to the mod
            // would not find the template again).
            record->SetTemplateName(ToBackslashes(StripPathPrefix(templateFile.Path(), m_workspace.GetWorkingDir())));
        }
    }
    DbRecord* already = FindOpenRecordByName(record->FileState().ShortName());
    if (already && ToBackslashes(already->FileState().Path()) != path)
        return Refuse("A record named \"" + record->FileState().ShortName() + "\" is already open.");
    m_mode = DbEditorMode::Record;
    if (!AddOpenRecord(std::move(record)))
    {
        if (m_template->BoundRecords().empty())
            m_mode = DbEditorMode::None;
        return Refuse(kLoadError);
    }
    return true;
}

bool DbEditorDocument::OpenFiles(const std::vector<std::string>& paths)
{
    if (paths.size() > 1)
        for (const std::string& path : paths)
            if (!EndsWith(path, "dbr"))
                return Refuse("To open multiple files, all must be database record files (*.dbr)");
    bool allOpened = true;
    for (const std::string& path : paths)
        allOpened = OpenFile(path) && allOpened;
    return allOpened;
}

bool DbEditorDocument::AddOpenRecord(std::unique_ptr<DbRecord> record)
{
    if (record->GetTemplateName().empty())
    {
        std::string templateName;
        if (!m_host || !m_host->AskTemplateName(templateName) || templateName.empty())
            return false;
        record->SetTemplateName(templateName);
    }
    // The template is read anew for every record, into a fresh object, so a
    // template that fails to load leaves the open records bound as they were.
    const std::string workingDir = m_workspace.GetWorkingDir();
    auto dbTemplate = MakeTemplate();
    if (!dbTemplate->FileState().Open(ResolveTemplatePath(record->GetTemplateName(), workingDir), true) ||
        !dbTemplate->LoadIncludes(workingDir, &m_workspace))
        return false;
    BindRecord(*dbTemplate, *record, true, &m_workspace);
    ApplyTemplate(*dbTemplate, *record);
    dbTemplate->BoundRecords() = std::move(m_template->BoundRecords());
    if (!dbTemplate->FindRecord(record->FileState().ShortName()))
        dbTemplate->BoundRecords().push_back(std::move(record));
    m_template = std::move(dbTemplate);
    Changed();
    return true;
}

bool DbEditorDocument::NewTemplate()
{
    if (m_mode != DbEditorMode::None && !PromptSaveAll(std::string()))
        return false;
    auto dbTemplate = MakeTemplate();
    dbTemplate->FileState().New("tpl");
    EnsureHeader(*dbTemplate);
    m_history.Clear();
    m_template = std::move(dbTemplate);
    m_mode = DbEditorMode::Template;
    Changed();
    return true;
}

bool DbEditorDocument::NewRecord(const std::string& templateName)
{
    if (templateName.empty())
        return Refuse("Template File Name is required to create a new database record.");
    if (m_mode == DbEditorMode::Record && !m_template->BoundRecords().empty())
        return Refuse("File->New is disabled when record file(s) are already open.");
    if (m_mode == DbEditorMode::Template)
    {
        if (!PromptSaveAll(std::string()))
            return false;
        CloseAll();
    }
    auto record = MakeRecord();
    record->FileState().New("dbr");
    record->SetValue("templateFileName", templateName);
    record->SetTemplateName(templateName);
    m_mode = DbEditorMode::Record;
    if (!AddOpenRecord(std::move(record)))
    {
        m_mode = DbEditorMode::None;
        return Refuse(kLoadError);
    }
    return true;
}

bool DbEditorDocument::SaveDocument(DbDocument& document)
{
    DbFileState& file = document.FileState();
    std::string nameBefore = file.ShortName();
    bool saved = (file.HasFile() ? file.Save() : file.SaveAs()) == 1;
    // A record saved under a new name leaves no actions behind for its old one.
    if (saved && m_mode == DbEditorMode::Record && nameBefore != file.ShortName())
        m_history.ForgetFile(nameBefore);
    Changed();
    return saved;
}

bool DbEditorDocument::TemplateHasCollisions()
{
    DbTemplate expanded;
    expanded.SetRoot(m_template->Root().DeepCopy());
    // Without every include the names cannot be checked, so the save is refused.
    if (expanded.LoadIncludes(m_workspace.GetWorkingDir(), &m_workspace) != 1)
    {
        m_prompt.Show("An include file of this template could not be opened (the output pane names it), so its "
                      "names cannot be checked. The template was not saved.",
                      "", PromptButtons::Ok, PromptIcon::Error);
        return true;
    }
    return CheckCollisions(expanded, &m_workspace, m_prompt) == 1;
}

bool DbEditorDocument::Save()
{
    if (m_mode == DbEditorMode::Template)
        return !TemplateHasCollisions() && SaveDocument(*m_template);
    if (m_mode != DbEditorMode::Record)
        return true;
    std::vector<DbRecord*> records = Records();
    if (records.size() == 1)
        return SaveDocument(*records.front());
    std::vector<DbRecord*> modified;
    std::vector<std::string> names;
    for (DbRecord* record : records)
        if (record->FileState().IsModified())
        {
            modified.push_back(record);
            names.push_back(record->FileState().ShortName());
        }
    if (modified.empty())
        return true;
    std::vector<bool> ticked(modified.size(), true);
    if (m_host && !m_host->ChooseFilesToSave(names, ticked))
        return false;
    bool allSaved = true;
    for (size_t i = 0; i < modified.size(); ++i)
        if (i < ticked.size() && ticked[i])
            allSaved = SaveDocument(*modified[i]) && allSaved;
    return allSaved;
}

bool DbEditorDocument::SaveAs()
{
    if (m_mode == DbEditorMode::Record)
    {
        std::vector<DbRecord*> records = Records();
        if (records.size() > 1)
            return Refuse("SaveAs is disabled when more than one file is open.");
        if (records.empty())
            return false;
        DbFileState& file = records.front()->FileState();
        std::string nameBefore = file.ShortName();
        bool saved = file.SaveAs() == 1;
        if (saved && nameBefore != file.ShortName())
            m_history.ForgetFile(nameBefore);
        Changed();
        return saved;
    }
    if (m_mode == DbEditorMode::Template)
    {
        if (TemplateHasCollisions())
            return false;
        bool saved = m_template->FileState().SaveAs() == 1;
        Changed();
        return saved;
    }
    return false;
}

bool DbEditorDocument::IsModified() const
{
    if (m_mode == DbEditorMode::Template)
        return m_template->FileState().IsModified();
    for (DbRecord* record : Records())
        if (record->FileState().IsModified())
            return true;
    return false;
}

bool DbEditorDocument::QueryClose(bool cancellable)
{
    if (!IsModified())
        return true;
    PromptAnswer answer = m_prompt.Show("File(s) have been modified.  Would you like to save?",
                                                    "Database Editor",
                                                    cancellable ? PromptButtons::YesNoCancel : PromptButtons::YesNo,
                                                    PromptIcon::Question);
    if (answer == PromptAnswer::Cancel)
        return false;
    // A save that failed keeps the editor open when the close can wait, so
    // the edits are not lost.
    if (answer == PromptAnswer::Yes && !Save() && cancellable)
        return false;
    return true;
}

void DbEditorDocument::RecordAction(std::unique_ptr<UndoAction> action)
{
    m_history.Record(std::move(action));
}

bool DbEditorDocument::CheckRecordValue(const DbVariable& variable, const std::string& value)
{
    DbVariable candidate(variable);
    candidate.value = value;
    if (!ValidateVariable(*m_template, candidate, EditorMode::Record, m_prompt))
        return false;
    ValueTypeFault fault = CheckValueType(variable.varClass, variable.type, value);
    if (fault == ValueTypeFault::None)
        return true;
    m_prompt.Show(ValueTypeFaultText(fault), "", PromptButtons::Ok, PromptIcon::Error);
    return false;
}

bool DbEditorDocument::EditRecordValue(const std::string& recordShortName, const std::string& variableName,
                                       const std::string& value)
{
    DbRecord* record = FindOpenRecordByName(recordShortName);
    DbGroup* holder = nullptr;
    DbVariable* variable = m_template->Root().FindVariable(variableName, &holder);
    if (m_mode != DbEditorMode::Record || !record || !variable || variable->IsDirective())
        return false;
    if (!CheckRecordValue(*variable, value))
        return false;
    std::string before = record->GetValue(variableName);
    if (before == value)
        return true;
    record->SetValue(variableName, value);
    RecordAction(std::make_unique<RecordValueEditAction>(recordShortName, variableName, before, value, holder->name,
                                                         RowOf(*holder, variable)));
    return true;
}

int DbEditorDocument::EditRecordValues(const std::string& variableName,
                                       const std::vector<std::pair<std::string, std::string>>& values)
{
    DbGroup* holder = nullptr;
    DbVariable* variable = m_template->Root().FindVariable(variableName, &holder);
    if (m_mode != DbEditorMode::Record || !variable || variable->IsDirective())
        return 0;
    // Every row is checked before any is written: a refused row leaves all
    // records as they were.
    for (size_t i = 0; i < values.size(); ++i)
        if (!FindOpenRecordByName(values[i].first) || !CheckRecordValue(*variable, values[i].second))
            return int(i);
    std::vector<std::unique_ptr<RecordValueEditAction>> parts;
    for (const auto& [shortName, value] : values)
    {
        DbRecord* record = FindOpenRecordByName(shortName);
        std::string before = record->GetValue(variableName);
        if (before == value)
            continue;
        record->SetValue(variableName, value);
        parts.push_back(std::make_unique<RecordValueEditAction>(shortName, variableName, before, value, holder->name,
                                                                RowOf(*holder, variable)));
    }
    if (parts.size() == 1)
        RecordAction(std::move(parts.front()));
    else if (!parts.empty())
        RecordAction(std::make_unique<MultipleValueEditAction>(std::move(parts)));
    return -1;
}

bool DbEditorDocument::EditTemplateField(const std::string& groupName, int row, TemplateField field,
                                         const std::string& text)
{
    DbGroup* group = FindGroupByName(*m_template, groupName);
    if (m_mode != DbEditorMode::Template || !group || row < 0 || size_t(row) >= group->variables.size())
        return false;
    DbVariable edited(*group->variables[size_t(row)]);
    switch (field)
    {
    case TemplateField::Name:
        edited.name = text;
        break;
    case TemplateField::Class:
        edited.varClass = text;
        break;
    case TemplateField::Type:
        edited.type = text;
        break;
    case TemplateField::Description:
        edited.description = text;
        break;
    case TemplateField::DefaultValue:
        edited.defaultValue = text;
        break;
    }
    return EditVariable(groupName, row, edited);
}

bool DbEditorDocument::EditVariable(const std::string& groupName, int row, const DbVariable& edited)
{
    DbGroup* group = FindGroupByName(*m_template, groupName);
    if (m_mode != DbEditorMode::Template || !group || row < 0 || size_t(row) >= group->variables.size())
        return false;
    DbVariable& variable = *group->variables[size_t(row)];
    DbVariable before(variable);
    if (SameVariable(before, edited))
        return true;
    if (edited.name.empty() || edited.type.empty())
        return Refuse("Type and Name values are required.  Please select both to proceed.");
    if (!HasNoQuote(edited))
        return Refuse("Template names, descriptions and values cannot contain the character '\"'.");
    // The checks count the edited variable itself, so it is changed first
    // and put back when they refuse.
    variable.CopyFrom(edited);
    if (!ValidateVariable(*m_template, variable, EditorMode::Template, m_prompt))
    {
        variable.CopyFrom(before);
        return false;
    }
    RecordAction(std::make_unique<TemplateCellEditAction>(m_template->FileState().ShortName(), row, -1, before,
                                                          edited, groupName));
    return true;
}

bool DbEditorDocument::AddGroup(const std::string& selectedGroup, const std::string& name, const std::string& type)
{
    DbGroup* parent = selectedGroup.empty() ? nullptr : FindGroupByName(*m_template, selectedGroup);
    if (m_mode != DbEditorMode::Template || !parent)
        return Refuse("No Item Selected");
    if (name.empty() || name.find('"') != std::string::npos)
        return Refuse("A group needs a name without the character '\"'.");
    if (FindGroupByName(*m_template, name))
        return Refuse("A group with the name \"" + name + "\" already exists.  Please choose a different name");
    auto group = std::make_unique<DbGroup>(name, type.empty() ? "list" : type);
    group->sourceFile = parent->sourceFile;
    RecordAction(std::make_unique<GroupAddAction>(m_template->FileState().ShortName(), parent->name, *group,
                                                  int(parent->subgroups.size())));
    parent->subgroups.push_back(std::move(group));
    return true;
}

bool DbEditorDocument::EditGroup(const std::string& groupName, const std::string& newName, const std::string& newType)
{
    DbGroup* group = groupName.empty() ? nullptr : FindGroupByName(*m_template, groupName);
    if (m_mode != DbEditorMode::Template || !group)
        return Refuse("No Item Selected");
    if (newName == groupName && newType == group->type)
        return true;
    // The root must keep its name for the file to read back, and "Header"
    // is required.
    bool required = group == &m_template->Root() || groupName == "Header";
    if (newName != groupName && required)
        return Refuse("Cannot rename required group \"" + groupName + "\"");
    if (newName.empty() || newName.find('"') != std::string::npos)
        return Refuse("A group needs a name without the character '\"'.");
    if (newName != groupName && FindGroupByName(*m_template, newName))
        return Refuse("A group with the name \"" + newName + "\" already exists.  Please choose a different name");
    RecordAction(std::make_unique<GroupEditAction>(m_template->FileState().ShortName(), groupName, group->type,
                                                   newName, newType));
    group->name = newName;
    group->type = newType;
    return true;
}

bool DbEditorDocument::DeleteGroup(const std::string& groupName, std::string& selectAfter)
{
    DbGroup* group = groupName.empty() ? nullptr : FindGroupByName(*m_template, groupName);
    if (m_mode != DbEditorMode::Template || !group)
        return Refuse("No Item Selected");
    int index = -1;
    DbGroup* parent = FindParentGroup(m_template->Root(), *group, &index);
    if (groupName == "Header" || !parent)
        return Refuse("Cannot delete required group \"" + groupName + "\"");
    if (group->FindGroup("Header"))
        return Refuse("Cannot delete required group \"Header\"");
    if (index > 0)
        selectAfter = parent->subgroups[size_t(index) - 1]->name;
    else if (size_t(index) + 1 < parent->subgroups.size())
        selectAfter = parent->subgroups[size_t(index) + 1]->name;
    else
        selectAfter = parent->name;
    RecordAction(std::make_unique<GroupDeleteAction>(m_template->FileState().ShortName(), parent->name, *group, index));
    parent->subgroups.erase(parent->subgroups.begin() + index);
    return true;
}

int DbEditorDocument::InsertVariable(const std::string& groupName, int row)
{
    DbGroup* group = groupName.empty() ? nullptr : FindGroupByName(*m_template, groupName);
    if (m_mode != DbEditorMode::Template || !group)
    {
        Refuse("No Item Selected");
        return -1;
    }
    auto variable = std::make_unique<DbVariable>(NewEntryName(*m_template), "variable", "int");
    variable->sourceFile = group->sourceFile;
    // Inserted in place rather than merged: when every "newEntry" name is
    // taken, the last one must not overwrite the variable that has it.
    size_t index = row < 0 || size_t(row) > group->variables.size() ? group->variables.size() : size_t(row);
    RecordAction(std::make_unique<VariableInsertAction>(m_template->FileState().ShortName(), int(index), group->name,
                                                        *variable));
    group->variables.insert(group->variables.begin() + long(index), std::move(variable));
    return int(index);
}

bool DbEditorDocument::DeleteVariable(const std::string& groupName, int row)
{
    DbGroup* group = groupName.empty() ? nullptr : FindGroupByName(*m_template, groupName);
    if (m_mode != DbEditorMode::Template || !group || row < 0 || size_t(row) >= group->variables.size())
        return Refuse("No Entry Selected");
    RecordAction(std::make_unique<VariableDeleteAction>(m_template->FileState().ShortName(), row, group->name,
                                                        *group->variables[size_t(row)]));
    group->variables.erase(group->variables.begin() + row);
    return true;
}

std::string DbEditorDocument::DefiningTemplateText(const std::string& variableName)
{
    if (variableName.empty())
        return std::string();
    const DbVariable* variable = m_template->Root().FindVariable(variableName);
    if (!variable)
        return std::string();
    // An empty source file means the variable comes from the template itself.
    const std::string& file = variable->sourceFile.empty() ? m_template->FileState().Path() : variable->sourceFile;
    if (file.empty())
        return std::string();
    return "This variable is defined in the template:\n" + file;
}

bool DbEditorDocument::HasUndoableActions(const std::string& shortName) const
{
    return m_history.HasActionsFor(m_mode == DbEditorMode::Record ? shortName : std::string());
}

void DbEditorDocument::DocumentSaved(const std::string& shortName)
{
    if (m_mode == DbEditorMode::Record)
        m_history.ForgetFile(shortName);
    else
        m_history.Clear();
}

} // namespace mw
