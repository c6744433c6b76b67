// A tab's folder tree and file list.
#include "CFileView.h"

#include "CAdvancedActionDlg.h"
#include "IFileViewHost.h"
#include "StatusImages.h"
#include "ui/assets/IFileListFlavour.h"
#include "app/AdvancedActions.h"
#include "app/CModwrightApp.h"
#include "app/CommandTable.h"
#include "app/FileCommands.h"
#include "app/FileReorganiser.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QScrollBar>
#include <QTreeWidget>

namespace mw {
namespace {

constexpr int kPathRole = Qt::UserRole;
// Folder trees deeper than this are cut; a safeguard against link loops.
constexpr int kMaxFolderDepth = 64;

QString ToQt(const std::string& text) { return QString::fromUtf8(text); }

} // namespace

CFileView::CFileView(TabKind kind, IFileViewHost& host, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), m_kind(kind), m_host(host), m_tree(new QTreeWidget(this)),
      m_list(new QTreeWidget(this))
{
    m_tree->setHeaderHidden(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("User")});
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setUniformRowHeights(true);
    m_list->setSortingEnabled(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->resizeSection(1, 120);
    setStretchFactor(0, 1);
    setStretchFactor(1, 3);

    // The summary lists one folder, the client folder, and has no tree to choose from.
    if (kind == TabKind::Summary)
        m_tree->hide();
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { OnFolderChanged(); });
    connect(m_tree, &QTreeWidget::customContextMenuRequested, this, &CFileView::ShowFolderMenu);
    connect(m_list, &QTreeWidget::customContextMenuRequested, this, &CFileView::ShowFileMenu);
    connect(m_list, &QTreeWidget::itemChanged, this, &CFileView::OnItemRenamed);
    connect(m_list, &QTreeWidget::itemActivated, this, &CFileView::OnFileActivated);
}

bool CFileView::IsNetwork() const { return m_host.App().IsNetwork(); }

SourceControlClient& CFileView::SourceControl() const { return m_host.App().SourceControl(); }

FileReorganiser CFileView::Reorganiser() const
{
    CModwrightApp& app = m_host.App();
    FileReorganiser reorganiser(app, app.IsNetwork(), m_kind == TabKind::Database, &app.References());
    reorganiser.SetBusyIndicator([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    return reorganiser;
}

std::string CFileView::RootFolder() const
{
    if (m_kind == TabKind::Summary)
        return std::string();
    const char* tree = m_kind == TabKind::Sources ? "source/" : m_kind == TabKind::Assets ? "assets/" : "database/";
    return m_host.App().GetModPrefix() + tree;
}

std::vector<std::string> CFileView::SelectedPaths() const
{
    std::vector<std::string> paths;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
    {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (item->isSelected())
            paths.push_back(m_folder + item->data(0, kPathRole).toString().toStdString());
    }
    return paths;
}

void CFileView::Refresh()
{
    std::string keep = m_folder;
    // The rows chosen, the current row and how far the list and the tree are
    // scrolled survive a refresh, so the disk changing under the view (or F5)
    // does not lose the user's place.
    std::vector<std::string> selected;
    std::string current;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->isSelected())
            selected.push_back(m_list->topLevelItem(i)->data(0, kPathRole).toString().toStdString());
    if (QTreeWidgetItem* item = m_list->currentItem())
        current = item->data(0, kPathRole).toString().toStdString();
    int listScroll = m_list->verticalScrollBar()->value();
    int treeScroll = m_tree->verticalScrollBar()->value();
    bool sameFolder = true;
    if (m_kind == TabKind::Summary)
        m_folder = RootFolder();
    else
        FillTree();
    if (m_kind != TabKind::Summary && (keep.empty() || !SelectFolder(keep)))
        sameFolder = SelectFolder(RootFolder()) && keep == RootFolder();
    FillList();
    m_tree->verticalScrollBar()->setValue(treeScroll);
    if (!sameFolder)
    {
        emit Refreshed();
        return;
    }
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
    {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        std::string name = item->data(0, kPathRole).toString().toStdString();
        if (name == current)
            m_list->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        if (std::find(selected.begin(), selected.end(), name) != selected.end())
            item->setSelected(true);
    }
    m_list->verticalScrollBar()->setValue(listScroll);
    emit Refreshed();
}

std::vector<std::string> CFileView::TreeFolders() const
{
    std::vector<std::string> folders;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it)
        folders.push_back((*it)->data(0, kPathRole).toString().toStdString());
    return folders;
}

