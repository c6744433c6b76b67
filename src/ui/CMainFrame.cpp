// The main window.
#include "CMainFrame.h"

#include "CFileSummaryDialog.h"
#include "CFileView.h"
#include "COptionsDialog.h"
#include "COutputView.h"
#include "CRecordBrowser.h"
#include "CServerMonitorDialog.h"
#include "CFolderDialog.h"
#include "CInstallDialog.h"
#include "CLiveTabs.h"
#include "CNewCustomMapDlg.h"
#include "CStatusReportDialog.h"
#include "CWorkingFolderDlg.h"
#include "DocumentOpener.h"
#include "app/OutputLineFile.h"
#include "app/CModwrightApp.h"
#include "app/CommandTable.h"
#include "app/FileCommands.h"
#include "app/BuildLineAsset.h"
#include "app/ImportRecord.h"
#include "app/MainWindowTexts.h"
#include "app/ModManagement.h"
#include "app/ToolsetFiles.h"
#include "app/ToolsetInstall.h"
#include "ui/assets/CAssetFileView.h"
#include "ui/assets/CSourceAssetMaker.h"
#include "platform/DesktopLaunch.h"
#include "platform/FileSystem.h"
#include "app/OptionSettings.h"
#include "app/WorkspaceOperations.h"
#include "assets/BuildDriver.h"
#include "dbtools/DatabaseCompile.h"
#include "dbtools/DatabaseSync.h"
#include "dbtools/References.h"
#include "dbtools/Templatron.h"
#include "platform/PathRules.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QToolButton>

