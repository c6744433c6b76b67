// The main window on the offscreen platform: worker refusal and Stop, the
// batch confirmation, mod selection, the output pane's lines, the file view
// commands, and screenshots of each tab and dialog for a person to look at.
#include "ui/CAdvancedActionDlg.h"
#include "ui/CFileSummaryDialog.h"
#include "ui/CFileView.h"
#include "ui/CLoginDialog.h"
#include "ui/CMainFrame.h"
#include "ui/COptionsDialog.h"
#include "ui/COutputView.h"
#include "ui/CRecordBrowser.h"
#include "ui/CSplashWindow.h"
#include "ui/CStatusReportDialog.h"
#include "ui/QtUserPrompt.h"
#include "app/CModwrightApp.h"
#include "app/CommandTable.h"
#include "app/OptionSettings.h"
#include "platform/ProfileFile.h"
#include "platform/FileSystem.h"
#include "platform/ManualResetEvent.h"
#include "support/ScriptedBackend.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"
#include "MainWindowFixture.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTreeWidget>
#include <QtTest>

#include <atomic>
#include <sstream>

using namespace mw;

namespace {

using Fixture = test::MainWindowFixture;
using test::Texts;

void SaveScreenshot(QWidget& widget, const QString& name) { QVERIFY(test::SaveScreenshot(widget, name)); }

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void busyWorkerRefusesBuildWithItsMessageAndOthersSilently();
    void stopWithoutWorkerDoesNotCancelTheNextOperation();
    void checkInAsksAboveFiveFiles();
    void selectingNoneUsesTheWorkingFoldersSource();
    void outputPaneLineRules();
    void workerLinesArriveInOrder();
    void newRecordTakesTheNextFreeName();
    void deleteWithNothingSelectedDoesNothing();
    void checkOutAndEditOnAFileAnotherUserHolds();
    void renameInPlaceAndPasteACopy();
    void optionsRefuseAnEmptyWorkingFolderAndStoreSeparators();
    void screenshotsAndPrintout();
    void withoutADisplayTheProgramSaysSoAndEnds();
};

void MainWindowTest::busyWorkerRefusesBuildWithItsMessageAndOthersSilently()
{
    Fixture f(false);
    ManualResetEvent started;
    QVERIFY(f.frame->StartWorker(CommandId::kBuild, "Build", [&] {
        started.Set();
        while (!f.app->IsCancelled())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }));
    QVERIFY(started.Wait(5000));
    QVERIFY(!f.frame->Action(CommandId::kBuild)->isEnabled());
    QVERIFY(!f.frame->Action(CommandId::kOptions)->isEnabled());
    QVERIFY(f.frame->Action(CommandId::kStop)->isEnabled());
    QCOMPARE(f.frame->Action(CommandId::kStop)->text(), QStringLiteral("Stop Build"));

    f.frame->TriggerCommand(CommandId::kBuild);
    f.frame->TriggerCommand(CommandId::kCheckRecords);
    f.frame->TriggerCommand(CommandId::kFindReferences);
    QCOMPARE(Texts(f.prompt), (std::vector<std::string>{"Busy in OnBuildBuild. Tell Orlo!",
                                                        "Busy in OnDatabaseFindreferences. Tell Orlo!"}));
    QCOMPARE(f.prompt.messages[0].caption, std::string("Modwright"));

    f.frame->TriggerCommand(CommandId::kStop);
    QVERIFY(!f.frame->IsBusy());
    QCOMPARE(f.frame->Action(CommandId::kStop)->text(), QStringLiteral("Stop"));
    QVERIFY(!f.frame->Action(CommandId::kStop)->isEnabled());
    QVERIFY(f.frame->Action(CommandId::kBuild)->isEnabled());
}

