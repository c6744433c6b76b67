// One tab of the main window: the folder tree of one input tree (source,
// assets or database of the current mod) on the left and the files of the
// chosen folder on the right, with the file and folder commands.
#pragma once

#include <QSplitter>

#include <string>
#include <vector>

class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

namespace mw {

class FileReorganiser;
class IFileListFlavour;
class IFileViewHost;
class SourceControlClient;

enum class TabKind
{
    Sources,
    Assets,
    Database,
    // The files of the client folder itself, without a folder tree (File Summary).
    Summary,
};

class CFileView : public QSplitter
{
    Q_OBJECT
public:
    CFileView(TabKind kind, IFileViewHost& host, QWidget* parent = nullptr);

    TabKind Kind() const { return m_kind; }
    // "source/", "assets/" or "database/", below the mod's folder when a mod
    // is selected; empty for the summary.
    std::string RootFolder() const;
    // The folder shown (relative, ending in "/").
    std::string CurrentFolder() const { return m_folder; }
    // The selected files as paths relative to the working folder.
    std::vector<std::string> SelectedPaths() const;

    // Re-reads the tree and the list, keeping the folder shown when it still
    // exists, and the selection and scroll positions with it.
    void Refresh();
    // The path of a row of the file list, relative to the working folder.
    std::string PathOfItem(const QTreeWidgetItem& item) const;
    // The folders of the tree (relative, ending in "/"), root first.
    std::vector<std::string> TreeFolders() const;
    bool SelectFolder(const std::string& folder);
    void SelectFiles(const std::vector<std::string>& names);
    void SetBusy(bool busy);
    bool IsBusy() const { return m_busy; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // Commands passed on from the main window's menus.
    void Rename();
    void SelectAll();
    void Copy();
    void Paste();
    void Delete();
    void MoveSelectedRecords();
    void Properties();
    void CheckOutAndEdit();
    void NewFile(const std::string& kind, const std::string& extension);
    void NewFromDefault(size_t index);
    void Import();
    // The file list's source-control commands.
    void FileCommand(int id);

    // Gives the list the columns and commands of its kind of file (the
    // asset list's status and asset commands); the flavour outlives the view.
    void SetFlavour(IFileListFlavour* flavour);
    // Opens a file (relative to the working folder) as the list's Open does.
    void OpenItem(const std::string& path);

    QTreeWidget* FolderTree() const { return m_tree; }
    QTreeWidget* FileList() const { return m_list; }

signals:
    // The tree and the list were read again.
    void Refreshed();

private:
    void FillTree();
    void AddFolderItems(QTreeWidgetItem* parent, const std::string& folder, int depth);
    void FillList();
    void OnFolderChanged();
    void OnItemRenamed(QTreeWidgetItem* item, int column);
    void OnFileActivated(QTreeWidgetItem* item);
    void ShowFileMenu(const QPoint& position);
    void ShowFolderMenu(const QPoint& position);
    void FolderCommand(int id);
    // The row a one-file command acts on: the current row when it is
    // selected, else the first selected row; null when none is selected.
    QTreeWidgetItem* SelectedItem() const;
    // Selects a file just made (relative to the working folder) and opens
    // its name for editing.
    void StartRename(const std::string& path);
    void AddNewFileItems(QMenu& menu);
    QAction* AddCommand(QMenu& menu, const QString& text, int id, bool enabled = true);
    bool IsNetwork() const;
    SourceControlClient& SourceControl() const;
    // Rename, Move and Delete that keep references on the Database tab and
    // trash deleted files without network mode.
    FileReorganiser Reorganiser() const;

    TabKind m_kind;
    IFileViewHost& m_host;
    QTreeWidget* m_tree;
    QTreeWidget* m_list;
    std::string m_folder;
    std::vector<std::string> m_copied;
    bool m_busy = false;
    bool m_readOnly = false;
    bool m_filling = false;
    IFileListFlavour* m_flavour = nullptr;
};

} // namespace mw