std::string CFileView::PathOfItem(const QTreeWidgetItem& item) const
{
    return m_folder + item.data(0, kPathRole).toString().toStdString();
}

void CFileView::FillTree()
{
    m_filling = true;
    m_tree->clear();
    std::string root = RootFolder();
    auto* rootItem = new QTreeWidgetItem(m_tree, {ToQt(root.substr(0, root.size() - 1))});
    rootItem->setData(0, kPathRole, ToQt(root));
    rootItem->setIcon(0, FolderIcon());
    AddFolderItems(rootItem, root, 0);
    rootItem->setExpanded(true);
    m_filling = false;
}

void CFileView::AddFolderItems(QTreeWidgetItem* parent, const std::string& folder, int depth)
{
    if (depth > kMaxFolderDepth)
        return;
    std::vector<std::string> names;
    // In network mode folders that exist only on the server show as well.
    if (IsNetwork())
        SourceControl().GetFoldersFast(folder, names);
    else
        SourceControl().GetFolders(folder, names);
    for (const std::string& name : names)
    {
        std::string path = folder + name + "/";
        auto* item = new QTreeWidgetItem(parent, {ToQt(name)});
        item->setData(0, kPathRole, ToQt(path));
        item->setIcon(0, FolderIcon());
        AddFolderItems(item, path, depth + 1);
    }
}

bool CFileView::SelectFolder(const std::string& folder)
{
    QTreeWidgetItemIterator it(m_tree);
    for (; *it; ++it)
    {
        if ((*it)->data(0, kPathRole).toString().toStdString() == folder)
        {
            for (QTreeWidgetItem* parent = (*it)->parent(); parent; parent = parent->parent())
                parent->setExpanded(true);
            m_tree->setCurrentItem(*it);
            m_folder = folder;
            return true;
        }
    }
    return false;
}

void CFileView::OnFolderChanged()
{
    if (m_filling)
        return;
    QTreeWidgetItem* item = m_tree->currentItem();
    m_folder = item ? item->data(0, kPathRole).toString().toStdString() : RootFolder();
    FillList();
}

void CFileView::FillList()
{
    m_filling = true;
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    std::vector<std::string> names;
    bool network = IsNetwork();
    // In network mode one question to source control answers every row.
    std::vector<FileRow> rows;
    if (network)
        rows = ReadFolderRows(SourceControl(), m_folder);
    else
        SourceControl().GetFiles(m_folder, names, 0, false, std::string());
    for (const FileRow& row : rows)
        names.push_back(row.name);
    m_list->setColumnHidden(1, !network);
    QIcon plain = PlainFileIcon();
    QList<QTreeWidgetItem*> items;
    items.reserve(int(names.size()));
    for (size_t index = 0; index < names.size(); ++index)
    {
        const std::string& name = names[index];
        // Only the name below the folder is shown.
        std::string shown = name.rfind(m_folder, 0) == 0 ? name.substr(m_folder.size()) : name;
        auto* item = new QTreeWidgetItem({ToQt(shown)});
        item->setData(0, kPathRole, ToQt(shown));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (network)
        {
            const FileRowStatus& status = rows[index].status;
            item->setIcon(0, FileStatusIcon(status.image, status.stateMark, status.conflicted));
            item->setText(1, ToQt(status.holder));
            item->setToolTip(0, QString::fromUtf8(FileRowStateText(status)));
        }
        else
            item->setIcon(0, plain);
        if (m_flavour)
            m_flavour->DecorateItem(*item, m_folder + shown);
        items.push_back(item);
    }
    m_list->addTopLevelItems(items);
    m_list->setUpdatesEnabled(true);
    m_filling = false;
}

