// The Database Editor window.
#include "CDbEditor.h"

#include "EditorPlacement.h"

#include "CCheckListDialog.h"
#include "CDataView.h"
#include "CDbCellDelegate.h"
#include "CDbDialogListCtrl.h"
#include "CDbEditorPrompt.h"
#include "CDbTemplateDlgBar.h"
#include "CEditByType.h"
#include "CGroupDialog.h"
#include "CMultipleEditDialog.h"
#include "CNewDocumentDialog.h"
#include "DbTreeView.h"
#include "DbVariableTableModel.h"
#include "context/IWorkspaceContext.h"
#include "dbtext/DbEditorDocument.h"
#include "dbtext/TemplateEditing.h"
#include "platform/PathRules.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>

namespace mw {

CDbEditor::CDbEditor(IWorkspaceContext& workspace, std::string iniPath, IUserPrompt* prompt, QWidget* parent)
    : QMainWindow(parent), m_workspace(workspace), m_iniPath(std::move(iniPath)),
      m_ownPrompt(prompt ? nullptr : std::make_unique<CDbEditorPrompt>(this)),
      m_prompt(prompt ? *prompt : *m_ownPrompt),
      m_document(std::make_unique<DbEditorDocument>(workspace, m_prompt, this))
{
    m_settings.Read(m_iniPath);
    if (m_ownPrompt)
        m_ownPrompt->SetDefaultFolder(workspace.GetWorkingDir() + "database");
    auto* splitter = new QSplitter(this);
    m_tree = new DbTreeView(splitter);
    m_dataView = new CDataView(splitter);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_dataView);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 780});
    setCentralWidget(splitter);

    m_model = new DbVariableTableModel(*m_document, this);
    m_delegate = new CDbCellDelegate(*m_document, *m_model, this);
    List()->setModel(m_model);
    List()->setItemDelegate(m_delegate);
    m_templateBar = new CDbTemplateDlgBar(this);
    addToolBar(m_templateBar);
    BuildMenus();

    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { RefreshList(); });
    connect(m_dataView->Search(), &QLineEdit::textChanged, this, [this] { RefreshList(); });
    // Accepted cell edits enable Undo.
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] { UpdateCommands(); });
    connect(List()->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int newSize) { ColumnResized(column, newSize); });
    resize(1000, 640);
    DocumentsChanged();
}

// The list, its model and its delegate refer to the document, which is
// destroyed before the window's child widgets: they let go of it first.
CDbEditor::~CDbEditor()
{
    List()->setModel(nullptr);
    List()->setItemDelegate(nullptr);
    delete m_delegate;
    delete m_model;
}

CDbDialogListCtrl* CDbEditor::List() const
{
    return m_dataView->List();
}

void CDbEditor::BuildMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&New...", QKeySequence::New, this, [this] { OnFileNew(); });
    file->addAction("&Open...", QKeySequence::Open, this, [this] { OnFileOpen(); });
    file->addAction("&Save", QKeySequence::Save, this, [this] { OnFileSave(); });
    file->addAction("Save &As...", this, [this] { OnFileSaveAs(); });
    file->addSeparator();
    file->addAction("Close &Files", this, [this] { OnFileCloseFiles(); });
    file->addAction("&Close", QKeySequence::Close, this, [this] { close(); });

    QMenu* edit = menuBar()->addMenu("&Edit");
    m_undo = edit->addAction("&Undo", QKeySequence::Undo, this, [this] { OnUndo(); });
    m_redo = edit->addAction("&Redo", QKeySequence::Redo, this, [this] { OnRedo(); });
    edit->addSeparator();
    m_multipleEdit = edit->addAction("Edit &Multiple...", this, [this] { OnMultipleEdit(); });
    QAction* defining = edit->addAction("&Defining Template", this, [this] { OnDefiningTemplate(); });

    QMenu* view = menuBar()->addMenu("&View");
    m_showDescriptions = view->addAction("Show &Descriptions", this, [this] { OnToggleDescriptions(); });
    m_showDescriptions->setCheckable(true);
    m_showDescriptions->setChecked(m_settings.viewDescriptions);

    connect(m_templateBar->addGroup, &QAction::triggered, this, [this] { OnAddGroup(); });
    connect(m_templateBar->editGroup, &QAction::triggered, this, [this] { OnEditGroup(); });
    connect(m_templateBar->deleteGroup, &QAction::triggered, this, [this] { OnDeleteGroup(); });
    connect(m_templateBar->insertVariable, &QAction::triggered, this, [this] { OnInsertVariable(); });
    connect(m_templateBar->editVariable, &QAction::triggered, this, [this] { OnEditVariable(); });
    connect(m_templateBar->deleteVariable, &QAction::triggered, this, [this] { OnDeleteVariable(); });

    List()->addActions({m_multipleEdit, defining, m_templateBar->insertVariable, m_templateBar->editVariable,
                        m_templateBar->deleteVariable});
    m_tree->addActions({m_templateBar->addGroup, m_templateBar->editGroup, m_templateBar->deleteGroup});
    connect(List(), &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (m_document->Mode() == DbEditorMode::Template && !(m_model->flags(index) & Qt::ItemIsEditable))
            OnEditVariable();
    });
}

