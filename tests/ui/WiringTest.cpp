// The main window's controls reach their operations: closing with editors
// open or an operation running, the database sync password, the busy flags
// of Sync and Sync and Build, Delete refused while the files are busy, the
// file rows' status images and the File Summary.
#include "MainWindowFixture.h"

#include "ui/CFileSummaryDialog.h"
#include "ui/CWorkingFolderDlg.h"
#include "ui/StatusImages.h"
#include "app/CommandTable.h"
#include "app/FileCommands.h"
#include "platform/FileSystem.h"
#include "platform/ManualResetEvent.h"

#ifdef MW_WITH_DBEDITOR
#include "ui/dbeditor/CDbEditorManager.h"
#endif

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include <chrono>
#include <functional>
#include <map>
#include <thread>

using namespace mw;
using Fixture = test::MainWindowFixture;
using test::Texts;

namespace {

// Runs answer on the next modal dialog of type Dialog once it is open; the
// test then starts what opens it. A modal dialog of another kind is
// cancelled, so a wrong wiring fails the test instead of hanging it.
template <typename Dialog>
void AnswerNextModal(std::function<void(Dialog&)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (!dialog)
        {
            if (auto* other = qobject_cast<QDialog*>(modal))
                other->reject();
            return;
        }
        timer->stop();
        timer->deleteLater();
        answer(*dialog);
    });
    timer->start();
}

void ClickButtonOf(QMessageBox& box, const QString& text)
{
    for (QAbstractButton* button : box.buttons())
        if (button->text() == text)
        {
            button->click();
            return;
        }
    QFAIL("no such button");
}

// A backend whose sync waits until the test lets it go, so the test sees
// the window while a sync runs.
class HeldSyncBackend : public test::ScriptedBackend
{
public:
    int SyncPath(const std::string* path, bool force, const ManualResetEvent* cancel) override
    {
        syncing.Set();
        release.Wait(10000);
        return ScriptedBackend::SyncPath(path, force, cancel);
    }
    ManualResetEvent syncing;
    ManualResetEvent release;
};

QImage IconImage(const QIcon& icon) { return icon.pixmap(16, 16).toImage(); }

} // namespace

class WiringTest : public QObject
{
    Q_OBJECT
private slots:
    void closingAsksAboutARunningOperationAndOpenEditors();
    void databaseSyncStartsOnlyWithThePassword();
    void syncMarksTheViewsBusyAndDeleteIsRefusedMeanwhile();
    void syncAndBuildMarksTheViewsBusyDuringItsSync();
    void fileRowsShowTheirStatusImages();
    void fileSummaryListsTheClientFolderWithTheNetworkToolBar();
    void setWorkingFolderInNetworkModeOpensTheWorkingFolderPrompt();
};

void WiringTest::closingAsksAboutARunningOperationAndOpenEditors()
{
    int editors = 2;
    int closeAllCalls = 0;
    OperationTable operations;
    operations.openEditorCount = [&] { return editors; };
    operations.closeAllEditors = [&] {
        ++closeAllCalls;
        editors = 0;
    };
    Fixture f(false, operations);

    // A running operation: Cancel keeps the window and the operation.
    ManualResetEvent started;
    QVERIFY(f.frame->StartWorker(CommandId::kBuild, "Build", [&] {
        started.Set();
        while (!f.app->IsCancelled())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }));
    QVERIFY(started.Wait(5000));
    QString question;
    AnswerNextModal<QMessageBox>([&](QMessageBox& box) {
        question = box.text();
        box.button(QMessageBox::Cancel)->click();
    });
    QVERIFY(!f.frame->close());
    QCOMPARE(question, QStringLiteral("\"Build\" is still running. Closing Modwright during this operation is not "
                                      "advised."));
    QVERIFY(f.frame->isVisible());
    QVERIFY(f.frame->IsBusy());
    QVERIFY(f.prompt.messages.empty());

    // Exit stops the operation; then No to the open editors keeps the window.
    AnswerNextModal<QMessageBox>([&](QMessageBox& box) { ClickButtonOf(box, QStringLiteral("Exit")); });
    f.prompt.answers.push_back(PromptAnswer::No);
    QVERIFY(!f.frame->close());
    QVERIFY(!f.frame->IsBusy());
    QCOMPARE(Texts(f.prompt), std::vector<std::string>{"Database windows are open, exit anyway?"});
    QVERIFY(f.frame->isVisible());
    QCOMPARE(closeAllCalls, 0);

    // Yes closes the editors and the window.
    f.prompt.answers.push_back(PromptAnswer::Yes);
    QVERIFY(f.frame->close());
    QCOMPARE(closeAllCalls, 1);
    QVERIFY(!f.frame->isVisible());

#ifdef MW_WITH_DBEDITOR
    // With the real editor windows: Yes leaves none open.
    Fixture real(false);
    CDbEditorManager manager(*real.app, real.ini);
    OperationTable wired;
    wired.openEditorCount = [&manager] { return int(manager.Editors().size()); };
    wired.closeAllEditors = [&manager] { manager.CloseAll(false); };
    real.frame.reset();
    real.frame = std::make_unique<CMainFrame>(*real.app, real.prompt, wired);
    real.frame->show();
    QVERIFY(manager.NewEditor());
    QVERIFY(manager.NewEditor());
    real.prompt.answers.push_back(PromptAnswer::Yes);
    QVERIFY(real.frame->close());
    QTRY_COMPARE(manager.Editors().size(), size_t(0));
#endif
}