namespace mw {
namespace {

using namespace CommandId;

QString ToQt(const std::string& text) { return QString::fromUtf8(text); }

QKeySequence ShortcutOf(int id)
{
    switch (id)
    {
    case kBuild:
        return QKeySequence(Qt::Key_F7);
    case kRename:
        return QKeySequence(Qt::Key_F2);
    case kSelectAll:
        return QKeySequence(Qt::CTRL | Qt::Key_A);
    case kDelete:
        return QKeySequence(Qt::Key_Delete);
    case kStop:
        return QKeySequence(Qt::CTRL | Qt::Key_Pause);
    case kRefresh:
        return QKeySequence(Qt::Key_F5);
    default:
        return QKeySequence();
    }
}

// The name records give a template: "%TEMPLATE_DIR%" and its path relative
// to the working folder with "\", the database folder spelled "Database".
std::string TemplateNameOf(const std::string& relativePath)
{
    std::string name = ToBackslashes(relativePath);
    if (name.size() > 9 && EqualsNoCase(name.substr(0, 9), "database\\"))
        name = "Database\\" + name.substr(9);
    return "%TEMPLATE_DIR%" + name;
}

} // namespace

CMainFrame::CMainFrame(CModwrightApp& app, IUserPrompt& prompt, OperationTable operations, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_prompt(prompt), m_operations(std::move(operations))
{
    setWindowTitle(ToQt(MainWindowTitle(app.GetDatabase(), app.GetCurrentModName())));
    resize(1100, 760);

    m_tabs = new QTabWidget;
    const char* names[3] = {"Sources", "Assets", "Database"};
    TabKind kinds[3] = {TabKind::Sources, TabKind::Assets, TabKind::Database};
    for (int i = 0; i < 3; ++i)
    {
        m_views[i] = new CFileView(kinds[i], *this);
        m_tabs->addTab(m_views[i], QString::fromLatin1(names[i]));
    }
    // The Assets tab lists assets with their status and asset commands; the
    // Sources tab makes assets from source files with the same dialogs.
    m_assetView = std::make_unique<CAssetFileView>(
        app, this, [this](const std::string& operationName, std::function<void()> body) {
            return StartWorker(kBuild, operationName, std::move(body));
        });
    m_views[1]->SetFlavour(m_assetView.get());
    m_sourceAssetMaker = std::make_unique<CSourceAssetMaker>(app, *m_assetView, [this] { m_views[1]->Refresh(); });
    m_views[0]->SetFlavour(m_sourceAssetMaker.get());
    m_liveTabs = new CLiveTabs(app, m_views, [this] { return m_worker.IsRunning(); }, this);
    m_output = new COutputView(prompt);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(m_tabs);
    split->addWidget(m_output);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    setCentralWidget(split);

    // Lines reach the pane on this thread only: the log queues them and asks
    // for a flush through the event loop.
    m_log.SetNotify([this] { QMetaObject::invokeMethod(this, [this] { FlushOutput(); }, Qt::QueuedConnection); });
    m_app.SetFrame(&m_log);

    m_opener = [this](const std::string& fullPath) {
        std::string extension = ToLowerAscii(Extension(fullPath));
        bool record = extension == "dbr" || extension == "tpl";
        if (record && m_operations.openInDatabaseEditor && m_operations.openInDatabaseEditor(fullPath))
            return;
        if (!OpenDocument(fullPath))
            m_prompt.Show(Format("Couldn't open %s.", fullPath.c_str()), "", PromptButtons::Ok, PromptIcon::Error);
    };

    // A line that names a record, a template or another file opens it.
    m_output->SetLineOpener([this](const std::string& line) {
        std::string fullPath = FileOfOutputLine(m_app, line);
        if (!fullPath.empty() && m_opener)
            m_opener(fullPath);
        // A compiler's line opens the asset whose build printed it.
        else if (fullPath.empty())
            OpenAssetOfBuildLine(m_output->currentRow());
    });

    // The build tells how far it is; the status bar shows it.
    m_app.Builder().SetProgress([this](int done, int total, const std::string&) {
        m_worker.SetProgress(size_t(done), size_t(total));
    });

    RegisterHandlers();
    BuildMenus();
    if (m_app.IsNetwork())
    {
        BuildToolBar();
        // Check In and Undo Check Out follow the rows chosen in the current tab.
        for (CFileView* view : m_views)
            connect(view->FileList(), &QTreeWidget::itemSelectionChanged, this, [this] { UpdateToolBarStates(); });
        connect(m_tabs, &QTabWidget::currentChanged, this, [this] { UpdateToolBarStates(); });
    }
    BuildStatusBar();
    RebuildModMenu();
    RefreshViews();
    UpdateCommandStates();

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &CMainFrame::OnTimer);
    m_timer->start(200);
}

CMainFrame::~CMainFrame()
{
    // No operation may log into a window that is gone.
    if (m_worker.IsRunning())
    {
        m_app.RequestCancel();
        while (!m_worker.WaitForEnd(1000))
        {
        }
    }
    m_log.SetNotify(nullptr);
    m_app.SetFrame(nullptr);
    m_app.Builder().SetProgress(nullptr);
}

CFileView& CMainFrame::CurrentView() { return *m_views[m_tabs->currentIndex()]; }

void CMainFrame::SetCurrentTab(int tab) { m_tabs->setCurrentIndex(tab); }

QAction* CMainFrame::Action(int id) const
{
    auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

bool CMainFrame::IsCommandAvailable(int id) const
{
    if (m_handlers.count(id))
        return true;
    if (id == kFolderBuildAssets)
        return bool(m_operations.compileAssets);
    // Commands the views carry out themselves.
    switch (id)
    {
    case kFileOpen:
    case kFileEdit:
    case kFileSyncToHead:
    case kFileCheckOut:
    case kFileCheckIn:
    case kFileUndoCheckOut:
    case kCheckOutAndEdit:
    case kMoveRecord:
    case kNewRecord:
    case kNewTemplate:
    case kImport:
    case kFolderCreate:
    case kFolderCheckOut:
    case kFolderCheckIn:
    case kFolderUndoCheckOut:
    case kFolderSyncToHead:
    case kFolderRedoSync:
    case kFolderAddRecursively:
    case kFolderDelete:
    case kFolderBuild:
    case kFolderAdvanced:
    case kFolderRename:
    case kFolderAddFiles:
        return true;
    default:
        return id >= kNewFromDefaultFirst && id < kNewFromDefaultFirst + 1000;
    }
}

void CMainFrame::RegisterHandlers()
{
    CModwrightApp& app = m_app;
    Handle(kBuild, [this, &app] { StartWorkerCommand(kBuild, [&app] { app.Builder().BuildAll(false, true); }); });
    Handle(kRebuildAll,
           [this, &app] { StartWorkerCommand(kRebuildAll, [&app] { app.Builder().BuildAll(true, true); }); });
    Handle(kSync, [this, &app] {
        if (StartWorkerCommand(kSync, [&app] { app.Sync(); }))
            SetViewsBusy(true);
    });
    Handle(kSyncAndBuild, [this, &app] {
        bool started = StartWorkerCommand(kSyncAndBuild, [this, &app] {
            app.Sync();
            // The files are usable again once the sync is done; the views are
            // touched on the window's thread only.
            QMetaObject::invokeMethod(this, [this] { SetViewsBusy(false); }, Qt::QueuedConnection);
            // The build goes on in the same pane, below the sync's lines.
            m_log.CancelClearPending();
            app.Builder().BuildAll(false, false);
        });
        if (started)
            SetViewsBusy(true);
    });
    Handle(kDatabaseSync, [this] { OnDatabaseSync(); });
    Handle(kCheckRecords, [this, &app] { StartWorkerCommand(kCheckRecords, [&app] { DbCheckRecords(app); }); });
    Handle(kTemplatron, [this] { OnDatabaseInvoketemplatron(); });
    Handle(kFindReferences, [this] { OnDatabaseFindreferences(); });
    Handle(kUpdateReferences, [this] { OnDatabaseUpdatereferences(); });
    Handle(kStop, [this] { Stop(); });
    Handle(kDbArchiveStatistics, [this] { OnDatabaseArchivestatistics(); });
    Handle(kSetWorkingFolder, [this] { OnFileSetworkingfolder(); });
    Handle(kOptions, [this] { OnToolsOptions(); });
    Handle(kImportRecord, [this] { OnDatabaseImportrecord(); });
    Handle(kFileSummary, [this] {
        CFileSummaryDialog dialog(*this, this);
        dialog.exec();
    });
    Handle(kServerMonitor, [this] {
        CServerMonitorDialog dialog(m_app.SourceControl(), this);
        dialog.exec();
    });
    Handle(kRename, [this] { ViewCommand(&CFileView::Rename); });
    Handle(kSelectAll, [this] { ViewCommand(&CFileView::SelectAll); });
    Handle(kCopy, [this] { ViewCommand(&CFileView::Copy); });
    Handle(kPaste, [this] { ViewCommand(&CFileView::Paste); });
    Handle(kDelete, [this] { ViewCommand(&CFileView::Delete); });
    Handle(kMoveSelectedRecords, [this] {
        SetCurrentTab(2);
        ViewCommand(&CFileView::MoveSelectedRecords);
    });
    Handle(kRefresh, [this] { RefreshViews(); });
    Handle(kUndo, [] {
        if (auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            field->undo();
    });
    for (int id : {kFileRedoSync, kFileCheckOut, kFileCheckIn, kFileUndoCheckOut, kFileProperties})
        Handle(id, [this, id] { CurrentView().FileCommand(id); });
    Handle(kViewToolbar, [this] {
        if (m_toolBar)
            m_toolBar->setVisible(!m_toolBar->isVisible());
    });
    Handle(kViewStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); });
    Handle(kAbout, [this] { OnAppAbout(); });
    Handle(kNewMod, [this] { OnModNew(); });
    Handle(kDeleteMod, [this] { OnModDelete(); });
    Handle(kInstallTemplates, [this] { InstallTemplates(); });
    Handle(kInstallTutorials, [this] { InstallTutorials(); });
    Handle(kGuide, [this] { OnHelpGuide(); });
    Handle(kExit, [this] { close(); });

    // Operations of other layers, present when the operation table has them.
    if (m_operations.readAssetReview)
        Handle(kStatusReport, [this] { OnToolsStatusreport(); });
    struct ArchiveCommand
    {
        int id;
        std::function<void(IWorkspaceContext&)>* operation;
    };
    for (ArchiveCommand command : {ArchiveCommand{kBuildArchives, &m_operations.buildArchives},
                                   ArchiveCommand{kRebuildArchives, &m_operations.rebuildArchives},
                                   ArchiveCommand{kCompactArchives, &m_operations.compactArchives},
                                   ArchiveCommand{kDeleteUnassociated, &m_operations.deleteUnassociated}})
    {
        if (!*command.operation)
            continue;
        auto operation = *command.operation;
        int id = command.id;
        Handle(id, [this, &app, id, operation] { StartWorkerCommand(id, [&app, operation] { operation(app); }); });
    }
    if (m_operations.convertTextures)
    {
        auto operation = m_operations.convertTextures;
        Handle(kConvertTextures, [this, &app, operation] {
            StartWorker(kConvertTextures, "Convert Textures", [&app, operation] { operation(app); });
        });
    }
    if (m_operations.resourceTree)
    {
        auto operation = m_operations.resourceTree;
        Handle(kResourceTree, [&app, operation] { operation(app); });
    }
    if (m_operations.archiveStatistics)
    {
        auto operation = m_operations.archiveStatistics;
        Handle(kArchiveStatistics, [&app, operation] { operation(app); });
    }
}

QAction* CMainFrame::MakeAction(int id)
{
    if (QAction* existing = Action(id))
        return existing;
    const CommandInfo* info = FindCommand(id);
    QString text = info ? QString::fromLatin1(info->menuText) : QString::number(id);
    text = text.section(QLatin1Char('\t'), 0, 0);
    auto* action = new QAction(text, this);
    action->setData(id);
    QKeySequence shortcut = ShortcutOf(id);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    if (id == kViewToolbar || id == kViewStatusBar)
    {
        action->setCheckable(true);
        action->setChecked(true);
    }
    connect(action, &QAction::triggered, this, [this, action] { OnAction(action); });
    m_actions[id] = action;
    return action;
}

QMenu* CMainFrame::AddMenu(const QString& title, const std::vector<int>& ids)
{
    QMenu* menu = menuBar()->addMenu(title);
    for (int id : ids)
    {
        if (id == 0)
            menu->addSeparator();
        else
            menu->addAction(MakeAction(id));
    }
    return menu;
}

void CMainFrame::BuildMenus()
{
    bool network = m_app.IsNetwork();
    AddMenu(QStringLiteral("&File"), {kSetWorkingFolder, kRename, 0, kExit});
    AddMenu(QStringLiteral("&Edit"), {kUndo, 0, kSelectAll, kCopy, kPaste, kDelete});
    QMenu* mod = AddMenu(QStringLiteral("&Mod"), {kNewMod, kDeleteMod, 0});
    m_selectMenu = mod->addMenu(QStringLiteral("&Select"));
    if (network)
    {
        AddMenu(QStringLiteral("&Action"), {kBuild, kRebuildAll, kSync, kSyncAndBuild, 0, kStop});
        AddMenu(QStringLiteral("&Database"), {kDatabaseSync, kTemplatron, kCheckRecords, kFindReferences,
                                              kUpdateReferences, kMoveSelectedRecords, kImportRecord,
                                              kDbArchiveStatistics, 0, kStop});
        AddMenu(QStringLiteral("A&rchive"), {kBuildArchives, kRebuildArchives, kCompactArchives, kArchiveStatistics});
        AddMenu(QStringLiteral("&Tools"), {kFileSummary, kStatusReport, kServerMonitor, kDeleteUnassociated,
                                           kConvertTextures, kResourceTree, 0, kOptions});
        AddMenu(QStringLiteral("&View"), {kViewToolbar, kViewStatusBar, 0, kRefresh})
            ->addAction(m_liveTabs->ThumbnailAction());
        AddMenu(QStringLiteral("&Help"), {kAbout});
    }
    else
    {
        AddMenu(QStringLiteral("&Build"), {kBuild, kRebuildAll, 0, kStop});
        // The reference commands repair what a move or rename left behind,
        // which local work needs as much as network work.
        AddMenu(QStringLiteral("&Database"), {kImportRecord, kCheckRecords, kFindReferences, kUpdateReferences,
                                              kMoveSelectedRecords, kDbArchiveStatistics, 0, kStop});
        AddMenu(QStringLiteral("A&rchive"), {kBuildArchives, kCompactArchives, kArchiveStatistics});
        AddMenu(QStringLiteral("&Tools"), {kOptions});
        AddMenu(QStringLiteral("&View"), {kViewStatusBar, 0, kRefresh})->addAction(m_liveTabs->ThumbnailAction());
        AddMenu(QStringLiteral("&Help"), {kGuide, kAbout, kInstallTemplates, kInstallTutorials});
    }
}

void CMainFrame::BuildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("Source Control"));
    m_toolBar->setObjectName(QStringLiteral("SourceControlToolBar"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (int id : {kFileRedoSync, kFileCheckOut, kFileCheckIn, kFileUndoCheckOut, 0, kDelete, kFileProperties})
    {
        if (id == 0)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(MakeAction(id));
    }
}

void CMainFrame::BuildStatusBar()
{
    m_messagePane = new QLabel(QStringLiteral("Ready"));
    m_userPane = new QLabel(ToQt(m_app.SourceControl().GetUserName()));
    m_userPane->setFixedWidth(100);
    m_folderPane = new QLabel(ToQt(m_app.SourceControl().GetClientDirectory()));
    m_folderPane->setFixedWidth(300);
    m_folderPane->setToolTip(m_folderPane->text());
    m_firstErrorButton = new QToolButton;
    m_firstErrorButton->setText(QStringLiteral("Show first error"));
    m_firstErrorButton->setAutoRaise(true);
    m_firstErrorButton->hide();
    connect(m_firstErrorButton, &QToolButton::clicked, this, [this] { ShowFirstError(); });
    m_modPane = new QLabel;
    m_modPane->setObjectName(QStringLiteral("ModPane"));
    statusBar()->addWidget(m_messagePane, 1);
    statusBar()->addWidget(m_firstErrorButton);
    statusBar()->addPermanentWidget(m_modPane);
    statusBar()->addPermanentWidget(m_userPane);
    statusBar()->addPermanentWidget(m_folderPane);
    UpdateModDisplay();
}

void CMainFrame::UpdateModDisplay()
{
    std::string mod = m_app.GetCurrentModName();
    setWindowTitle(ToQt(MainWindowTitle(m_app.GetDatabase(), mod)));
    if (m_modPane)
        m_modPane->setText(ToQt(ModPaneText(mod)));
}

void CMainFrame::ShowOperationEnd()
{
    int errorLines = 0;
    for (int row = 0; row < m_output->count(); ++row)
        errorLines += m_output->IsErrorLine(row) ? 1 : 0;
    std::string name = m_worker.OperationName();
    bool builds = name == "Build" || name == "Rebuild All" || name == "Sync And Build";
    std::string message = OperationEndMessage(name, builds ? m_app.Builder().Outcome().Line() : std::string(),
                                              m_stopRequested, errorLines);
    m_messagePane->setText(ToQt(message));
    m_messagePane->setStyleSheet(errorLines > 0 ? QStringLiteral("color: #b00000;") : QString());
    m_firstErrorButton->setVisible(errorLines > 0);
}

void CMainFrame::ShowFirstError()
{
    for (int row = 0; row < m_output->count(); ++row)
        if (m_output->IsErrorLine(row))
        {
            m_output->setCurrentRow(row);
            m_output->scrollToItem(m_output->item(row), QAbstractItemView::PositionAtCenter);
            m_output->setFocus();
            return;
        }
}

bool CMainFrame::OpenAssetOfBuildLine(int row)
{
    if (row < 0)
        return false;
    std::vector<std::string> lines;
    for (int i = 0; i <= row && i < m_output->count(); ++i)
        lines.push_back(m_output->LineText(i));
    std::string asset = AssetOfBuildLine(m_app, lines);
    if (asset.empty())
        return false;
    size_t slash = asset.rfind('/');
    SetCurrentTab(1);
    if (View(1).SelectFolder(asset.substr(0, slash + 1)))
    {
        View(1).Refresh();
        View(1).SelectFiles({asset.substr(slash + 1)});
    }
    m_assetView->Open(asset);
    return true;
}

void CMainFrame::OnAction(QAction* action)
{
    TriggerCommand(action->data().toInt());
}

bool CMainFrame::TriggerCommand(int id)
{
    if (IsModCommand(id, m_app.GetModList().size()))
    {
        if (m_worker.IsRunning())
            return false;
        SelectMod(id);
        return true;
    }
    auto handler = m_handlers.find(id);
    if (handler == m_handlers.end())
        return false;
    // Worker commands reach their busy refusal; other commands obey their enabling rule.
    const CommandInfo* info = FindCommand(id);
    bool workerCommand = info && info->operationName;
    if (!workerCommand && !IsCommandEnabled(id, CommandState{IsBusy(), m_app.IsNetwork(), true, FocusCanUndo()}))
        return false;
    if (info && info->networkOnly && !m_app.IsNetwork())
        return false;
    handler->second();
    return true;
}

bool CMainFrame::StartWorkerCommand(int id, std::function<void()> body)
{
    const CommandInfo* info = FindCommand(id);
    return StartWorker(id, info && info->operationName ? info->operationName : "", std::move(body));
}

bool CMainFrame::RefusedAsBusy(int id)
{
    if (!m_worker.IsRunning())
        return false;
    std::string busy = BusyMessage(id);
    if (!busy.empty())
        m_prompt.Show(busy, "Modwright", PromptButtons::Ok, PromptIcon::None);
    return true;
}

bool CMainFrame::StartWorker(int id, const std::string& operationName, std::function<void()> body)
{
    if (RefusedAsBusy(id))
        return false;
    // A Stop pressed while nothing ran must not cancel this operation at its first step.
    m_app.ResetCancel();
    if (!m_worker.Start(operationName, std::move(body)))
        return false;
    m_stopRequested = false;
    m_firstErrorButton->hide();
    m_messagePane->setStyleSheet(QString());
    m_wasBusy = true;
    UpdateCommandStates();
    OnTimer();
    return true;
}

void CMainFrame::Stop()
{
    m_stopRequested = m_worker.IsRunning();
    m_app.RequestCancel();
    while (!m_worker.WaitForEnd(20))
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    OnTimer();
}

void CMainFrame::FlushOutput() { m_output->Flush(m_log); }

void CMainFrame::OnTimer()
{
    // A text field's undo state changes with every key typed into it.
    UpdateUndoAction();
    bool busy = m_worker.IsRunning();
    if (busy)
    {
        size_t done = 0;
        size_t total = 0;
        m_worker.GetProgress(done, total);
        std::string text = m_worker.OperationName() + "...";
        if (total > 0)
            text += Format(" %zu of %zu files", done, total);
        m_messagePane->setText(ToQt(text));
    }
    if (busy == m_wasBusy)
        return;
    m_wasBusy = busy;
    if (!busy)
    {
        FlushOutput();
        ShowOperationEnd();
        SetViewsBusy(false);
        CurrentView().Refresh();
    }
    UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates()
{
    bool busy = m_worker.IsRunning();
    CommandState state{busy, m_app.IsNetwork(), true, FocusCanUndo()};
    for (auto& [id, action] : m_actions)
    {
        if (IsModCommand(id, m_app.GetModList().size()))
            continue;
        state.available = m_handlers.count(id) > 0;
        action->setEnabled(IsCommandEnabled(id, state));
    }
    UpdateToolBarStates();
    if (QAction* stop = Action(kStop))
        stop->setText(ToQt(StopMenuText(busy, m_worker.OperationName())));
    if (m_selectMenu)
        for (QAction* item : m_selectMenu->actions())
            item->setEnabled(!busy);
    if (m_userPane)
        m_userPane->setText(ToQt(m_app.SourceControl().GetUserName()));
    if (m_folderPane)
        m_folderPane->setText(ToQt(m_app.SourceControl().GetClientDirectory()));
}

void CMainFrame::RebuildModMenu()
{
    if (!m_selectMenu)
        return;
    m_selectMenu->clear();
    for (const ModMenuItem& item : ModMenuItems(m_app.GetModList(), m_app.GetCurrentModIndex()))
    {
        QAction* action = m_selectMenu->addAction(ToQt(item.text));
        action->setData(item.id);
        action->setCheckable(true);
        action->setChecked(item.checked);
        action->setEnabled(!m_worker.IsRunning());
        int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { TriggerCommand(id); });
    }
}

void CMainFrame::SelectMod(int id)
{
    m_app.SelectMod(ModIndexOfCommand(id));
    m_app.RememberCurrentMod();
    UpdateModDisplay();
    RebuildModMenu();
    RefreshViews();
}

void CMainFrame::UpdateToolBarStates()
{
    if (!m_toolBar)
        return;
    CommandState state{m_worker.IsRunning(), m_app.IsNetwork(), true};
    bool mine = AnyHeldByUser(m_app.SourceControl(), CurrentView().SelectedPaths());
    for (int id : {kFileCheckIn, kFileUndoCheckOut})
        if (QAction* action = Action(id))
            action->setEnabled(mine && IsCommandEnabled(id, state));
}

bool CMainFrame::FocusCanUndo() const
{
    auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return field && !field->isReadOnly() && field->isUndoAvailable();
}

void CMainFrame::UpdateUndoAction()
{
    if (QAction* undo = Action(kUndo))
        undo->setEnabled(IsCommandEnabled(kUndo, CommandState{IsBusy(), m_app.IsNetwork(), true, FocusCanUndo()}));
}

void CMainFrame::SetViewsBusy(bool busy)
{
    for (CFileView* view : m_views)
        if (view->IsBusy() != busy)
            view->SetBusy(busy);
}

void CMainFrame::RefreshViews()
{
    for (CFileView* view : m_views)
        view->Refresh();
}

void CMainFrame::ViewCommand(void (CFileView::*command)())
{
    (CurrentView().*command)();
}

void CMainFrame::RunBatch(BatchAction action, const std::vector<std::string>& paths)
{
    if (paths.empty() || m_worker.IsRunning())
        return;
    if (!ConfirmBatch(m_prompt, action, paths.size()))
        return;
    int id = action == BatchAction::CheckOut ? kFileCheckOut
             : action == BatchAction::CheckIn ? kFileCheckIn
                                                : kFileUndoCheckOut;
    StartWorker(id, BatchOperationName(action), [this, action, paths] {
        mw::RunBatch(m_app, action, paths, [this](size_t done, size_t total) { m_worker.SetProgress(done, total); });
    });
}

void CMainFrame::BuildFolder(bool database, const std::string& folder)
{
    CModwrightApp& app = m_app;
    if (database)
    {
        StartWorker(kFolderBuild, "Build Database", [&app, folder] { CompileDatabase(app, folder, false, true); });
        return;
    }
    if (!m_operations.compileAssets)
        return;
    auto compileAssets = m_operations.compileAssets;
    StartWorker(kFolderBuildAssets, "Build Assets",
                [&app, folder, compileAssets] { compileAssets(app, folder, false, true); });
}

void CMainFrame::AddFilesRecursively(const std::string& folder)
{
    CModwrightApp& app = m_app;
    StartWorker(kFolderAddRecursively, "Add Files Recursively", [&app, folder] {
        app.Log("Adding files...", true, false);
        AddFolderRecursively(app, folder);
        app.Log("Done.", true, false);
    });
}

void CMainFrame::OpenFile(const std::string& path)
{
    if (m_opener)
        m_opener(m_app.GetWorkingDir() + path);
}

void CMainFrame::OnDatabaseSync()
{
    if (RefusedAsBusy(kDatabaseSync))
        return;
    bool ok = false;
    QString password = QInputDialog::getText(this, QStringLiteral("Password"), QStringLiteral("Password:"),
                                             QLineEdit::Password, QString(), &ok);
    if (!ok || !IsDatabaseSyncPassword(password.toStdString()))
    {
        m_prompt.Show("Password Incorrect.", "", PromptButtons::Ok, PromptIcon::Error);
        return;
    }
    CModwrightApp& app = m_app;
    StartWorkerCommand(kDatabaseSync, [&app] { DbSync(app); });
}

void CMainFrame::OnDatabaseInvoketemplatron()
{
    if (RefusedAsBusy(kTemplatron))
        return;
    QString start = ToQt(m_app.GetWorkingDir() + "database/");
    QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Invoke Templatron"), start,
                                                  QStringLiteral("Template files (*.tpl)"));
    if (chosen.isEmpty())
        return;
    bool inside = false;
    std::string relative = StripPathPrefix(chosen.toStdString(), m_app.GetWorkingDir(), &inside);
    if (!inside)
    {
        m_prompt.Show("Choose a template below the working folder.", "", PromptButtons::Ok, PromptIcon::Error);
        return;
    }
    std::string templateName = TemplateNameOf(relative);
    CModwrightApp& app = m_app;
    StartWorkerCommand(kTemplatron, [&app, templateName] { Templatron(app, templateName); });
}