int CDbEditor::RunDialog(QDialog& dialog)
{
    return m_dialogRunner ? m_dialogRunner(dialog) : dialog.exec();
}

std::string CDbEditor::SelectedGroup() const
{
    return m_tree->SelectedGroup();
}

void CDbEditor::UpdateCommands()
{
    DbEditorMode mode = m_document->Mode();
    m_templateBar->setVisible(mode == DbEditorMode::Template);
    for (QAction* action : m_templateBar->actions())
        action->setEnabled(mode == DbEditorMode::Template);
    m_multipleEdit->setEnabled(mode == DbEditorMode::Record);
    m_undo->setEnabled(m_document->History().CanUndo());
    m_redo->setEnabled(m_document->History().CanRedo());
    setWindowTitle(QString::fromStdString(m_document->Title()));
    QString status;
    if (mode == DbEditorMode::Record)
    {
        int modified = 0;
        for (DbRecord* record : m_document->Records())
            modified += record->FileState().IsModified() ? 1 : 0;
        status = QString("%1 record(s) open, %2 modified").arg(m_document->Records().size()).arg(modified);
    }
    else if (mode == DbEditorMode::Template)
    {
        const DbFileState& file = m_document->Template().FileState();
        status = QString::fromStdString(ToForwardSlashes(file.HasFile() ? file.Path() : file.ShortName()));
        if (file.IsModified())
            status += " (modified)";
    }
    statusBar()->showMessage(status);
}

void CDbEditor::DocumentsChanged()
{
    // While several files open the model is only emptied, so no view shows
    // a template that was just replaced; the whole window follows once.
    if (m_batch)
    {
        m_model->Clear();
        return;
    }
    std::string selected = SelectedGroup();
    m_tree->Show(m_document->Mode() == DbEditorMode::None ? nullptr : &m_document->Template().Root(), selected);
    RefreshList();
    UpdateCommands();
}

void CDbEditor::ShowChange(const std::string& groupName, int row)
{
    std::string selected = SelectedGroup();
    if (!groupName.empty() && FindGroupByName(m_document->Template(), groupName))
        selected = groupName;
    m_tree->Show(&m_document->Template().Root(), selected);
    RefreshList(-1);
    if (row >= 0 && m_dataView->Search()->text().isEmpty())
        List()->SelectRow(m_model->FindRow(SelectedGroup(), row));
    UpdateCommands();
}

void CDbEditor::RefreshList(int selectRow)
{
    m_model->Rebuild(SelectedGroup(), m_dataView->Search()->text(), m_settings.viewDescriptions);
    ApplyColumnWidths();
    if (selectRow >= 0)
        List()->SelectRow(selectRow);
}