void WiringTest::databaseSyncStartsOnlyWithThePassword()
{
    Fixture f(true);
    struct Attempt
    {
        QString text;
        bool accept;
        bool starts;
    };
    for (const Attempt& attempt : {Attempt{QStringLiteral("QORVINTL"), true, false},
                                   Attempt{QStringLiteral("qorvintl"), false, false},
                                   Attempt{QString(), true, false}, Attempt{QStringLiteral("qorvintl"), true, true}})
    {
        f.prompt.messages.clear();
        AnswerNextModal<QInputDialog>([attempt](QInputDialog& dialog) {
            dialog.setTextValue(attempt.text);
            if (attempt.accept)
                dialog.accept();
            else
                dialog.reject();
        });
        QVERIFY(f.frame->TriggerCommand(CommandId::kDatabaseSync));
        if (!attempt.starts)
        {
            QCOMPARE(Texts(f.prompt), std::vector<std::string>{"Password Incorrect."});
            QVERIFY(!f.frame->IsBusy());
            QVERIFY(f.frame->Worker().OperationName() != "DbSync");
            continue;
        }
        QCOMPARE(f.frame->Worker().OperationName(), std::string("DbSync"));
        f.WaitForWorker();
    }
}

void WiringTest::syncMarksTheViewsBusyAndDeleteIsRefusedMeanwhile()
{
    auto backend = std::make_unique<HeldSyncBackend>();
    HeldSyncBackend* held = backend.get();
    Fixture f(true, OperationTable(), std::move(backend));
    f.frame->SetCurrentTab(2);
    CFileView& view = f.frame->View(2);
    QVERIFY(view.SelectFolder("database/records/items/"));
    view.SelectFiles({"sword.dbr"});

    QVERIFY(f.frame->TriggerCommand(CommandId::kSync));
    QVERIFY(held->syncing.Wait(5000));
    for (int tab = 0; tab < 3; ++tab)
    {
        QVERIFY(f.frame->View(tab).IsBusy());
        QVERIFY(!f.frame->View(tab).isEnabled());
    }
    // Delete, Paste and Rename leave the files alone while they sync.
    f.prompt.answers.push_back(PromptAnswer::Yes);
    f.frame->TriggerCommand(CommandId::kDelete);
    view.Copy();
    f.frame->TriggerCommand(CommandId::kPaste);
    f.frame->TriggerCommand(CommandId::kRename);
    QVERIFY(f.prompt.messages.empty());
    QVERIFY(IsFile(f.working + "database/records/items/sword.dbr"));
    QVERIFY(!PathExists(f.working + "database/records/items/Copy of sword.dbr"));
    QVERIFY(!view.FileList()->findChild<QLineEdit*>());
    // Choosing another mod waits too.
    int modItems = 0;
    for (QMenu* menu : f.frame->findChildren<QMenu*>())
        if (menu->title() == QStringLiteral("&Select"))
            for (QAction* item : menu->actions())
            {
                ++modItems;
                QVERIFY(!item->isEnabled());
            }
    QVERIFY(modItems > 0);

    held->release.Set();
    f.WaitForWorker();
    for (int tab = 0; tab < 3; ++tab)
    {
        QVERIFY(!f.frame->View(tab).IsBusy());
        QVERIFY(f.frame->View(tab).isEnabled());
    }
    // Rename edits the selected row in place, also when it is not the first.
    QTreeWidget* list = view.FileList();
    QVERIFY(list->topLevelItemCount() > 1);
    QTreeWidgetItem* last = list->topLevelItem(list->topLevelItemCount() - 1);
    view.SelectFiles({last->text(0).toStdString()});
    f.frame->TriggerCommand(CommandId::kRename);
    QLineEdit* editor = list->findChild<QLineEdit*>();
    QVERIFY(editor);
    QCOMPARE(list->currentItem(), last);
    QTest::keyClick(editor, Qt::Key_Escape);
    QApplication::processEvents();
    view.SelectFiles({"sword.dbr"});
    f.frame->TriggerCommand(CommandId::kDelete);
    QCOMPARE(f.prompt.messages.size(), size_t(1));
    QVERIFY(f.prompt.messages[0].text.find("sword.dbr") != std::string::npos);
    QVERIFY(!PathExists(f.working + "database/records/items/sword.dbr"));
}

