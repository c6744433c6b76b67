// The Database tab's reference-keeping commands in the main window (offscreen):
// rename in place asks once and rewrites, delete names what still refers to
// the file and trashes it, a "Found reference" line opens its file on a
// double-click; and screenshots of both questions as the real dialogs show them.
#include "ui/CFileView.h"
#include "ui/CMainFrame.h"
#include "ui/COutputView.h"
#include "ui/QtUserPrompt.h"
#include "app/CModwrightApp.h"
#include "app/FileReorganiser.h"
#include "platform/FileSystem.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <cstdlib>
#include <sstream>

using namespace mw;

namespace {

// A working folder whose records refer to one sword, the trash kept inside it.
struct Fixture
{
    explicit Fixture(IUserPrompt* realPrompt = nullptr)
    {
        working = temp / "Working/";
        setenv("XDG_DATA_HOME", (temp / "data").c_str(), 1);
        test::WriteFile(working + "database/records/items/sword.dbr", "templateName,Database\\Templates\\item.tpl,\n");
        test::WriteFile(working + "database/records/loot/chest.dbr",
                        "templateName,Database\\Templates\\item.tpl,\nbest,Records\\Items\\Sword.dbr,\n");
        test::WriteFile(working + "database/records/loot/boss.dbr",
                        "templateName,Database\\Templates\\item.tpl,\nitems,records/x.dbr;records/items/sword.dbr,\n");
        test::WriteFile(working + "database/Templates/item.tpl", "");
        test::WriteFile(temp / "Tools.ini", "[Login]\nlocaldir=" + working + "\n");
        AppEnvironment environment;
        environment.startFolder = temp / "start";
        environment.documentsFolder = temp / "docs";
        environment.out = &out;
        environment.prompt = realPrompt ? realPrompt : &prompt;
        app = std::make_unique<CModwrightApp>(environment);
        app->InitInstance({"-ini", temp / "Tools.ini"});
        app->SetLocalDir(working, false);
        frame = std::make_unique<CMainFrame>(*app, realPrompt ? *realPrompt : prompt, OperationTable());
        frame->SetFileOpener([this](const std::string& path) { opened.push_back(path); });
        frame->resize(1000, 700);
        frame->show();
    }
    ~Fixture()
    {
        frame.reset();
        app->ExitInstance();
        unsetenv("XDG_DATA_HOME");
    }

    test::TempFolder temp;
    std::string working;
    std::ostringstream out;
    test::ScriptedPrompt prompt;
    std::unique_ptr<CModwrightApp> app;
    std::unique_ptr<CMainFrame> frame;
    std::vector<std::string> opened;
};

// Once a message box is up: opens its details, saves its picture and answers No.
void ShootAndAnswerNo(const QString& name, bool* shot)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, name, shot] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == QMessageBox::ActionRole)
                button->click(); // "Show Details..."
        QApplication::processEvents();
        QDir().mkpath(QStringLiteral(MW_SCREENSHOT_DIR));
        *shot = box->grab().save(QStringLiteral(MW_SCREENSHOT_DIR "/") + name + QStringLiteral(".png"));
        box->button(QMessageBox::No)->click();
    });
    poll->start(50);
}

} // namespace

class ReorganiseTest : public QObject
{
    Q_OBJECT
private slots:
    void renameInPlaceRewritesReferrersAfterOneQuestion();
    void deleteNamesReferrersAndGoesToTheTrash();
    void doubleClickOnAReferenceLineOpensTheFile();
    void screenshotsOfTheQuestions();
};

