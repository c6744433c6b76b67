// The tabs following the disk and the previews beside them, in the main
// window offscreen: files created, changed and deleted outside the tool show
// within the watcher's delay with the selection and scroll position kept;
// and pictures of every preview, the thumbnails, the status bar after a
// build and the Database Editor's first open, saved for a look.
#include "ui/CDiskWatcher.h"
#include "ui/CFileView.h"
#include "ui/CLiveTabs.h"
#include "ui/CMainFrame.h"
#include "ui/CTexturePreview.h"
#include "app/CModwrightApp.h"
#include "app/CommandTable.h"
#include "platform/FileSystem.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"
#ifdef MW_WITH_DBEDITOR
#include "ui/dbeditor/CDbEditor.h"
#include "ui/dbeditor/CDbEditorManager.h"
#endif

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QTreeWidget>
#include <QtTest>

#include <filesystem>
#include <sstream>

using namespace mw;

namespace {

// A 32-bit Targa image of one colour.
std::string Targa(int width, int height, unsigned char r, unsigned char g, unsigned char b, unsigned char a)
{
    std::string out(18, '\0');
    out[2] = 2;
    out[12] = char(width), out[13] = char(width >> 8);
    out[14] = char(height), out[15] = char(height >> 8);
    out[16] = 32;
    out[17] = char(0x20 | 8);
    for (int i = 0; i < width * height; ++i)
        out += char(b), out += char(g), out += char(r), out += char(a);
    return out;
}

QTreeWidgetItem* Row(CFileView& view, const char* name)
{
    return view.FileList()->findItems(QString::fromLatin1(name), Qt::MatchExactly).value(0);
}

void Save(const QImage& image, const char* name)
{
    QDir().mkpath(QStringLiteral(MW_SCREENSHOT_DIR));
    QVERIFY(image.save(QStringLiteral(MW_SCREENSHOT_DIR "/") + QString::fromLatin1(name) + QStringLiteral(".png")));
}

// The sample working folder, copied, with the compilers of this build.
struct Fixture
{
    explicit Fixture(bool sample)
    {
        working = temp / "Working/";
        if (sample)
            std::filesystem::copy(MW_EXAMPLES_DIR "/Working", working, std::filesystem::copy_options::recursive);
        else
            test::WriteFile(working + "source/textures/rock.tga", Targa(8, 8, 200, 50, 50, 255));
        test::WriteFile(temp / "Tools.ini", "[Login]\nlocaldir=" + working + "\nbuilddir=" + temp / "Build/" +
                                                "\ntoolsdir=" + MW_TOOLS_DIR + "\n");
        AppEnvironment environment;
        environment.startFolder = temp / "start";
        environment.documentsFolder = temp / "docs";
        environment.out = &out;
        environment.prompt = &prompt;
        app = std::make_unique<CModwrightApp>(environment);
        app->InitInstance({"-ini", temp / "Tools.ini"});
        app->SetLocalDir(working, false);
        frame = std::make_unique<CMainFrame>(*app, prompt, OperationTable());
        frame->SetFileOpener([](const std::string&) {});
        frame->resize(1200, 760);
        frame->show();
        QApplication::processEvents();
    }
    ~Fixture()
    {
        frame.reset();
        app->ExitInstance();
    }