void MainWindowTest::stopWithoutWorkerDoesNotCancelTheNextOperation()
{
    Fixture f(false);
    f.frame->Stop();
    QVERIFY(f.app->IsCancelled());
    // The next operation finds the cancel event clear at its very first step.
    std::atomic<int> cancelledAtStart{-1};
    QVERIFY(f.frame->StartWorker(CommandId::kCheckRecords, "DbCheckRecords",
                                 [&] { cancelledAtStart = f.app->IsCancelled() ? 1 : 0; }));
    f.WaitForWorker();
    QCOMPARE(cancelledAtStart.load(), 0);

    f.frame->Stop();
    QVERIFY(f.frame->TriggerCommand(CommandId::kBuild));
    f.WaitForWorker();
    auto lines = f.PaneLines();
    QVERIFY(std::find(lines.begin(), lines.end(), "Build cancelled by user") == lines.end());
    QVERIFY(lines.size() >= 2 && lines[lines.size() - 2].rfind("Build time ", 0) == 0);
    // The outcome line ends the pane and stands in the status bar.
    QVERIFY(lines.back().rfind("Build stopped", 0) != 0);
    QVERIFY(!f.app->IsCancelled());
}

void MainWindowTest::checkInAsksAboveFiveFiles()
{
    Fixture f(true);
    for (int i = 0; i < 6; ++i)
    {
        test::WriteFile(f.working + "database/batch/r" + std::to_string(i) + ".dbr", "");
        // Only files this user holds are checked in.
        f.backend->heldBy["database/batch/r" + std::to_string(i) + ".dbr"] = "me";
    }
    f.frame->SetCurrentTab(2);
    CFileView& view = f.frame->View(2);
    view.Refresh();
    QVERIFY(view.SelectFolder("database/batch/"));
    view.FileList()->selectAll();
    QCOMPARE(view.SelectedPaths().size(), size_t(6));
    f.frame->TriggerCommand(CommandId::kFileCheckIn);
    QCOMPARE(Texts(f.prompt),
             std::vector<std::string>{"You are attempting to check in 6 files. Proceed with check in?"});
    QCOMPARE(f.prompt.messages[0].caption, std::string("Check In"));
    f.WaitForWorker();
    QVERIFY(f.backend->calls.empty());

    view.FileList()->topLevelItem(5)->setSelected(false);
    QCOMPARE(view.SelectedPaths().size(), size_t(5));
    f.frame->TriggerCommand(CommandId::kFileCheckIn);
    f.WaitForWorker();
    QCOMPARE(f.prompt.messages.size(), size_t(1));
    QCOMPARE(f.backend->calls.size(), size_t(5));
    QCOMPARE(f.backend->calls[0], std::string("in database/batch/r0.dbr"));
}

void MainWindowTest::selectingNoneUsesTheWorkingFoldersSource()
{
    Fixture f(false);
    f.app->RefreshModList();
    f.frame->RebuildModMenu();
    QCOMPARE(f.app->GetModList(), std::vector<std::string>{"Frost"});
    QVERIFY(f.frame->TriggerCommand(5001));
    QCOMPARE(f.app->GetSourceDir(), f.working + "CustomMaps\\Frost\\source\\");
    QCOMPARE(f.frame->View(2).RootFolder(), std::string("CustomMaps/Frost/database/"));
    QVERIFY(f.frame->TriggerCommand(5000));
    QCOMPARE(f.app->GetCurrentModIndex(), -1);
    QCOMPARE(f.app->GetSourceDir(), f.working + "source\\");
    QCOMPARE(f.frame->View(2).RootFolder(), std::string("database/"));
}