void WiringTest::syncAndBuildMarksTheViewsBusyDuringItsSync()
{
    auto backend = std::make_unique<HeldSyncBackend>();
    HeldSyncBackend* held = backend.get();
    Fixture f(true, OperationTable(), std::move(backend));
    QVERIFY(f.frame->TriggerCommand(CommandId::kSyncAndBuild));
    QVERIFY(held->syncing.Wait(5000));
    QCOMPARE(f.frame->Worker().OperationName(), std::string("Sync And Build"));
    for (int tab = 0; tab < 3; ++tab)
        QVERIFY(f.frame->View(tab).IsBusy());
    held->release.Set();
    f.WaitForWorker();
    for (int tab = 0; tab < 3; ++tab)
        QVERIFY(!f.frame->View(tab).IsBusy());
    // The build went on below the sync's lines.
    auto lines = f.PaneLines();
    QVERIFY(!lines.empty());
    QCOMPARE(lines.front(), std::string("Syncing..."));
}

void WiringTest::fileRowsShowTheirStatusImages()
{
    Fixture f(true);
    test::WriteFile(f.working + "database/records/items/axe.dbr", "");
    f.backend->heldBy["database/records/items/sword.dbr"] = "ann";
    f.backend->heldBy["database/records/items/shield.dbr"] = "me";
    CFileView& view = f.frame->View(2);
    QVERIFY(view.SelectFolder("database/records/items/"));
    view.Refresh();
    QVERIFY(view.SelectFolder("database/records/items/"));

    std::map<std::string, int> marks;
    std::map<std::string, QImage> images;
    for (const char* name : {"axe.dbr", "shield.dbr", "sword.dbr"})
    {
        QTreeWidgetItem* row = f.Row(view, name);
        QVERIFY(row);
        FileRowStatus status = ReadFileRowStatus(f.app->SourceControl(), std::string("database/records/items/") + name);
        marks[name] = status.stateMark;
        images[name] = IconImage(row->icon(0));
        QCOMPARE(images[name], IconImage(FileStatusIcon(status.image, status.stateMark, status.conflicted)));
        QCOMPARE(row->text(1).toStdString(), status.holder);
    }
    QCOMPARE(marks["sword.dbr"], 2);
    QCOMPARE(marks["shield.dbr"], 1);
    QCOMPARE(marks["axe.dbr"], 0);
    QVERIFY(images["sword.dbr"] != images["shield.dbr"]);
    QVERIFY(images["shield.dbr"] != images["axe.dbr"]);

    // The toolbar's Check In and Undo Check Out follow the rows this user holds.
    f.frame->SetCurrentTab(2);
    for (const char* name : {"sword.dbr", "shield.dbr", "axe.dbr"})
    {
        view.SelectFiles({name});
        bool mine = std::string(name) == "shield.dbr";
        QCOMPARE(f.frame->Action(CommandId::kFileCheckIn)->isEnabled(), mine);
        QCOMPARE(f.frame->Action(CommandId::kFileUndoCheckOut)->isEnabled(), mine);
        QVERIFY(f.frame->Action(CommandId::kFileCheckOut)->isEnabled());
    }

    // A file released by its holder shows it at the next refresh.
    f.backend->heldBy.erase("database/records/items/shield.dbr");
    f.frame->TriggerCommand(CommandId::kRefresh);
    QVERIFY(view.SelectFolder("database/records/items/"));
    QCOMPARE(IconImage(f.Row(view, "shield.dbr")->icon(0)), images["axe.dbr"]);
}