void CDbEditor::ApplyColumnWidths()
{
    m_applyingWidths = true;
    QHeaderView* header = List()->horizontalHeader();
    QFontMetrics metrics = header->fontMetrics();
    for (int column = 0; column < m_model->columnCount(); ++column)
    {
        int width = 0;
        switch (m_model->KindOf(column))
        {
        case DbVariableTableModel::ColumnKind::Name:
            width = m_settings.Width(DbEditorColumn::Name);
            break;
        case DbVariableTableModel::ColumnKind::Class:
            width = m_settings.Width(DbEditorColumn::Class);
            break;
        case DbVariableTableModel::ColumnKind::Type:
            width = m_settings.Width(DbEditorColumn::Type);
            break;
        case DbVariableTableModel::ColumnKind::Description:
            width = m_settings.Width(DbEditorColumn::Description);
            break;
        case DbVariableTableModel::ColumnKind::DefaultValue:
            width = m_settings.Width(DbEditorColumn::DefaultValue);
            break;
        case DbVariableTableModel::ColumnKind::RecordValue:
        {
            // Wide enough for the heading and the values (up to a limit),
            // and never narrower than the user made it.
            std::string heading = m_model->Heading(column);
            width = metrics.horizontalAdvance(QString::fromStdString(heading)) + 15;
            int content = 0;
            for (int row = 0; row < std::min(m_model->rowCount(), 500); ++row)
                content = std::max(content, List()->fontMetrics().horizontalAdvance(
                                                m_model->index(row, column).data(Qt::DisplayRole).toString()));
            width = std::max(width, std::min(content + 16, kMaxValueColumnWidth));
            auto widened = m_valueColumnWidths.find(heading);
            if (widened != m_valueColumnWidths.end())
                width = std::max(width, widened->second);
            break;
        }
        }
        header->resizeSection(column, width);
    }
    m_applyingWidths = false;
}

void CDbEditor::ColumnResized(int column, int newSize)
{
    if (m_applyingWidths || column >= m_model->columnCount())
        return;
    switch (m_model->KindOf(column))
    {
    case DbVariableTableModel::ColumnKind::Name:
        m_settings.SetWidth(DbEditorColumn::Name, newSize);
        break;
    case DbVariableTableModel::ColumnKind::Class:
        m_settings.SetWidth(DbEditorColumn::Class, newSize);
        break;
    case DbVariableTableModel::ColumnKind::Type:
        m_settings.SetWidth(DbEditorColumn::Type, newSize);
        break;
    case DbVariableTableModel::ColumnKind::Description:
        m_settings.SetWidth(DbEditorColumn::Description, newSize);
        break;
    case DbVariableTableModel::ColumnKind::DefaultValue:
        m_settings.SetWidth(DbEditorColumn::DefaultValue, newSize);
        break;
    case DbVariableTableModel::ColumnKind::RecordValue:
        m_valueColumnWidths[m_model->Heading(column)] = newSize;
        break;
    }
}

bool CDbEditor::OpenFile(const std::string& path)
{
    return OpenFiles({path});
}

bool CDbEditor::OpenFiles(const std::vector<std::string>& paths)
{
    m_batch = paths.size() > 1;
    // Many records take a moment: the busy cursor says so.
    bool busy = paths.size() > 20;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    bool opened = m_document->OpenFiles(paths);
    m_batch = false;
    DocumentsChanged();
    if (busy)
        QApplication::restoreOverrideCursor();
    return opened;
}

void CDbEditor::OnFileNew()
{
    CNewDocumentDialog dialog(m_workspace.GetWorkingDir(), this);
    if (RunDialog(dialog) != QDialog::Accepted)
        return;
    if (dialog.WantsTemplate())
        m_document->NewTemplate();
    else
        m_document->NewRecord(dialog.TemplateName());
}

void CDbEditor::OnFileOpen()
{
    QStringList chosen = QFileDialog::getOpenFileNames(
        this, "Open", QString::fromStdString(ToForwardSlashes(m_workspace.GetWorkingDir())),
        QtFileFilter("Database Template Files (*.tpl)|*.tpl|Database Record Files (*.dbr)|*.dbr|All Files (*.*)|*|"));
    std::vector<std::string> paths;
    for (const QString& path : chosen)
        paths.push_back(path.toStdString());
    if (!paths.empty())
        OpenFiles(paths);
}

bool CDbEditor::OnFileSave()
{
    List()->CommitEdit();
    setFocus();
    bool saved = m_document->Save();
    UpdateCommands();
    return saved;
}

bool CDbEditor::OnFileSaveAs()
{
    List()->CommitEdit();
    bool saved = m_document->SaveAs();
    UpdateCommands();
    return saved;
}

