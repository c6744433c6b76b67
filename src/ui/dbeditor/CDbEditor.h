// The Database Editor window: one template, or records of one template side
// by side, with the group tree, the variable list, the template bar, the
// menus of its commands and the settings it keeps in Tools.ini.
#pragma once

#include "dbtext/DbEditorSettings.h"
#include "dbtext/IDbEditorHost.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QDialog;

namespace mw {

class CDataView;
class CDbCellDelegate;
class CDbDialogListCtrl;
class CDbEditorPrompt;
class CDbTemplateDlgBar;
class DbEditorDocument;
class DbTreeView;
class DbVariableTableModel;
class IUserPrompt;
class IWorkspaceContext;

class CDbEditor : public QMainWindow, public IDbEditorHost
{
public:
    // Messages go to prompt, or to the window's own message boxes when null.
    // The Database settings are read from and written to iniPath.
    CDbEditor(IWorkspaceContext& workspace, std::string iniPath, IUserPrompt* prompt = nullptr,
              QWidget* parent = nullptr);
    ~CDbEditor() override;

    bool OpenFile(const std::string& path);
    // Several files at once, refreshing the window once at the end.
    bool OpenFiles(const std::vector<std::string>& paths);

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    void OnFileCloseFiles();
    void OnToggleDescriptions();
    void OnUndo();
    void OnRedo();
    void OnMultipleEdit();
    void OnDefiningTemplate();
    void OnAddGroup();
    void OnEditGroup();
    void OnDeleteGroup();
    void OnInsertVariable();
    void OnDeleteVariable();
    void OnEditVariable();
    // Asks to save modified files and writes the settings; true when the
    // window may close.
    bool QueryClose(bool cancellable);
    // Closes the window without asking again (after QueryClose).
    void CloseWithoutAsking();

    DbEditorDocument& Document() { return *m_document; }
    DbTreeView* Tree() const { return m_tree; }
    CDataView* DataView() const { return m_dataView; }
    CDbDialogListCtrl* List() const;
    DbVariableTableModel* Model() const { return m_model; }
    CDbTemplateDlgBar* TemplateBar() const { return m_templateBar; }
    const DbEditorSettings& Settings() const { return m_settings; }
    // Runs the window's modal dialogs; tests fill them in instead of a person.
    void SetDialogRunner(std::function<int(QDialog&)> runner) { m_dialogRunner = std::move(runner); }

    // IDbEditorHost.
    bool AskTemplateName(std::string& templateName) override;
    bool ChooseFilesToSave(const std::vector<std::string>& shortNames, std::vector<bool>& ticked) override;
    void DocumentsChanged() override;
    void ShowChange(const std::string& groupName, int row) override;

protected:
    void closeEvent(class QCloseEvent* event) override;

private:
    void BuildMenus();
    int RunDialog(QDialog& dialog);
    void RefreshList(int selectRow = -1);
    void ApplyColumnWidths();
    void ColumnResized(int column, int newSize);
    void UpdateCommands();
    std::string SelectedGroup() const;
    void WriteSettings();

    IWorkspaceContext& m_workspace;
    std::string m_iniPath;
    std::unique_ptr<CDbEditorPrompt> m_ownPrompt;
    IUserPrompt& m_prompt;
    std::unique_ptr<DbEditorDocument> m_document;
    DbEditorSettings m_settings;
    DbTreeView* m_tree = nullptr;
    CDataView* m_dataView = nullptr;
    DbVariableTableModel* m_model = nullptr;
    CDbCellDelegate* m_delegate = nullptr;
    CDbTemplateDlgBar* m_templateBar = nullptr;
    QAction* m_showDescriptions = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_multipleEdit = nullptr;
    std::function<int(QDialog&)> m_dialogRunner;
    bool m_batch = false;
    bool m_applyingWidths = false;
    // Value columns the user resized, by heading: a refresh keeps them.
    std::map<std::string, int> m_valueColumnWidths;
    static constexpr int kMaxValueColumnWidth = 420;
    bool m_closing = false;
};

} // namespace mw
