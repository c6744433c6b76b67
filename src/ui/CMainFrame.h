// The main window: three tabs with their file and folder views, the output
// pane, the status bar, the menus of network or local mode, and the one
// worker thread on which long operations run.
#pragma once

#include "IFileViewHost.h"
#include "OperationTable.h"
#include "app/OutputLog.h"
#include "app/WorkerThread.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QToolButton;
class QTimer;
class QToolBar;

namespace mw {

class CFileView;
class CLiveTabs;
class CModwrightApp;
class COutputView;
class CAssetFileView;
class CSourceAssetMaker;

class CMainFrame : public QMainWindow, public IFileViewHost
{
    Q_OBJECT
public:
    CMainFrame(CModwrightApp& app, IUserPrompt& prompt, OperationTable operations, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The log to hand to the application (SetFrame) and to source control.
    OutputLog& Log() { return m_log; }
    COutputView& OutputPane() { return *m_output; }
    CFileView& View(int tab) { return *m_views[tab]; }
    CFileView& CurrentView();
    void SetCurrentTab(int tab);
    QAction* Action(int id) const;
    // The previews, thumbnails and disk watcher of the tabs.
    CLiveTabs& LiveTabs() { return *m_liveTabs; }

    // Runs a command as its menu item would; false when it is disabled.
    bool TriggerCommand(int id);
    // Starts an operation on the worker by the worker pattern: refused (with
    // its busy text where it has one) while another runs.
    bool StartWorkerCommand(int id, std::function<void()> body);
    bool StartWorker(int id, const std::string& operationName, std::function<void()> body);
    // While the worker runs: shows the command's busy text, if it has one, and gives true.
    bool RefusedAsBusy(int id);
    WorkerThread& Worker() { return m_worker; }
    // Signals the cancel event and waits for the worker while the window keeps painting.
    void Stop();
    // Moves queued log lines into the pane.
    void FlushOutput();
    void UpdateCommandStates();
    void RebuildModMenu();
    void RefreshViews();
    // Marks the three file views busy (Sync runs) or usable again.
    void SetViewsBusy(bool busy);
    // Replaces how files are opened (tests).
    void SetFileOpener(std::function<void(const std::string& fullPath)> opener) { m_opener = std::move(opener); }

    // IFileViewHost.
    CModwrightApp& App() override { return m_app; }
    IUserPrompt& Prompt() override { return m_prompt; }
    bool IsBusy() const override { return m_worker.IsRunning(); }
    bool IsCommandAvailable(int id) const override;
    void RunBatch(BatchAction action, const std::vector<std::string>& paths) override;
    void BuildFolder(bool database, const std::string& folder) override;
    void AddFilesRecursively(const std::string& folder) override;
    void OpenFile(const std::string& path) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void RegisterHandlers();
    void Handle(int id, std::function<void()> handler) { m_handlers[id] = std::move(handler); }
    void BuildMenus();
    QMenu* AddMenu(const QString& title, const std::vector<int>& ids);
    QAction* MakeAction(int id);
    void BuildToolBar();
    void BuildStatusBar();
    void OnAction(QAction* action);
    void OnTimer();
    void SelectMod(int id);
    // The current mod in the title and the status bar.
    void UpdateModDisplay();
    // The status bar's message when an operation ended, and the button to
    // its first error line.
    void ShowOperationEnd();
    void ShowFirstError();
    // Opens the asset whose build wrote the output line at row; false when
    // the line belongs to no asset.
    bool OpenAssetOfBuildLine(int row);
    void ViewCommand(void (CFileView::*command)());
    // Edit > Undo takes back the last edit of the focused text field (a
    // name being typed in a file list).
    bool FocusCanUndo() const;
    // The network toolbar's Check In and Undo Check Out: enabled while a
    // chosen row of the current tab is held by this user.
    void UpdateToolBarStates();
    void UpdateUndoAction();

    // Command handlers, named after their menu paths.
    void OnDatabaseSync();
    void OnDatabaseInvoketemplatron();
    void OnDatabaseFindreferences();
    void OnDatabaseUpdatereferences();
    void OnDatabaseArchivestatistics();
    void OnDatabaseImportrecord();
    void OnFileSetworkingfolder();
    void OnToolsOptions();
    void OnToolsStatusreport();
    void OnAppAbout();
    // Mods, the archives that come with the tool, and the guide.
    void OnModNew();
    void OnModDelete();
    void OnHelpGuide();

public:
    // Extracts Toolset/Templates.arc into the working folder's Database/, or
    // Toolset/Tutorials.arc into its CustomMaps/, with the install dialog;
    // true when every file was installed.
    bool InstallTemplates();
    bool InstallTutorials();

private:
    bool InstallArchive(const char* archive, const std::string& destination);

    CModwrightApp& m_app;
    IUserPrompt& m_prompt;
    OperationTable m_operations;
    OutputLog m_log;
    WorkerThread m_worker;
    QTabWidget* m_tabs = nullptr;
    CFileView* m_views[3] = {};
    COutputView* m_output = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_messagePane = nullptr;
    QLabel* m_userPane = nullptr;
    QLabel* m_folderPane = nullptr;
    QLabel* m_modPane = nullptr;
    QToolButton* m_firstErrorButton = nullptr;
    QMenu* m_selectMenu = nullptr;
    QTimer* m_timer = nullptr;
    std::map<int, QAction*> m_actions;
    std::map<int, std::function<void()>> m_handlers;
    std::function<void(const std::string&)> m_opener;
    // The Assets tab's list flavour and the Sources tab's asset maker.
    std::unique_ptr<CAssetFileView> m_assetView;
    std::unique_ptr<CSourceAssetMaker> m_sourceAssetMaker;
    CLiveTabs* m_liveTabs = nullptr;
    bool m_wasBusy = false;
    // Stop was pressed during the running operation.
    bool m_stopRequested = false;
};

} // namespace mw