void MainWindowTest::outputPaneLineRules()
{
    Fixture f(false);
    COutputView& pane = f.frame->OutputPane();
    f.app->Log(std::string(300, 'a') + "Z", true, false);
    f.app->Log("first\nsecond\n", true, true);
    auto lines = f.PaneLines();
    QCOMPARE(lines.size(), size_t(3));
    QCOMPARE(lines[0], std::string(294, 'a') + " ... Z");
    QCOMPARE(lines[1], std::string("first"));
    QVERIFY(!pane.IsErrorLine(0));
    QVERIFY(pane.IsErrorLine(1));
    QVERIFY(pane.IsErrorLine(2));

    // After an operation its lines stay until the next message, which clears them first.
    f.app->BeginOperation();
    f.app->Log("operation line", true, false);
    f.app->EndOperation();
    QCOMPARE(f.PaneLines(), std::vector<std::string>{"operation line"});
    f.app->Log("next", true, false);
    QCOMPARE(f.PaneLines(), std::vector<std::string>{"next"});

    // Copy with nothing selected says so.
    pane.clearSelection();
    pane.CopySelection();
    QCOMPARE(Texts(f.prompt), std::vector<std::string>{"No items were selected!"});
}

void MainWindowTest::workerLinesArriveInOrder()
{
    Fixture f(false);
    QVERIFY(f.frame->StartWorker(CommandId::kCheckRecords, "DbCheckRecords", [&] {
        f.app->BeginOperation();
        for (int i = 0; i < 500; ++i)
            f.app->Log("line " + std::to_string(i), true, i % 7 == 0);
        f.app->EndOperation();
    }));
    f.WaitForWorker();
    auto lines = f.PaneLines();
    QCOMPARE(lines.size(), size_t(500));
    for (int i = 0; i < 500; ++i)
    {
        QCOMPARE(lines[size_t(i)], "line " + std::to_string(i));
        QCOMPARE(f.frame->OutputPane().IsErrorLine(i), i % 7 == 0);
    }
}

void MainWindowTest::newRecordTakesTheNextFreeName()
{
    Fixture f(false);
    CFileView& view = f.frame->View(2);
    QVERIFY(view.SelectFolder("database/records/items/"));
    view.NewFile("Record", "dbr");
    view.NewFile("Record", "dbr");
    auto names = f.ListNames(view);
    QVERIFY(std::find(names.begin(), names.end(), "New Record.dbr") != names.end());
    QVERIFY(std::find(names.begin(), names.end(), "New Record (2).dbr") != names.end());
    QVERIFY(IsFile(f.working + "database/records/items/New Record (2).dbr"));
    QVERIFY(f.prompt.messages.empty());
}

void MainWindowTest::deleteWithNothingSelectedDoesNothing()
{
    Fixture f(false);
    f.frame->SetCurrentTab(2);
    CFileView& view = f.frame->View(2);
    QVERIFY(view.SelectFolder("database/records/items/"));
    view.FileList()->clearSelection();
    QVERIFY(f.frame->TriggerCommand(CommandId::kDelete));
    QVERIFY(f.prompt.messages.empty());
    QCOMPARE(f.ListNames(view).size(), size_t(2));

    // With one selected and Yes it goes.
    view.SelectFiles({"sword.dbr"});
    f.prompt.answers.push_back(PromptAnswer::Yes);
    f.frame->TriggerCommand(CommandId::kDelete);
    QCOMPARE(Texts(f.prompt), std::vector<std::string>{"Are you sure you want to delete the file 'sword.dbr'?"});
    QCOMPARE(f.ListNames(view), std::vector<std::string>{"shield.dbr"});
}

void MainWindowTest::checkOutAndEditOnAFileAnotherUserHolds()
{
    Fixture f(true);
    f.backend->heldBy["database/records/items/sword.dbr"] = "ann";
    CFileView& view = f.frame->View(2);
    QVERIFY(view.SelectFolder("database/records/items/"));
    view.SelectFiles({"sword.dbr"});
    view.CheckOutAndEdit();
    QCOMPARE(Texts(f.prompt), std::vector<std::string>{"The file is currently checked out by ann."});
    QVERIFY(f.backend->calls.empty());
    QVERIFY(f.opened.empty());
    // The row shows the holder.
    QTreeWidgetItem* row = view.FileList()->findItems(QStringLiteral("sword.dbr"), Qt::MatchExactly).value(0);
    QVERIFY(row);
    QCOMPARE(row->text(1), QStringLiteral("ann"));

    // A file this user holds opens at once.
    f.backend->heldBy["database/records/items/shield.dbr"] = "me";
    view.SelectFiles({"shield.dbr"});
    view.CheckOutAndEdit();
    QCOMPARE(f.opened, std::vector<std::string>{f.working + "database/records/items/shield.dbr"});
}