void CMainFrame::OnDatabaseFindreferences()
{
    if (RefusedAsBusy(kFindReferences))
        return;
    std::vector<std::string> paths = View(2).SelectedPaths();
    if (paths.empty())
    {
        m_prompt.Show("Select the record or template in the Database tab first.", "", PromptButtons::Ok,
                      PromptIcon::Information);
        return;
    }
    CModwrightApp& app = m_app;
    std::string path = paths.front();
    StartWorkerCommand(kFindReferences, [&app, path] { FindReferences(app, path); });
}

void CMainFrame::OnDatabaseUpdatereferences()
{
    if (RefusedAsBusy(kUpdateReferences))
        return;
    std::vector<std::string> paths = View(2).SelectedPaths();
    if (paths.empty())
    {
        m_prompt.Show("Select the moved records or templates in the Database tab first.", "", PromptButtons::Ok,
                      PromptIcon::Information);
        return;
    }
    std::string selection;
    for (const std::string& path : paths)
        selection += (selection.empty() ? "" : "\n") + path;
    CModwrightApp& app = m_app;
    StartWorkerCommand(kUpdateReferences, [&app, selection] { UpdateReferences(app, selection); });
}

void CMainFrame::OnDatabaseArchivestatistics()
{
    ReportDbArchiveStatistics(m_app);
    FlushOutput();
}

