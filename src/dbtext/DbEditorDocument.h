// The Database Editor's document set without its window: the mode, the
// edited template and the open records, opening, creating, saving and
// closing them, every edit with its checks, and the undo history that
// answers the documents' modified question.
#pragma once

#include "DbTemplate.h"
#include "IDocumentEditor.h"
#include "IUndoTarget.h"
#include "UndoHistory.h"

#include <memory>
#include <string>
#include <vector>

namespace mw {

class IDbEditorHost;
class IUserPrompt;
class IWorkspaceContext;

enum class DbEditorMode
{
    None,
    Template,
    Record,
};

// The cells of a template's variable row.
enum class TemplateField
{
    Name,
    Class,
    Type,
    Description,
    DefaultValue,
};

class DbEditorDocument final : public IDocumentEditor, public IUndoTarget
{
public:
    // Messages and questions go to prompt. host may be null: no dialogs (a
    // record without a template name is refused, the checklist saves every
    // modified record) and no refresh.
    DbEditorDocument(IWorkspaceContext& workspace, IUserPrompt& prompt, IDbEditorHost* host);
    ~DbEditorDocument();
    DbEditorDocument(const DbEditorDocument&) = delete;
    DbEditorDocument& operator=(const DbEditorDocument&) = delete;

    DbEditorMode Mode() const { return m_mode; }
    DbTemplate& Template() { return *m_template; }
    // The open records, in the order they were opened.
    std::vector<DbRecord*> Records() const;
    DbRecord* FindOpenRecordByName(const std::string& shortName) const;
    // "Database Editor", "Viewing Template:%s" or "Editing Record:%s", the
    // latter followed by " + (Multiple Files)" with several records.
    std::string Title() const;

    // Opens a ".tpl" or ".dbr" file; other files are ignored. True when the
    // file is open afterwards.
    bool OpenFile(std::string path);
    // Several chosen files: all must be records.
    bool OpenFiles(const std::vector<std::string>& paths);
    // Binds a record to the template and adds it to the open records.
    bool AddOpenRecord(std::unique_ptr<DbRecord> record);
    bool NewTemplate();
    // A new record of the template named (as written in records, for example
    // "%TEMPLATE_DIR%Database\Templates\x.tpl").
    bool NewRecord(const std::string& templateName);
    // The Save and Save As commands; true when everything asked was saved.
    bool Save();
    bool SaveAs();
    // Any open document modified.
    bool IsModified() const;
    // Asks to save modified documents; true when the editor may close.
    bool QueryClose(bool cancellable);
    // Closes every document without asking; the mode returns to none.
    void CloseAll();
    // Record mode: closes the named records, each modified one after the
    // save question; false when a question was cancelled (the records
    // before it are closed). Closing the last record returns to none.
    bool CloseRecords(const std::vector<std::string>& shortNames);

    // Record mode: the value of one record's variable. False after a message
    // when the value is refused.
    bool EditRecordValue(const std::string& recordShortName, const std::string& variableName,
                         const std::string& value);
    // Record mode: one variable's value in several records (short name,
    // value), all or none, as one undo step. -1 when written, else the
    // index of the first refused row (after its message); nothing is then
    // written.
    int EditRecordValues(const std::string& variableName,
                         const std::vector<std::pair<std::string, std::string>>& values);
    // Template mode: one field of the variable at row in the group.
    bool EditTemplateField(const std::string& groupName, int row, TemplateField field, const std::string& text);
    // Template mode: replaces the variable at row with the dialog's result.
    bool EditVariable(const std::string& groupName, int row, const DbVariable& edited);
    bool AddGroup(const std::string& selectedGroup, const std::string& name, const std::string& type);
    bool EditGroup(const std::string& groupName, const std::string& newName, const std::string& newType);
    // selectAfter: the previous sibling, else the next, else the parent.
    bool DeleteGroup(const std::string& groupName, std::string& selectAfter);
    // The row of the new "newEntry" variable, or -1.
    int InsertVariable(const std::string& groupName, int row);
    bool DeleteVariable(const std::string& groupName, int row);
    void Undo() { m_history.Undo(); }
    void Redo() { m_history.Redo(); }
    IWorkspaceContext& Workspace() { return m_workspace; }
    IUserPrompt& Prompt() { return m_prompt; }
    const UndoHistory& History() const { return m_history; }

    // "This variable is defined in the template:\n" + the defining file, or
    // empty when the variable or its file is unknown.
    std::string DefiningTemplateText(const std::string& variableName);

    // IDocumentEditor.
    bool HasUndoableActions(const std::string& shortName) const override;
    void DocumentSaved(const std::string& shortName) override;
    // IUndoTarget.
    DbTemplate& EditedTemplate() override { return *m_template; }
    DbRecord* FindOpenRecord(const std::string& shortName) override { return FindOpenRecordByName(shortName); }
    void ShowChange(const std::string& groupName, int row) override;

private:
    std::unique_ptr<DbTemplate> MakeTemplate();
    std::unique_ptr<DbRecord> MakeRecord();
    void Adopt(DbDocument& document);
    // PromptSave for every open document; false when one refused.
    bool PromptSaveAll(const std::string& path);
    bool SaveDocument(DbDocument& document);
    // True (after a message) when the template must not be saved: a name
    // collides, or an include cannot be opened so names cannot be checked.
    bool TemplateHasCollisions();
    // The name and value rules and the type check of a value typed for a record.
    bool CheckRecordValue(const DbVariable& variable, const std::string& value);
    void Changed();
    bool Refuse(const std::string& text);
    void RecordAction(std::unique_ptr<UndoAction> action);

    IWorkspaceContext& m_workspace;
    IUserPrompt& m_prompt;
    IDbEditorHost* m_host;
    DbEditorMode m_mode = DbEditorMode::None;
    std::unique_ptr<DbTemplate> m_template;
    UndoHistory m_history;
};

} // namespace mw