void CFileView::SelectFiles(const std::vector<std::string>& names)
{
    m_list->clearSelection();
    QTreeWidgetItem* first = nullptr;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
    {
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        std::string name = item->data(0, kPathRole).toString().toStdString();
        if (std::find(names.begin(), names.end(), name) == names.end())
            continue;
        if (!first)
            first = item;
        item->setSelected(true);
    }
    // The first chosen row also becomes current, so that the keyboard and
    // the commands that act on one row start from it.
    if (first)
    {
        m_list->setCurrentItem(first, 0, QItemSelectionModel::Current);
        m_list->scrollToItem(first);
    }
}

QTreeWidgetItem* CFileView::SelectedItem() const
{
    QTreeWidgetItem* current = m_list->currentItem();
    if (current && current->isSelected())
        return current;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        if (m_list->topLevelItem(i)->isSelected())
            return m_list->topLevelItem(i);
    return nullptr;
}

void CFileView::StartRename(const std::string& path)
{
    if (path.empty())
        return;
    SelectFiles({path.substr(m_folder.size())});
    Rename();
}

void CFileView::SetBusy(bool busy)
{
    m_busy = busy;
    setEnabled(!busy);
}

void CFileView::Rename()
{
    // The selected row is renamed, never a current row that is not selected.
    QTreeWidgetItem* item = SelectedItem();
    if (!item || m_busy || m_readOnly)
        return;
    m_list->setCurrentItem(item, 0, QItemSelectionModel::Current);
    m_list->setFocus();
    m_list->editItem(item, 0);
}

void CFileView::OnItemRenamed(QTreeWidgetItem* item, int column)
{
    if (m_filling || column != 0)
        return;
    std::string oldName = item->data(0, kPathRole).toString().toStdString();
    std::string newName = item->text(0).toStdString();
    if (newName == oldName)
        return;
    // The list is refilled after the edit has finished with its item.
    std::string folder = m_folder;
    QTimer::singleShot(0, this, [this, folder, oldName, newName] {
        bool renamed = Reorganiser().RenameFile(folder + oldName, newName);
        FillList();
        SelectFiles({renamed ? newName : oldName});
    });
}

void CFileView::SelectAll() { m_list->selectAll(); }

void CFileView::Copy() { m_copied = SelectedPaths(); }

void CFileView::Paste()
{
    if (m_copied.empty() || m_busy || m_readOnly)
        return;
    std::vector<std::string> created = PasteFiles(m_host.App(), m_copied, m_folder);
    FillList();
    std::vector<std::string> names;
    for (const std::string& path : created)
        names.push_back(path.substr(m_folder.size()));
    SelectFiles(names);
}

void CFileView::Delete()
{
    if (m_busy || m_readOnly)
        return;
    if (Reorganiser().DeleteFiles(SelectedPaths()))
        FillList();
}

void CFileView::MoveSelectedRecords()
{
    std::vector<std::string> paths = SelectedPaths();
    if (m_kind != TabKind::Database || paths.empty() || m_busy)
        return;
    CModwrightApp& app = m_host.App();
    QString start = ToQt(app.GetWorkingDir() + RootFolder());
    QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Move Records To"), start);
    if (chosen.isEmpty())
        return;
    bool inside = false;
    std::string relative = StripPathPrefix(chosen.toStdString() + "/", app.GetWorkingDir() + RootFolder(), &inside);
    if (!inside)
    {
        m_host.Prompt().Show("Records can only be moved within the database folder.", "", PromptButtons::Ok,
                             PromptIcon::Error);
        return;
    }
    std::string target = RootFolder() + ToForwardSlashes(relative);
    // One question about the references of all the moved files.
    Reorganiser().MoveRecords(paths, target);
    Refresh();
}