void CDbEditor::OnFileCloseFiles()
{
    List()->CommitEdit();
    std::vector<DbRecord*> records = m_document->Records();
    if (m_document->Mode() == DbEditorMode::Record && records.size() > 1)
    {
        std::vector<std::string> names;
        for (DbRecord* record : records)
            names.push_back(record->FileState().ShortName());
        CCheckListDialog dialog("Close Files", "Check to close file:", names, this);
        if (RunDialog(dialog) != QDialog::Accepted)
            return;
        std::vector<bool> ticked = dialog.Ticked();
        std::vector<std::string> closing;
        for (size_t i = 0; i < names.size() && i < ticked.size(); ++i)
            if (ticked[i])
                closing.push_back(names[i]);
        m_document->CloseRecords(closing);
        return;
    }
    if (m_document->QueryClose(true))
        m_document->CloseAll();
}

void CDbEditor::OnToggleDescriptions()
{
    m_settings.viewDescriptions = !m_settings.viewDescriptions;
    m_showDescriptions->setChecked(m_settings.viewDescriptions);
    // Shown again, the column starts 100 pixels wide.
    if (m_settings.viewDescriptions)
        m_settings.SetWidth(DbEditorColumn::Description, 100);
    RefreshList(List()->SelectedRow());
}

void CDbEditor::OnUndo()
{
    List()->CommitEdit();
    m_document->Undo();
    UpdateCommands();
}

void CDbEditor::OnRedo()
{
    List()->CommitEdit();
    m_document->Redo();
    UpdateCommands();
}

void CDbEditor::OnMultipleEdit()
{
    int row = List()->SelectedRow();
    const DbVariable* variable = m_model->VariableAt(row);
    if (m_document->Mode() != DbEditorMode::Record || !variable || variable->IsDirective())
        return;
    int column = List()->CurrentColumn();
    bool arrayForm = variable->varClass == "array" && column >= 0 &&
                     m_model->KindOf(column) == DbVariableTableModel::ColumnKind::RecordValue;
    std::string arrayRecord = arrayForm ? m_model->RecordOf(column)->FileState().ShortName() : std::string();
    bool readOnly = false;
    for (DbRecord* record : m_document->Records())
        if (!arrayForm || record->FileState().ShortName() == arrayRecord)
            readOnly = readOnly || record->FileState().IsReadOnly();
    CMultipleEditDialog dialog(*m_document, variable->name,
                               arrayForm ? CMultipleEditDialog::Form::Array : CMultipleEditDialog::Form::Records,
                               arrayRecord, readOnly, this);
    RunDialog(dialog);
    m_model->Rebuild(SelectedGroup(), m_dataView->Search()->text(), m_settings.viewDescriptions);
    ApplyColumnWidths();
    List()->SelectRow(row);
    UpdateCommands();
}

void CDbEditor::OnDefiningTemplate()
{
    const DbVariable* variable = m_model->VariableAt(List()->SelectedRow());
    std::string text = variable ? m_document->DefiningTemplateText(variable->name) : std::string();
    if (!text.empty())
        m_prompt.Show(text, "Defining Template", PromptButtons::Ok, PromptIcon::Information);
}

void CDbEditor::OnAddGroup()
{
    std::string parent = SelectedGroup();
    CGroupDialog dialog("Add New Group", QString(), "list", this);
    while (RunDialog(dialog) == QDialog::Accepted)
    {
        std::string name = dialog.Name();
        bool taken = !name.empty() && FindGroupByName(m_document->Template(), name);
        if (m_document->AddGroup(parent, name, dialog.Type()))
        {
            ShowChange(name, -1);
            return;
        }
        if (!taken)
            return;
    }
}

void CDbEditor::OnEditGroup()
{
    std::string name = SelectedGroup();
    DbGroup* group = name.empty() ? nullptr : FindGroupByName(m_document->Template(), name);
    if (!group)
    {
        m_prompt.Show("No Item Selected", "Database Editor", PromptButtons::Ok, PromptIcon::Error);
        return;
    }
    CGroupDialog dialog("Edit Group", QString::fromStdString(group->name), QString::fromStdString(group->type), this);
    if (RunDialog(dialog) == QDialog::Accepted && m_document->EditGroup(name, dialog.Name(), dialog.Type()))
        ShowChange(dialog.Name(), -1);
}