void CMainFrame::OnDatabaseImportrecord()
{
    std::vector<std::string> archives = ImportRecordArchives(m_app);
    CRecordBrowser browser(ListArchiveRecords(archives), this);
    if (browser.exec() != QDialog::Accepted || browser.ChosenRecord().empty())
        return;
    if (!ImportRecord(m_app, archives, browser.ChosenRecord()).empty())
        View(2).Refresh();
    FlushOutput();
}

void CMainFrame::OnFileSetworkingfolder()
{
    std::string chosen;
    std::string current = m_app.SourceControl().GetClientDirectory();
    if (m_app.IsNetwork())
    {
        // The client folder can be typed (a path shared by the team) or browsed for.
        CWorkingFolderDlg prompt(current, m_prompt, this);
        prompt.setWindowTitle(QStringLiteral("Set Working Folder"));
        if (prompt.exec() != QDialog::Accepted)
            return;
        chosen = prompt.Folder();
    }
    else if (!CFolderDialog::Choose(this, m_prompt, QStringLiteral("Set Working Folder"), current, chosen))
        return;
    // The working folder follows the client folder, so the tabs show what source control works on.
    m_app.SetLocalDir(chosen, false);
    m_app.RefreshModList();
    RebuildModMenu();
    RefreshViews();
    UpdateCommandStates();
}