void CFileView::Properties()
{
    std::vector<std::string> paths = SelectedPaths();
    if (paths.empty())
        return;
    FileProperties properties = ReadFileProperties(SourceControl(), paths.front());
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Properties"));
    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("Local path:"), new QLabel(ToQt(properties.localPath)));
    if (IsNetwork())
    {
        form->addRow(QStringLiteral("Server version:"), new QLabel(ToQt(properties.serverVersion)));
        form->addRow(QStringLiteral("Server checksum:"), new QLabel(ToQt(properties.serverChecksum)));
        form->addRow(QStringLiteral("Local version:"), new QLabel(ToQt(properties.localVersion)));
        form->addRow(QStringLiteral("Local checksum:"), new QLabel(ToQt(properties.localChecksum)));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    form->addRow(buttons);
    dialog.exec();
}

void CFileView::CheckOutAndEdit()
{
    std::vector<std::string> paths = SelectedPaths();
    if (paths.size() != 1)
        return;
    bool open = CheckOutForEdit(m_host.App(), paths.front(), IsNetwork());
    FillList();
    SelectFiles({paths.front().substr(m_folder.size())});
    if (open)
        m_host.OpenFile(paths.front());
}

void CFileView::NewFile(const std::string& kind, const std::string& extension)
{
    std::string path = NewEmptyFile(m_host.App(), m_folder, kind, extension);
    FillList();
    // A new file opens with its name ready to be typed over.
    StartRename(path);
}

void CFileView::NewFromDefault(size_t index)
{
    const std::vector<DefaultFile>& defaults = m_host.App().GetDefaults();
    if (index >= defaults.size())
        return;
    std::string path = NewFileFromDefault(m_host.App(), m_folder, defaults[index]);
    FillList();
    StartRename(path);
}

void CFileView::Import()
{
    bool database = m_kind == TabKind::Database;
    QString filter = database ? QStringLiteral("Record files (*.dbr)") : QStringLiteral("All (*.*)");
    QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Import"), QString(), filter);
    if (chosen.isEmpty())
        return;
    std::string path = ImportFile(m_host.App(), chosen.toStdString(), m_folder, database);
    FillList();
    if (!path.empty())
        SelectFiles({path.substr(m_folder.size())});
}

void CFileView::OnFileActivated(QTreeWidgetItem* item)
{
    if (item)
        OpenItem(m_folder + item->data(0, kPathRole).toString().toStdString());
}

void CFileView::OpenItem(const std::string& path)
{
    if (m_flavour && m_flavour->Open(path))
    {
        FillList();
        SelectFiles({path.substr(m_folder.size())});
        return;
    }
    m_host.OpenFile(path);
}

void CFileView::SetFlavour(IFileListFlavour* flavour)
{
    m_flavour = flavour;
    if (m_flavour)
        m_flavour->SetUpList(*m_list);
}

QAction* CFileView::AddCommand(QMenu& menu, const QString& text, int id, bool enabled)
{
    QAction* action = menu.addAction(text);
    action->setData(id);
    action->setEnabled(enabled && (m_host.IsCommandAvailable(id) || (m_flavour && m_flavour->HandlesCommand(id))));
    return action;
}

void CFileView::AddNewFileItems(QMenu& menu)
{
    if (m_kind == TabKind::Sources)
    {
        QMenu* newMenu = menu.addMenu(QStringLiteral("&New"));
        const std::vector<DefaultFile>& defaults = m_host.App().GetDefaults();
        for (size_t i = 0; i < defaults.size(); ++i)
            AddCommand(*newMenu, ToQt(defaults[i].baseName + "." + defaults[i].extension),
                       CommandId::kNewFromDefaultFirst + int(i));
        newMenu->setEnabled(!defaults.empty());
        AddCommand(menu, QStringLiteral("&Import..."), CommandId::kImport);
    }
    else if (m_kind == TabKind::Database)
    {
        AddCommand(menu, QStringLiteral("New &Record"), CommandId::kNewRecord);
        AddCommand(menu, QStringLiteral("New &Template"), CommandId::kNewTemplate);
        AddCommand(menu, QStringLiteral("&Import..."), CommandId::kImport);
    }
}