    test::TempFolder temp;
    std::string working;
    std::ostringstream out;
    test::ScriptedPrompt prompt;
    std::unique_ptr<CModwrightApp> app;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

class LiveTabsTest : public QObject
{
    Q_OBJECT
private slots:
    void filesChangedOutsideShowWithSelectionAndScrollKept();
    void screenshotsOfPreviewsThumbnailsOutcomeAndEditor();
};

void LiveTabsTest::filesChangedOutsideShowWithSelectionAndScrollKept()
{
    Fixture f(false);
    // Enough files for the list to scroll.
    for (int i = 0; i < 80; ++i)
        test::WriteFile(f.working + "source/textures/pad" + std::to_string(10 + i) + ".tga", Targa(2, 2, 9, 9, 9, 255));
    f.frame->SetCurrentTab(0);
    CFileView& view = f.frame->View(0);
    view.Refresh();
    QVERIFY(view.SelectFolder("source/textures/"));
    f.frame->LiveTabs().Watcher().SetDelay(150);
    view.SelectFiles({"rock.tga"});
    QTRY_VERIFY(f.frame->LiveTabs().Preview(0).Details().startsWith(QStringLiteral("8x8")));
    QScrollBar* scroll = view.FileList()->verticalScrollBar();
    QVERIFY(scroll->maximum() > 10);
    scroll->setValue(scroll->maximum() / 2);
    int scrolled = scroll->value();

    // Created: the new row shows; the chosen row and the place in the list stay.
    test::WriteFile(f.working + "source/textures/added.tga", Targa(2, 2, 1, 2, 3, 255));
    QTRY_VERIFY_WITH_TIMEOUT(Row(view, "added.tga") != nullptr, 5000);
    QCOMPARE(view.SelectedPaths(), std::vector<std::string>{"source/textures/rock.tga"});
    QCOMPARE(scroll->value(), scrolled);

    // Changed: the previewed file is read again.
    test::WriteFile(f.working + "source/textures/rock.tga", Targa(16, 4, 0, 0, 255, 128));
    QTRY_VERIFY_WITH_TIMEOUT(f.frame->LiveTabs().Preview(0).Details().startsWith(QStringLiteral("16x4")), 5000);
    QCOMPARE(view.SelectedPaths(), std::vector<std::string>{"source/textures/rock.tga"});

    // Deleted, and a burst of writes: one refresh after the quiet moment.
    int refreshes = 0;
    connect(&view, &CFileView::Refreshed, this, [&refreshes] { ++refreshes; });
    QVERIFY(RemoveFile(f.working + "source/textures/pad10.tga"));
    for (int i = 0; i < 20; ++i)
        test::WriteFile(f.working + "source/textures/burst" + std::to_string(i) + ".tga", "x");
    QTRY_VERIFY_WITH_TIMEOUT(Row(view, "pad10.tga") == nullptr && Row(view, "burst19.tga") != nullptr, 5000);
    QTest::qWait(400);
    QCOMPARE(refreshes, 1);
    QCOMPARE(view.SelectedPaths(), std::vector<std::string>{"source/textures/rock.tga"});
    QCOMPARE(scroll->value(), scrolled);
    QVERIFY(!f.frame->LiveTabs().Watcher().IsPending());
}

void LiveTabsTest::screenshotsOfPreviewsThumbnailsOutcomeAndEditor()
{
    Fixture f(true);
    QVERIFY(f.frame->TriggerCommand(CommandId::kBuild));
    QTRY_VERIFY_WITH_TIMEOUT(!f.frame->Worker().IsRunning(), 120000);
    QApplication::processEvents();
    f.frame->FlushOutput();
    QApplication::processEvents();
    // The status bar counts "Build... n of m files" while it runs, then gives the outcome.
    auto outcome = [&f] {
        for (QLabel* label : f.frame->statusBar()->findChildren<QLabel*>())
            if (label->text().startsWith(QStringLiteral("Build")) && !label->text().startsWith(QStringLiteral("Build...")))
                return label->text();
        return QString();
    };
    QTRY_VERIFY_WITH_TIMEOUT(!outcome().isEmpty(), 10000);
    QVERIFY2(outcome().startsWith(QStringLiteral("Build: ")), qPrintable(outcome()));
    Save(f.frame->statusBar()->grab().toImage(), "statusbar-after-build");

    CFileView& assets = f.frame->View(1);
    CTexturePreview& preview = f.frame->LiveTabs().Preview(1);
    f.frame->SetCurrentTab(1);
    auto show = [&](const char* folder, const char* name) {
        QVERIFY(assets.SelectFolder(folder));
        assets.SelectFiles({name});
        QApplication::processEvents();
    };
    // The logo keeps its alpha: it is painted on the checkerboard.
    show("assets/ui/", "logo.tex");
    QVERIFY2(!preview.Details().isEmpty(), qPrintable(preview.Caption()));
    Save(preview.grab().toImage(), "preview-texture-alpha");

    // The six faces of the sky, side by side.
    show("assets/sky/", "sky.tex");
    QCOMPARE(preview.ImageChoiceCount(), 6);
    QImage first = preview.grab().toImage();
    QImage faces(first.width() * 3, first.height() * 2, QImage::Format_ARGB32);
    faces.fill(Qt::white);
    {
        QPainter painter(&faces);
        for (int face = 0; face < 6; ++face)
        {
            preview.ChooseImage(face);
            QApplication::processEvents();
            painter.drawImage((face % 3) * first.width(), (face / 3) * first.height(), preview.grab().toImage());
        }
    }
    Save(faces, "preview-cubemap-faces");

    show("assets/fonts/", "blocky.fnt");
    QVERIFY2(!preview.Details().isEmpty(), qPrintable(preview.Caption()));
    Save(preview.grab().toImage(), "preview-font-atlas");

    f.frame->SetCurrentTab(0);
    CFileView& sources = f.frame->View(0);
    QVERIFY(sources.SelectFolder("source/textures/"));
    sources.SelectFiles({"stone.tga"});
    QApplication::processEvents();
    QVERIFY(!f.frame->LiveTabs().Preview(0).Details().isEmpty());
    Save(f.frame->LiveTabs().Preview(0).grab().toImage(), "preview-source-tga");

    f.frame->SetCurrentTab(1);
    f.frame->LiveTabs().ThumbnailAction()->setChecked(true);
    QVERIFY(assets.SelectFolder("assets/textures/"));
    QApplication::processEvents();
    Save(f.frame->grab().toImage(), "thumbnails-view");

#ifdef MW_WITH_DBEDITOR
    CDbEditorManager editors(*f.app, f.app->GetIniPath());
    CDbEditor* editor = editors.OpenInDatabaseEditor(f.working + "database/records/creatures/goblin.dbr");
    QVERIFY(editor);
    QApplication::processEvents();
    Save(editor->grab().toImage(), "dbeditor-first-open");
    editors.CloseAll(false);
    QApplication::processEvents();
#endif
}

QTEST_MAIN(LiveTabsTest)
#include "LiveTabsTest.moc"