void CDbEditor::OnDeleteGroup()
{
    std::string selectAfter;
    if (m_document->DeleteGroup(SelectedGroup(), selectAfter))
        ShowChange(selectAfter, -1);
}

void CDbEditor::OnInsertVariable()
{
    std::string group = SelectedGroup();
    int selected = List()->SelectedRow();
    int index = selected >= 0 && m_dataView->Search()->text().isEmpty() ? m_model->RowAt(selected).index : -1;
    if (!m_dataView->Search()->text().isEmpty())
        m_dataView->Search()->clear();
    int row = m_document->InsertVariable(group, index);
    if (row >= 0)
        ShowChange(group, row);
}

void CDbEditor::OnDeleteVariable()
{
    int selected = List()->SelectedRow();
    if (selected < 0)
    {
        m_document->DeleteVariable(SelectedGroup(), -1);
        return;
    }
    DbVariableTableModel::Row row = m_model->RowAt(selected);
    if (m_document->DeleteVariable(row.group, row.index))
    {
        RefreshList();
        List()->SelectRow(std::min(selected, m_model->rowCount() - 1));
        UpdateCommands();
    }
}

void CDbEditor::OnEditVariable()
{
    int selected = List()->SelectedRow();
    const DbVariable* variable = m_model->VariableAt(selected);
    if (m_document->Mode() != DbEditorMode::Template || !variable)
        return;
    DbVariableTableModel::Row row = m_model->RowAt(selected);
    CEditByType dialog(*variable, &m_document->Template(), m_prompt, m_workspace.GetWorkingDir(), this);
    if (RunDialog(dialog) == QDialog::Accepted && m_document->EditVariable(row.group, row.index, dialog.Result()))
    {
        RefreshList(selected);
        UpdateCommands();
    }
}

bool CDbEditor::AskTemplateName(std::string& templateName)
{
    QInputDialog dialog(this);
    dialog.setWindowTitle("Template File Name");
    dialog.setLabelText("The record names no template. Template File Name:");
    dialog.setTextValue("%TEMPLATE_DIR%");
    if (RunDialog(dialog) != QDialog::Accepted)
        return false;
    templateName = dialog.textValue().trimmed().toStdString();
    return !templateName.empty();
}

bool CDbEditor::ChooseFilesToSave(const std::vector<std::string>& shortNames, std::vector<bool>& ticked)
{
    CCheckListDialog dialog("Save Files", "Modified files, check to save:", shortNames, this);
    if (RunDialog(dialog) != QDialog::Accepted)
        return false;
    ticked = dialog.Ticked();
    return true;
}

void CDbEditor::WriteSettings()
{
    std::array<bool, DbEditorSettings::kColumnCount> shown{};
    for (int column = 0; column < m_model->columnCount(); ++column)
        switch (m_model->KindOf(column))
        {
        case DbVariableTableModel::ColumnKind::Name:
            shown[size_t(DbEditorColumn::Name)] = true;
            break;
        case DbVariableTableModel::ColumnKind::Class:
            shown[size_t(DbEditorColumn::Class)] = true;
            break;
        case DbVariableTableModel::ColumnKind::Type:
            shown[size_t(DbEditorColumn::Type)] = true;
            break;
        case DbVariableTableModel::ColumnKind::Description:
            shown[size_t(DbEditorColumn::Description)] = true;
            break;
        case DbVariableTableModel::ColumnKind::DefaultValue:
            shown[size_t(DbEditorColumn::DefaultValue)] = true;
            break;
        case DbVariableTableModel::ColumnKind::RecordValue:
            break;
        }
    if (!m_iniPath.empty())
        m_settings.Write(m_iniPath, shown);
}

bool CDbEditor::QueryClose(bool cancellable)
{
    List()->CommitEdit();
    if (!m_document->QueryClose(cancellable))
        return false;
    WriteSettings();
    return true;
}

void CDbEditor::CloseWithoutAsking()
{
    m_closing = true;
    close();
}

void CDbEditor::closeEvent(QCloseEvent* event)
{
    if (!m_closing && !QueryClose(true))
    {
        event->ignore();
        return;
    }
    m_closing = true;
    RememberEditorWindow(*this, m_iniPath);
    event->accept();
}

} // namespace mw