void CFileView::ShowFileMenu(const QPoint& position)
{
    std::vector<std::string> paths = SelectedPaths();
    bool any = !paths.empty();
    bool one = paths.size() == 1;
    bool writable = !m_busy && !m_readOnly;
    QMenu menu(this);
    AddCommand(menu, QStringLiteral("&Open"), CommandId::kFileOpen, one);
    AddCommand(menu, QStringLiteral("&Edit"), CommandId::kFileEdit, one);
    menu.addSeparator();
    AddCommand(menu, QStringLiteral("&Copy"), CommandId::kCopy, any);
    AddCommand(menu, QStringLiteral("&Paste"), CommandId::kPaste, !m_copied.empty() && writable);
    AddCommand(menu, QStringLiteral("&Delete"), CommandId::kDelete, any && writable);
    AddCommand(menu, QStringLiteral("&Rename"), CommandId::kRename, one && writable);
    if (IsNetwork())
    {
        menu.addSeparator();
        bool busy = m_host.IsBusy();
        bool mine = any && AnyHeldByUser(SourceControl(), paths);
        AddCommand(menu, QStringLiteral("&Sync to Head Revision"), CommandId::kFileSyncToHead, any);
        AddCommand(menu, QStringLiteral("Re&do Sync"), CommandId::kFileRedoSync, any);
        AddCommand(menu, QStringLiteral("Check &Out"), CommandId::kFileCheckOut, any && !busy);
        AddCommand(menu, QStringLiteral("Check &In"), CommandId::kFileCheckIn, mine && !busy);
        AddCommand(menu, QStringLiteral("&Undo Check Out"), CommandId::kFileUndoCheckOut, mine && !busy);
        AddCommand(menu, QStringLiteral("Re&solve"), CommandId::kFileResolve,
                   any && !busy && AnyInConflict(SourceControl(), paths));
        AddCommand(menu, QStringLiteral("Check Out and &Edit"), CommandId::kCheckOutAndEdit, one);
    }
    menu.addSeparator();
    AddCommand(menu, QStringLiteral("P&roperties"), CommandId::kFileProperties, one);
    if (m_kind == TabKind::Sources)
        AddCommand(menu, QStringLiteral("Make &Asset Automatically"), CommandId::kMakeAsset, any && writable);
    if (m_kind == TabKind::Database)
        AddCommand(menu, QStringLiteral("&Move Record..."), CommandId::kMoveRecord, any && !m_busy);
    menu.addSeparator();
    AddNewFileItems(menu);
    if (m_flavour)
        m_flavour->AddMenuItems(menu, paths);
    QAction* chosen = menu.exec(m_list->viewport()->mapToGlobal(position));
    if (chosen)
        FileCommand(chosen->data().toInt());
}