void CMainFrame::OnToolsOptions()
{
    COptionsDialog dialog(m_app, m_prompt, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!ApplyOptionSettings(m_app, dialog.Settings()))
        m_prompt.Show(Format("Couldn't write the settings file %s", m_app.GetIniPath().c_str()), "",
                      PromptButtons::Ok, PromptIcon::Error);
    m_app.RefreshModList();
    RebuildModMenu();
    RefreshViews();
    UpdateCommandStates();
}

void CMainFrame::OnToolsStatusreport()
{
    CStatusReportDialog dialog(
        CollectStatusReport(m_app.GetWorkingDir(), m_app.SourceControl().GetUserName(), m_operations.readAssetReview),
        this);
    dialog.exec();
}

void CMainFrame::OnModNew()
{
    CNewCustomMapDlg dialog(m_app, m_prompt, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_app.RefreshModList();
    m_app.SelectModByName(dialog.ModName());
    m_app.RememberCurrentMod();
    UpdateModDisplay();
    RefreshViews();
    RebuildModMenu();
}

void CMainFrame::OnModDelete()
{
    std::string name = m_app.GetCurrentModName();
    if (name.empty())
    {
        m_prompt.Show("Select the mod to delete first (Mod > Select).", "", PromptButtons::Ok, PromptIcon::Information);
        return;
    }
    if (m_prompt.Show(Format("Are you sure you would like to delete %s?", name.c_str()), "", PromptButtons::YesNo,
                      PromptIcon::Question) != PromptAnswer::Yes)
        return;
    if (!DeleteModFolders(m_app.GetWorkingDir(), m_app.GetBuildDir(), name, !m_app.IsNetwork(), m_prompt))
        m_prompt.Show(Format("Some files of %s could not be deleted.", name.c_str()), "", PromptButtons::Ok,
                      PromptIcon::Error);
    m_app.RefreshModList();
    m_app.SelectMod(-1);
    m_app.RememberCurrentMod();
    UpdateModDisplay();
    RefreshViews();
    RebuildModMenu();
}

bool CMainFrame::InstallArchive(const char* archive, const std::string& destination)
{
    std::string path = m_app.ToolsetPath(archive);
    // Files the user changed are asked about once, before anything is written.
    InstallPlan plan = PlanToolsetInstall(path, destination, m_prompt);
    if (plan.cancelled)
        return false;
    CInstallDialog dialog(path, destination, m_prompt, this);
    dialog.SetSkipped(plan.keep);
    bool installed = dialog.exec() == QDialog::Accepted;
    if (dialog.Opened())
        for (const std::string& line : InstallReport(plan, dialog.Written(), destination))
            m_app.Log(line, true, false);
    FlushOutput();
    m_app.RefreshModList();
    RebuildModMenu();
    RefreshViews();
    return installed;
}

bool CMainFrame::InstallTemplates() { return InstallArchive(kTemplatesArchive, m_app.GetWorkingDir() + "Database/"); }

bool CMainFrame::InstallTutorials() { return InstallArchive(kTutorialsArchive, m_app.GetWorkingDir() + "CustomMaps/"); }

void CMainFrame::OnHelpGuide()
{
    if (!HasPdfViewer())
    {
        m_prompt.Show("A PDF viewer is required to read the documentation. Install one with your distribution's "
                      "package manager (any viewer that opens PDF files will do) and try again.",
                      "", PromptButtons::Ok, PromptIcon::Error);
        return;
    }
    std::string path = m_app.ToolsetPath(kGuideDocument);
    if (!IsFile(path) || !OpenWithDefaultViewer(path))
        m_prompt.Show(Format("Couldn't load help file \"%s\"", kGuideDocument), "", PromptButtons::Ok,
                      PromptIcon::Error);
}

void CMainFrame::OnAppAbout()
{
    QMessageBox::about(this, QStringLiteral("About Modwright"),
                       QStringLiteral("Modwright %1\nManages and builds game modifications.")
                           .arg(QStringLiteral(MW_VERSION_TEXT)));
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_worker.IsRunning())
    {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Modwright"),
                        ToQt("\"" + m_worker.OperationName() +
                             "\" is still running. Closing Modwright during this operation is not advised."),
                        QMessageBox::NoButton, this);
        QPushButton* exitButton = box.addButton(QStringLiteral("Exit"), QMessageBox::AcceptRole);
        box.addButton(QMessageBox::Cancel);
        box.exec();
        if (box.clickedButton() != exitButton)
        {
            event->ignore();
            return;
        }
        // The operation is stopped before the window goes, so it never logs into nothing.
        Stop();
    }
    if (m_operations.openEditorCount && m_operations.openEditorCount() > 0)
    {
        if (m_prompt.Show("Database windows are open, exit anyway?", "", PromptButtons::YesNo,
                          PromptIcon::Question) != PromptAnswer::Yes)
        {
            event->ignore();
            return;
        }
        if (m_operations.closeAllEditors)
            m_operations.closeAllEditors();
    }
    event->accept();
}

} // namespace mw