void WiringTest::fileSummaryListsTheClientFolderWithTheNetworkToolBar()
{
    Fixture f(true);
    test::WriteFile(f.working + "notes.txt", "notes");
    test::WriteFile(f.working + "plan.txt", "plan");
    f.backend->heldBy["notes.txt"] = "ann";
    f.backend->heldBy["plan.txt"] = "me";
    CFileSummaryDialog summary(*f.frame, f.frame.get());
    summary.show();
    QTreeWidget* list = summary.View().FileList();
    QTRY_COMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("notes.txt"));
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("ann"));
    QVERIFY(!list->isColumnHidden(1));

    auto* toolBar = summary.findChild<QToolBar*>();
    QVERIFY(toolBar);
    QStringList texts;
    for (QAction* action : toolBar->actions())
        if (!action->isSeparator())
            texts << action->text().remove(QLatin1Char('&'));
    QCOMPARE(texts, (QStringList{QStringLiteral("Redo Sync"), QStringLiteral("Check Out"), QStringLiteral("Check In"),
                                 QStringLiteral("Undo Check Out"), QStringLiteral("Delete"), QStringLiteral("Properties")}));
    // Check In follows the held-by-this-user rule on the dialog's own rows.
    QAction* checkIn = toolBar->actions().at(2);
    summary.View().SelectFiles({"notes.txt"});
    QVERIFY(!checkIn->isEnabled());
    summary.View().SelectFiles({"plan.txt"});
    QVERIFY(checkIn->isEnabled());
    checkIn->trigger();
    QCOMPARE(f.backend->calls, std::vector<std::string>{"in plan.txt"});
}

void WiringTest::setWorkingFolderInNetworkModeOpensTheWorkingFolderPrompt()
{
    Fixture f(true);
    std::string other = f.temp / "Other/";
    test::WriteFile(other + "database/records/axe.dbr", "");
    QVERIFY(f.frame->Action(CommandId::kSetWorkingFolder)->isEnabled());

    // Cancel leaves the folder as it was.
    QString shown;
    AnswerNextModal<CWorkingFolderDlg>([&](CWorkingFolderDlg& prompt) {
        shown = prompt.FolderField()->text();
        prompt.reject();
    });
    QVERIFY(f.frame->TriggerCommand(CommandId::kSetWorkingFolder));
    QCOMPARE(shown.toStdString(), f.app->SourceControl().GetClientDirectory());
    QVERIFY(f.app->GetWorkingDir() != other);

    // An emptied field is refused, then a typed folder is taken.
    AnswerNextModal<CWorkingFolderDlg>([&](CWorkingFolderDlg& prompt) {
        prompt.FolderField()->clear();
        prompt.accept();
        prompt.FolderField()->setText(QString::fromStdString(other));
        prompt.accept();
    });
    QVERIFY(f.frame->TriggerCommand(CommandId::kSetWorkingFolder));
    QCOMPARE(Texts(f.prompt),
             std::vector<std::string>{"Working Directory cannot be empty.  Please choose a valid directory"});
    QCOMPARE(f.app->GetWorkingDir(), other);
    QCOMPARE(f.app->SourceControl().GetClientDirectory(), other);
    QVERIFY(f.frame->View(2).TreeFolders().size() >= 2);
    QCOMPARE(f.frame->View(2).TreeFolders()[1], std::string("database/records/"));
}

QTEST_MAIN(WiringTest)
#include "WiringTest.moc"