void CFileView::FileCommand(int id)
{
    std::vector<std::string> paths = SelectedPaths();
    CModwrightApp& app = m_host.App();
    // The flavour's numbers come first: the asset list's overlap the defaults'.
    if (m_flavour && m_flavour->HandlesCommand(id))
    {
        if (m_flavour->Command(id, m_folder, paths))
            FillList();
        return;
    }
    if (id >= CommandId::kNewFromDefaultFirst && id < CommandId::kNewFromDefaultFirst + 1000)
    {
        NewFromDefault(size_t(id - CommandId::kNewFromDefaultFirst));
        return;
    }
    switch (id)
    {
    case CommandId::kFileOpen:
        if (paths.size() == 1)
            OpenItem(paths.front());
        break;
    case CommandId::kFileEdit:
        if (paths.size() == 1)
            m_host.OpenFile(paths.front());
        break;
    case CommandId::kCopy:
        Copy();
        break;
    case CommandId::kPaste:
        Paste();
        break;
    case CommandId::kDelete:
        Delete();
        break;
    case CommandId::kRename:
        Rename();
        break;
    case CommandId::kFileSyncToHead:
    case CommandId::kFileRedoSync:
        for (const std::string& path : paths)
            SyncFile(app, path, id == CommandId::kFileRedoSync);
        FillList();
        break;
    case CommandId::kFileCheckOut:
        m_host.RunBatch(BatchAction::CheckOut, paths);
        break;
    // Only files this user holds are checked in or reverted, from the menu
    // or the toolbar alike. One file goes at once, with a message when it
    // fails; several go to the worker.
    case CommandId::kFileCheckIn:
    case CommandId::kFileUndoCheckOut:
    {
        std::vector<std::string> held = PathsHeldByUser(SourceControl(), paths);
        if (held.empty())
            break;
        bool checkIn = id == CommandId::kFileCheckIn;
        if (held.size() == 1 && !m_host.IsBusy())
        {
            if (checkIn)
                CheckInOneFile(app, held.front());
            else
                RevertOneFile(app, held.front());
            FillList();
        }
        else
            m_host.RunBatch(checkIn ? BatchAction::CheckIn : BatchAction::Revert, held);
        break;
    }
    case CommandId::kFileResolve:
        for (const std::string& path : paths)
            ResolveOneFile(app, path);
        FillList();
        break;
    case CommandId::kCheckOutAndEdit:
        CheckOutAndEdit();
        break;
    case CommandId::kFileProperties:
        Properties();
        break;
    case CommandId::kMoveRecord:
        MoveSelectedRecords();
        break;
    case CommandId::kNewRecord:
        NewFile("Record", "dbr");
        break;
    case CommandId::kNewTemplate:
        NewFile("Template", "tpl");
        break;
    case CommandId::kImport:
        Import();
        break;
    default:
        break;
    }
}

void CFileView::ShowFolderMenu(const QPoint& position)
{
    QTreeWidgetItem* item = m_tree->itemAt(position);
    if (!item)
        return;
    m_tree->setCurrentItem(item);
    bool busy = m_host.IsBusy();
    bool isRoot = m_folder == RootFolder();
    QMenu menu(this);
    AddCommand(menu, QStringLiteral("&Create Folder..."), CommandId::kFolderCreate, !m_busy);
    if (IsNetwork())
    {
        menu.addSeparator();
        AddCommand(menu, QStringLiteral("Check &Out"), CommandId::kFolderCheckOut, !busy);
        AddCommand(menu, QStringLiteral("Check &In"), CommandId::kFolderCheckIn, !busy);
        AddCommand(menu, QStringLiteral("&Undo Check Out"), CommandId::kFolderUndoCheckOut, !busy);
        AddCommand(menu, QStringLiteral("&Sync to Head Revision"), CommandId::kFolderSyncToHead);
        AddCommand(menu, QStringLiteral("Re&do Sync"), CommandId::kFolderRedoSync);
        AddCommand(menu, QStringLiteral("&Add Files..."), CommandId::kFolderAddFiles);
        AddCommand(menu, QStringLiteral("Add Files &Recursively"), CommandId::kFolderAddRecursively, !busy);
    }
    menu.addSeparator();
    AddCommand(menu, QStringLiteral("&Delete"), CommandId::kFolderDelete, !m_busy && !isRoot);
    if (IsNetwork())
    {
        AddCommand(menu, QStringLiteral("Re&name"), CommandId::kFolderRename, !m_busy && !isRoot);
        AddCommand(menu, QStringLiteral("Ad&vanced..."), CommandId::kFolderAdvanced);
    }
    int buildId = m_kind == TabKind::Database ? CommandId::kFolderBuild : CommandId::kFolderBuildAssets;
    QAction* build = AddCommand(menu, QStringLiteral("&Build"), buildId, !busy);
    build->setToolTip(QStringLiteral("Recursively builds all of the files under this directory"));
    build->setStatusTip(build->toolTip());
    QAction* chosen = menu.exec(m_tree->viewport()->mapToGlobal(position));
    if (chosen)
        FolderCommand(chosen->data().toInt());
}