void MainWindowTest::renameInPlaceAndPasteACopy()
{
    Fixture f(false);
    CFileView& view = f.frame->View(2);
    QVERIFY(view.SelectFolder("database/records/items/"));
    QTreeWidgetItem* row = view.FileList()->findItems(QStringLiteral("sword.dbr"), Qt::MatchExactly).value(0);
    QVERIFY(row);
    // What the in-place editor does when the user confirms a new name.
    row->setText(0, QStringLiteral("blade.dbr"));
    QTRY_VERIFY(IsFile(f.working + "database/records/items/blade.dbr"));
    QTRY_COMPARE(f.ListNames(view), (std::vector<std::string>{"blade.dbr", "shield.dbr"}));
    QVERIFY(!PathExists(f.working + "database/records/items/sword.dbr"));

    view.SelectFiles({"shield.dbr"});
    view.Copy();
    view.Paste();
    QCOMPARE(f.ListNames(view), (std::vector<std::string>{"blade.dbr", "Copy of shield.dbr", "shield.dbr"}));
    QVERIFY(f.prompt.messages.empty());
}

void MainWindowTest::optionsRefuseAnEmptyWorkingFolderAndStoreSeparators()
{
    Fixture f(false);
    COptionsDialog dialog(*f.app, f.prompt, f.frame.get());
    dialog.show();
    dialog.WorkingFolderField()->clear();
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(Texts(f.prompt),
             std::vector<std::string>{"Working Directory cannot be empty.  Please choose a valid directory"});
    QVERIFY(dialog.isVisible());

    dialog.WorkingFolderField()->setText(QString::fromStdString(f.working));
    dialog.ToolsFolderField()->setText(QString::fromStdString(f.temp / "mytools"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(ApplyOptionSettings(*f.app, dialog.Settings()));
    QCOMPARE(f.app->GetToolsDir(), f.temp / "mytools/");
    QCOMPARE(ReadProfileString("Login", "toolsdir", "", f.ini), f.temp / "mytools/");
    // Reopened, each folder field is wide enough for its whole path.
    COptionsDialog again(*f.app, f.prompt, f.frame.get());
    again.show();
    QLineEdit* tools = again.ToolsFolderField();
    QCOMPARE(tools->text(), QString::fromStdString(f.temp / "mytools/"));
    QVERIFY(tools->width() >= tools->fontMetrics().horizontalAdvance(tools->text()));
}

void MainWindowTest::screenshotsAndPrintout()
{
    Fixture f(true);
    f.backend->heldBy["database/records/items/sword.dbr"] = "ann";
    f.backend->heldBy["database/records/items/shield.dbr"] = "me";
    f.app->Log("Building database...", true, false);
    f.app->Log("Error: record database/records/items/broken.dbr has no template", true, true);
    f.app->Log("Build time 0:02", true, false);
    const char* names[3] = {"sources", "assets", "database"};
    const char* folders[3] = {"source/Text/", "assets/items/", "database/records/items/"};
    for (int tab = 0; tab < 3; ++tab)
    {
        f.frame->SetCurrentTab(tab);
        f.frame->View(tab).SelectFolder(folders[tab]);
        f.frame->FlushOutput();
        QTest::qWait(50);
        SaveScreenshot(*f.frame, QStringLiteral("tab-%1").arg(QString::fromLatin1(names[tab])));
    }

    COptionsDialog options(*f.app, f.prompt, f.frame.get());
    options.show();
    QTest::qWait(50);
    SaveScreenshot(options, QStringLiteral("options-network"));
    options.hide();

    Fixture local(false);
    COptionsDialog localOptions(*local.app, local.prompt, local.frame.get());
    localOptions.show();
    QTest::qWait(50);
    SaveScreenshot(localOptions, QStringLiteral("options-local"));
    SaveScreenshot(*local.frame, QStringLiteral("window-local"));

    // The smaller dialogs.
    CLoginDialog login("alice", "svn://127.0.0.1:3690/repo");
    login.show();
    CSplashWindow* splash = new CSplashWindow;
    splash->show();
    CAdvancedActionDlg advanced(*f.app, "database/records/", f.frame.get());
    advanced.show();
    CRecordBrowser browser({"records\\items\\shield.dbr", "records\\items\\sword.dbr", "records\\loot\\chest.dbr"},
                           f.frame.get());
    browser.show();
    test::WriteFile(f.working + "Tools notes.txt", "notes");
    f.backend->heldBy["Tools notes.txt"] = "ann";
    CFileSummaryDialog summary(*f.frame, f.frame.get());
    QCOMPARE(summary.View().FileList()->topLevelItemCount(), 1);
    QCOMPARE(summary.View().FileList()->topLevelItem(0)->text(1), QStringLiteral("ann"));
    summary.show();
    QTest::qWait(50);
    SaveScreenshot(login, QStringLiteral("login"));
    SaveScreenshot(*splash, QStringLiteral("splash"));
    SaveScreenshot(advanced, QStringLiteral("advanced"));
    SaveScreenshot(browser, QStringLiteral("import-record"));
    SaveScreenshot(summary, QStringLiteral("file-summary"));
    splash->close();

    // The question before templates overwrite edited ones, as the real box shows it.
    QtUserPrompt boxes;
    boxes.SetOwner(f.frame.get());
    bool shot = false;
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [&, timer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        shot = test::SaveScreenshot(*box, QStringLiteral("install-question"));
        box->reject();
    });
    timer->start();
    boxes.Show("2 files in " + f.working + "Database/ differ from the ones being installed:\n"
               "Templates\\item.tpl\nTemplates\\weapon.tpl\n\nOverwrite them (yours go to the trash), keep yours, "
               "or cancel the installation?",
               "", PromptButtons::OverwriteKeepMineCancel, PromptIcon::Warning);
    QVERIFY(shot);

    std::vector<StatusReportRow> rows;
    for (int i = 0; i < 80; ++i)
        rows.push_back({"items/weapon" + std::to_string(i) + ".tex", i % 2 ? "Revise" : "Waiting for Review"});
    CStatusReportDialog report(rows, f.frame.get());
    report.show();
    QTest::qWait(50);
    SaveScreenshot(report, QStringLiteral("status-report"));
    // The printed pages as a person would see them: A4 at 96 dots per inch.
    QImage pageImage(794, 1123, QImage::Format_RGB32);
    pageImage.fill(Qt::white);
    QPainter painter(&pageImage);
    int pageShots = 0;
    auto savePage = [&] {
        painter.end();
        pageImage.save(test::ScreenshotFolder() + QStringLiteral("/status-report-page%1.png").arg(++pageShots));
        pageImage.fill(Qt::white);
        painter.begin(&pageImage);
    };
    int pages = report.PaintPages(painter, pageImage.rect(), savePage);
    savePage();
    painter.end();
    QCOMPARE(pages, pageShots);
    QVERIFY(pages >= 2);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    QString pdf = test::ScreenshotFolder() + QStringLiteral("/status-report.pdf");
    printer.setOutputFileName(pdf);
    QVERIFY(report.PrintTo(printer) >= 2);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(4) == "%PDF");
}

void MainWindowTest::withoutADisplayTheProgramSaysSoAndEnds()
{
    test::TempFolder temp;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(temp.Path()));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QString::fromStdString(temp.Path()));
    program.start(QStringLiteral(MODWRIGHT_EXE), {QStringLiteral("-ini"), QString::fromStdString(temp / "Tools.ini")});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY(program.exitCode() != 0);
    QByteArray error = program.readAllStandardError();
    QCOMPARE(error.count('\n'), 1);
    QVERIFY(error.contains("no display"));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