void ReorganiseTest::renameInPlaceRewritesReferrersAfterOneQuestion()
{
    Fixture f;
    CFileView& view = f.frame->View(2);
    QVERIFY(view.SelectFolder("database/records/items/"));
    QTreeWidgetItem* row = view.FileList()->findItems(QStringLiteral("sword.dbr"), Qt::MatchExactly).value(0);
    QVERIFY(row);
    f.prompt.answers.push_back(PromptAnswer::Yes);
    row->setText(0, QStringLiteral("blade.dbr"));
    QTRY_VERIFY(IsFile(f.working + "database/records/items/blade.dbr"));
    QTRY_COMPARE(f.prompt.messages.size(), size_t(1));
    QCOMPARE(f.prompt.messages[0].text, std::string("Update 2 references?\n\n2 files still refer to the old paths."));
    QCOMPARE(f.prompt.messages[0].details,
             std::string("database/records/loot/boss.dbr\ndatabase/records/loot/chest.dbr"));
    QCOMPARE(test::ReadFile(f.working + "database/records/loot/boss.dbr"),
             std::string("templateName,Database\\Templates\\item.tpl,\r\n"
                         "items,records/x.dbr;records\\items\\blade.dbr,\r\n"));
}

void ReorganiseTest::deleteNamesReferrersAndGoesToTheTrash()
{
    Fixture f;
    CFileView& view = f.frame->View(2);
    QVERIFY(view.SelectFolder("database/records/items/"));
    view.SelectFiles({"sword.dbr"});
    view.Delete();
    QCOMPARE(f.prompt.messages.size(), size_t(1));
    QCOMPARE(f.prompt.messages[0].text, std::string("Are you sure you want to delete the file 'sword.dbr'?\n\n"
                                                    "2 files still refer to it:\ndatabase/records/loot/boss.dbr\n"
                                                    "database/records/loot/chest.dbr"));
    QVERIFY(IsFile(f.working + "database/records/items/sword.dbr"));

    f.prompt.answers.push_back(PromptAnswer::Yes);
    view.Delete();
    QVERIFY(!PathExists(f.working + "database/records/items/sword.dbr"));
    QVERIFY(IsFile(f.temp / "data/Trash/files/sword.dbr"));
    QVERIFY(IsFile(f.temp / "data/Trash/info/sword.dbr.trashinfo"));
    QCOMPARE(view.FileList()->topLevelItemCount(), 0);
}

void ReorganiseTest::doubleClickOnAReferenceLineOpensTheFile()
{
    Fixture f;
    COutputView& pane = f.frame->OutputPane();
    pane.AddLine("Finding all references to file: \"records\\items\\sword.dbr\"", false);
    pane.AddLine("Found reference in variable \"best\" of file \"records\\loot\\chest.dbr\".", false);
    pane.AddLine("File database/records/loot/boss.dbr checked out by another user, unable to synchronize.", true);
    for (int row = 0; row < pane.count(); ++row)
    {
        QRect rect = pane.visualItemRect(pane.item(row));
        // A real double-click: a click, then the second press that the system reports as a double-click.
        QTest::mouseClick(pane.viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
        QTest::mouseDClick(pane.viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }
    QCOMPARE(f.opened, (std::vector<std::string>{f.working + "database/records/loot/chest.dbr",
                                                 f.working + "database/records/loot/boss.dbr"}));
}

void ReorganiseTest::screenshotsOfTheQuestions()
{
    QtUserPrompt qtPrompt;
    Fixture f(&qtPrompt);
    FileReorganiser reorganiser(*f.app, false, true, &f.app->References());

    bool updateShot = false;
    ShootAndAnswerNo(QStringLiteral("update-references-question"), &updateShot);
    QCOMPARE(reorganiser.MoveRecords({"database/records/items/sword.dbr"}, "database/records/weapons/").size(),
             size_t(1));
    QVERIFY(updateShot);
    // No leaves the referrers as they were.
    QVERIFY(test::ReadFile(f.working + "database/records/loot/chest.dbr").find("Records\\Items\\Sword.dbr") !=
            std::string::npos);

    bool deleteShot = false;
    test::WriteFile(f.working + "database/records/loot/boss.dbr", "items,records/weapons/sword.dbr,\n");
    ShootAndAnswerNo(QStringLiteral("delete-with-referrers-warning"), &deleteShot);
    QVERIFY(!reorganiser.DeleteFiles({"database/records/weapons/sword.dbr"}));
    QVERIFY(deleteShot);
    QVERIFY(IsFile(f.working + "database/records/weapons/sword.dbr"));
}

QTEST_MAIN(ReorganiseTest)
#include "ReorganiseTest.moc"