void CFileView::FolderCommand(int id)
{
    CModwrightApp& app = m_host.App();
    std::string folder = m_folder;
    switch (id)
    {
    case CommandId::kFolderCreate:
    {
        bool ok = false;
        QString name = QInputDialog::getText(this, QStringLiteral("Create Folder"), QStringLiteral("Folder name:"),
                                             QLineEdit::Normal, QString(), &ok);
        if (!ok || name.isEmpty())
            return;
        if (CreateFolder(app, folder, name.toStdString()))
        {
            FillTree();
            SelectFolder(folder + name.toStdString() + "/");
            FillList();
        }
        return;
    }
    case CommandId::kFolderCheckOut:
        m_host.RunBatch(BatchAction::CheckOut, FilesBelowFolder(SourceControl(), folder, false));
        return;
    case CommandId::kFolderCheckIn:
        m_host.RunBatch(BatchAction::CheckIn, FilesBelowFolder(SourceControl(), folder, true));
        return;
    case CommandId::kFolderUndoCheckOut:
        m_host.RunBatch(BatchAction::Revert, FilesBelowFolder(SourceControl(), folder, true));
        return;
    case CommandId::kFolderSyncToHead:
    case CommandId::kFolderRedoSync:
        SyncFolder(app, folder, id == CommandId::kFolderRedoSync);
        Refresh();
        return;
    case CommandId::kFolderAddRecursively:
        m_host.AddFilesRecursively(folder);
        return;
    case CommandId::kFolderRename:
    {
        bool ok = false;
        std::string current = folder.substr(0, folder.size() - 1);
        current = current.substr(current.rfind('/') + 1);
        QString name = QInputDialog::getText(this, QStringLiteral("Rename Folder"), QStringLiteral("New name:"),
                                             QLineEdit::Normal, QString::fromUtf8(current), &ok);
        if (!ok || name.isEmpty() || name.toStdString() == current)
            return;
        std::string renamed = Reorganiser().RenameFolder(folder, name.toStdString());
        FillTree();
        if (renamed.empty() || !SelectFolder(renamed))
            SelectFolder(folder);
        FillList();
        return;
    }
    case CommandId::kFolderAddFiles:
    {
        QStringList chosen = QFileDialog::getOpenFileNames(this, QStringLiteral("Add Files"),
                                                           QString::fromUtf8(app.GetWorkingDir() + folder));
        std::vector<std::string> paths;
        for (const QString& file : chosen)
        {
            bool inside = false;
            std::string relative = StripPathPrefix(file.toStdString(), app.GetWorkingDir(), &inside);
            if (inside)
                paths.push_back(ToForwardSlashes(relative));
            else
                m_host.Prompt().Show(Format("%s is not below the working folder.", file.toStdString().c_str()), "",
                                     PromptButtons::Ok, PromptIcon::Error);
        }
        AddFilesUntilFailure(app, paths);
        FillList();
        return;
    }
    case CommandId::kFolderAdvanced:
    {
        CAdvancedActionDlg dialog(app, folder, this);
        if (dialog.exec() == QDialog::Accepted)
            m_host.RunBatch(dialog.Action(), dialog.ChosenFiles());
        FillList();
        return;
    }
    case CommandId::kFolderDelete:
        if (Reorganiser().DeleteFolder(folder))
        {
            std::string parent = folder.substr(0, folder.rfind('/', folder.size() - 2) + 1);
            FillTree();
            if (!SelectFolder(parent))
                SelectFolder(RootFolder());
            FillList();
        }
        return;
    case CommandId::kFolderBuild:
    case CommandId::kFolderBuildAssets:
        // Sources are built through their assets, which mirror the source
        // folders (an asset made from a source file keeps its path).
        if (m_kind == TabKind::Sources)
            folder = app.GetModPrefix() + "assets/" + StripPathPrefix(folder, RootFolder());
        m_host.BuildFolder(m_kind == TabKind::Database, folder);
        return;
    default:
        return;
    }
}

} // namespace mw
