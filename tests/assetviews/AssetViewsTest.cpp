// The asset views and the dialogs of mods and folders on the offscreen
// platform: review status steps, the rooted file dialog, the properties
// dialogs, the new-mod, install, working-folder and folder dialogs, the
// archive browser, and screenshots for a person to look at.
#include "app/CModwrightApp.h"
#include "assets/AssetHeader.h"
#include "ui/assets/CAssetPropertiesDialog.h"
#include "ui/assets/CAssetPropertiesEditor.h"
#include "ui/assets/CAssetStatusDialog.h"
#include "ui/assets/CRootedFileDialog.h"
#include "app/ArchiveInstaller.h"
#include "platform/FileSystem.h"
#include "platform/ManualResetEvent.h"
#include "platform/engine/ResourceArchiveFile.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"
#include "app/CommandTable.h"
#include "assets/Asset.h"
#include "assets/AssetRegistry.h"
#include "ui/assets/CAssetFileView.h"
#include "ui/assets/CSelectAssetTypeDialog.h"
#include "ui/CFileBrowser.h"
#include "ui/CFileView.h"
#include "ui/CMainFrame.h"
#include "ui/CFolderDialog.h"
#include "ui/CInstallDialog.h"
#include "ui/CNewCustomMapDlg.h"
#include "ui/CWorkingFolderDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTreeWidget>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

using namespace mw;

namespace {

std::vector<std::string> Texts(const test::ScriptedPrompt& prompt)
{
    std::vector<std::string> texts;
    for (const auto& message : prompt.messages)
        texts.push_back(message.text);
    return texts;
}

void SaveScreenshot(QWidget& widget, const QString& name)
{
    QDir().mkpath(QStringLiteral(MW_SCREENSHOT_DIR));
    QVERIFY(widget.grab().save(QStringLiteral(MW_SCREENSHOT_DIR) + QLatin1Char('/') + name + QStringLiteral(".png")));
}

// Runs act on the next modal dialog once it is shown.
void WhenModal(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

void ClickOk(QWidget* dialog)
{
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    QVERIFY(buttons);
    buttons->button(QDialogButtonBox::Ok)->click();
}

// An archive with the given entries written with the shared archive format.
void MakeArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files)
{
    GAME::ResourceArchiveFile archive;
    for (const auto& [name, bytes] : files)
        QVERIFY(archive.Put(name, bytes, 0, 1));
    test::WriteFile(path, archive.Serialize());
}

// The application on a working folder, without a window.
struct AppFixture
{
    AppFixture()
    {
        working = temp / "Working/";
        test::WriteFile(working + "source/textures/rock.tga", "tga");
        test::WriteFile(temp / "Tools.ini", "[Login]\nlocaldir=" + working + "\nbuilddir=" + temp / "Build/" +
                                                "\ntoolsdir=" + temp / "tools/" + "\n");
        AppEnvironment environment;
        environment.startFolder = temp / "start";
        environment.documentsFolder = temp / "docs";
        environment.out = &out;
        environment.prompt = &prompt;
        app = std::make_unique<CModwrightApp>(environment);
        app->InitInstance({"-ini", temp / "Tools.ini"});
        app->SetLocalDir(working, false);
        app->RefreshModList();
    }
    ~AppFixture() { app->ExitInstance(); }

    test::TempFolder temp;
    std::string working;
    std::ostringstream out;
    test::ScriptedPrompt prompt;
    std::unique_ptr<CModwrightApp> app;
};

} // namespace

class AssetViewsTest : public QObject
{
    Q_OBJECT
private slots:
    void statusDialogPromotesAndDemotesByTheReviewRules();
    void rootedFileDialogKeepsToItsRoot();
    void rootedFileDialogTakesTypedSubPathsButNotEscapes();
    void fileDialogsLeaveTheSharedDialogSettingsAlone();
    void textureDialogWritesItsFieldsBackAndCancelKeepsThem();
    void assetsTabShowsTheStatusColumnAndMakesAssets();
    void newModDialogRefusesBadNamesAndCreatesTheMod();
    void installDialogCancelledThenCompleted();
    void installDialogReportsAnArchiveItCannotOpen();
    void workingFolderPromptRefusesAnEmptyFolder();
    void folderDialogAsksAboutAPathThatDoesNotExist();
    void fileBrowserListsArchiveEntriesByExtension();
    void builtToolsetInstallsTemplatesAndATutorialThatUsesThem();
};

void AssetViewsTest::statusDialogPromotesAndDemotesByTheReviewRules()
{
    // A user who is not privileged stops before Approved.
    CAssetStatusDialog artist(AssetHeader{kAssetStatusRevisedWaitingForReview, "me", "fix the seams"}, false, false);
    QCOMPARE(artist.StatusText(), QStringLiteral("Revised Waiting for Review"));
    QVERIFY(!artist.PromoteButton()->isEnabled());
    QVERIFY(artist.DemoteButton()->isEnabled());

    CAssetStatusDialog lead(AssetHeader{kAssetStatusRevisedWaitingForReview, "", ""}, false, true);
    lead.PromoteButton()->click();
    QCOMPARE(lead.StatusText(), QStringLiteral("Approved"));
    QCOMPARE(lead.Header().status, uint32_t(kAssetStatusApproved));
    lead.PromoteButton()->click();
    QCOMPARE(lead.StatusText(), QStringLiteral("Final Approval"));
    QVERIFY(!lead.PromoteButton()->isEnabled());

    // From Legacy: the empty status, then In Progress.
    CAssetStatusDialog legacy(AssetHeader{kAssetStatusLegacy, "", ""}, false, false);
    QVERIFY(!legacy.DemoteButton()->isEnabled());
    legacy.PromoteButton()->click();
    QCOMPARE(legacy.StatusText(), QString());
    QCOMPARE(legacy.Header().status, uint32_t(kAssetStatusNone));
    legacy.PromoteButton()->click();
    QCOMPARE(legacy.StatusText(), QStringLiteral("In Progress"));

    // Read-only: nothing can change.
    CAssetStatusDialog readOnly(AssetHeader{kAssetStatusRevise, "me", "again"}, true, true);
    QVERIFY(!readOnly.PromoteButton()->isEnabled());
    QVERIFY(!readOnly.DemoteButton()->isEnabled());
    readOnly.Promote();
    QCOMPARE(readOnly.Header(), (AssetHeader{kAssetStatusRevise, "me", "again"}));
    QVERIFY(readOnly.findChild<QLineEdit*>() != nullptr);
    for (QLineEdit* field : readOnly.findChildren<QLineEdit*>())
        QVERIFY(field->isReadOnly());
    artist.show();
    SaveScreenshot(artist, QStringLiteral("status-dialog"));
}

void AssetViewsTest::rootedFileDialogKeepsToItsRoot()
{
    test::TempFolder temp;
    test::WriteFile(temp / "Source/textures/rock.tga", "x");
    test::WriteFile(temp / "outside.tga", "x");
    // The root as the workspace writes it: a backslash at its end, different case.
    CRootedFileDialog dialog(temp / "source\\", QStringLiteral("Choose"), {QStringLiteral("Image (*.tga)")});
    dialog.show();
    QVERIFY(dialog.IsAtRoot());
    QVERIFY(!dialog.IsUpEnabled());
    QVERIFY(!dialog.IsOkEnabled());
    QCOMPARE(dialog.FolderLabelText(), QStringLiteral("Contents of <root>"));
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Contents of <root>"));
    SaveScreenshot(dialog, QStringLiteral("rooted-file-dialog"));

    dialog.setDirectory(QString::fromStdString(temp / "Source/textures"));
    emit dialog.directoryEntered(QString::fromStdString(temp / "Source/textures"));
    QVERIFY(!dialog.IsAtRoot());
    QVERIFY(dialog.IsUpEnabled());
    QCOMPARE(dialog.FolderLabelText(), QStringLiteral("Contents of textures"));

    // Leaving the root leads back to it.
    dialog.setDirectory(QString::fromStdString(temp.Path()));
    emit dialog.directoryEntered(QString::fromStdString(temp.Path()));
    QVERIFY(dialog.IsAtRoot());

    dialog.setDirectory(QString::fromStdString(temp / "Source/textures"));
    dialog.selectFile(QStringLiteral("rock.tga"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.RelativePath(), std::string("textures\\rock.tga"));
}

void AssetViewsTest::rootedFileDialogTakesTypedSubPathsButNotEscapes()
{
    test::TempFolder temp;
    test::WriteFile(temp / "Source/Textures/rock.tga", "x");
    test::WriteFile(temp / "Source/loose.tga", "x");
    test::WriteFile(temp / "secret.tga", "x");
    auto nameField = [](CRootedFileDialog& dialog) { return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); };
    auto typeAndAccept = [&](CRootedFileDialog& dialog, const QString& text) {
        QLineEdit* field = nameField(dialog);
        QVERIFY(field);
        field->setText(text);
        QCoreApplication::processEvents();
        dialog.accept();
    };
    {
        // At the root a typed sub-path (any case, either separator) is taken.
        CRootedFileDialog dialog(temp / "Source/", QStringLiteral("Choose"), {QStringLiteral("Image (*.tga)")});
        dialog.show();
        QVERIFY(dialog.IsAtRoot());
        nameField(dialog)->setText(QStringLiteral("textures/rock.tga"));
        QCoreApplication::processEvents();
        QVERIFY(dialog.IsOkEnabled());
        typeAndAccept(dialog, QStringLiteral("textures\\ROCK.tga"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.RelativePath(), std::string("Textures\\rock.tga"));
    }
    {
        // Escapes through "..", whole paths outside the root, files straight
        // in the root and files that do not exist keep the dialog open.
        CRootedFileDialog dialog(temp / "Source/", QStringLiteral("Choose"), {QStringLiteral("Image (*.tga)")});
        dialog.show();
        dialog.setDirectory(QString::fromStdString(temp / "Source/Textures"));
        emit dialog.directoryEntered(QString::fromStdString(temp / "Source/Textures"));
        const QString refused[] = {QStringLiteral("../../secret.tga"), QString::fromStdString(temp / "secret.tga"),
                                   QStringLiteral("../loose.tga"), QStringLiteral("missing.tga")};
        for (const QString& text : refused)
        {
            typeAndAccept(dialog, text);
            QVERIFY2(!dialog.IsOkEnabled(), qPrintable(text));
            QVERIFY2(dialog.isVisible() && dialog.RelativePath().empty(), qPrintable(text));
        }
        // ".." up to the root itself is not taken: the dialog stays where it is.
        typeAndAccept(dialog, QStringLiteral(".."));
        QVERIFY(!dialog.IsAtRoot());
        typeAndAccept(dialog, QStringLiteral("rock.tga"));
        QCOMPARE(dialog.RelativePath(), std::string("Textures\\rock.tga"));
    }
}

void AssetViewsTest::fileDialogsLeaveTheSharedDialogSettingsAlone()
{
    test::TempFolder temp;
    test::WriteFile(temp / "Source/textures/rock.tga", "x");
    // The user's own settings, as another program's file dialog left them.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(temp / "config"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(temp / "config"));
    const QStringList places{QStringLiteral("file:///home/elsewhere")};
    {
        QSettings shared(QSettings::UserScope, QStringLiteral("QtProject"));
        shared.setValue(QStringLiteral("FileDialog/shortcuts"), places);
        shared.setValue(QStringLiteral("FileDialog/viewMode"), QStringLiteral("Detail"));
    }
    {
        CRootedFileDialog dialog(temp / "Source/", QStringLiteral("Choose"), {QStringLiteral("Image (*.tga)")});
        dialog.show();
        dialog.setViewMode(QFileDialog::List);
        dialog.setDirectory(QString::fromStdString(temp / "Source/textures"));
        dialog.selectFile(QStringLiteral("rock.tga"));
        dialog.accept();
    }
    {
        test::ScriptedPrompt prompt;
        CFolderDialog folders(QStringLiteral("Pick"), temp / "Source/textures", temp / "Source", prompt);
        folders.show();
    }
    QSettings shared(QSettings::UserScope, QStringLiteral("QtProject"));
    shared.beginGroup(QStringLiteral("FileDialog"));
    QCOMPARE(shared.childKeys(), (QStringList{QStringLiteral("shortcuts"), QStringLiteral("viewMode")}));
    QCOMPARE(shared.value(QStringLiteral("shortcuts")).toStringList(), places);
    QCOMPARE(shared.value(QStringLiteral("viewMode")).toString(), QStringLiteral("Detail"));
}

void AssetViewsTest::textureDialogWritesItsFieldsBackAndCancelKeepsThem()
{
    test::TempFolder temp;
    CAssetPropertiesEditor editor(temp / "source/", nullptr);
    TextureProperties fields;
    fields.source = "textures\\rock.tga";
    fields.frames = {"textures\\rock2.tga"};
    WhenModal([](QWidget* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Texture Properties"));
        auto* properties = qobject_cast<CAssetPropertiesDialog*>(dialog);
        QVERIFY(properties);
        // The browse buttons pick through the rooted dialog; here a fixed answer.
        properties->SetBrowser([](const QStringList&, std::string& chosen) {
            chosen = "textures\\rock3.tga";
            return true;
        });
        auto* format = dialog->findChild<QComboBox*>();
        QCOMPARE(format->count(), 5);
        QCOMPARE(format->currentText(), QStringLiteral("DXT1 (no alpha)"));
        format->setCurrentIndex(3);
        for (QCheckBox* check : dialog->findChildren<QCheckBox*>())
            if (check->text() == QStringLiteral("Normal map"))
                check->setChecked(true);
        dialog->findChild<QSpinBox*>()->setValue(15);
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("Add"))
                button->click();
        dialog->resize(520, dialog->sizeHint().height());
        SaveScreenshot(*dialog, QStringLiteral("texture-properties"));
        ClickOk(dialog);
    });
    QVERIFY(editor.EditTexture(fields, false));
    QCOMPARE(fields.source, std::string("textures\\rock.tga"));
    QCOMPARE(fields.format, 3u);
    QVERIFY(fields.normalMap);
    QCOMPARE(fields.framesPerSecond, 15u);
    QCOMPARE(fields.frames, (std::vector<std::string>{"textures\\rock2.tga", "textures\\rock3.tga"}));

    // Cancel hands nothing back.
    TextureProperties before = fields;
    WhenModal([](QWidget* dialog) {
        dialog->findChild<QComboBox*>()->setCurrentIndex(0);
        qobject_cast<QDialog*>(dialog)->reject();
    });
    QVERIFY(!editor.EditTexture(fields, false));
    QCOMPARE(fields.format, before.format);

    // Paths typed with "/" are stored as the asset files write them.
    CopyProperties copy;
    WhenModal([](QWidget* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Asset Properties"));
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("sounds/click.wav"));
        ClickOk(dialog);
    });
    QVERIFY(editor.EditCopySource(copy, "Wave (*.wav)", "*.wav", true));
    QCOMPARE(copy.source, std::string("sounds\\click.wav"));
}

void AssetViewsTest::assetsTabShowsTheStatusColumnAndMakesAssets()
{
    AppFixture fixture;
    CModwrightApp& app = *fixture.app;
    app.SourceControl().SetUserName("me");
    AssetRegistry& registry = app.Assets();
    Asset* texture = registry.FindType(1000);
    QVERIFY(texture);
    struct Sample
    {
        const char* name;
        AssetHeader header;
    };
    EnsureFolders(fixture.working + "assets/textures/");
    const Sample samples[] = {
        {"grass", AssetHeader{kAssetStatusApproved, "", ""}},
        {"rock", AssetHeader{kAssetStatusRevise, "me", "seams show"}},
        {"sand", AssetHeader{kAssetStatusRevise, "someone", ""}},
    };
    for (const Sample& sample : samples)
    {
        QVERIFY(texture->AutoCreate(std::string("textures\\") + sample.name + ".tga"));
        QVERIFY(AssetRegistry::SaveAsset(*texture, fixture.working + "assets/textures/" + sample.name + ".tex",
                                         sample.header));
    }
    test::WriteFile(fixture.working + "assets/textures/notes.txt", "not an asset");

    CMainFrame frame(app, fixture.prompt, OperationTable());
    frame.resize(1000, 640);
    frame.show();
    frame.SetCurrentTab(1);
    CFileView& assets = frame.View(1);
    QVERIFY(assets.SelectFolder("assets/textures/"));
    QTreeWidget* list = assets.FileList();
    QCOMPARE(list->headerItem()->text(CAssetFileView::kStatusColumn), QStringLiteral("Status"));
    QCOMPARE(list->header()->sectionSize(CAssetFileView::kStatusColumn), 150);
    QCOMPARE(list->topLevelItemCount(), 4);
    std::map<QString, QTreeWidgetItem*> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows[list->topLevelItem(i)->text(0)] = list->topLevelItem(i);
    QCOMPARE(rows[QStringLiteral("grass.tex")]->text(2), QStringLiteral("Approved"));
    QCOMPARE(rows[QStringLiteral("rock.tex")]->text(2), QStringLiteral("Revise"));
    QCOMPARE(rows[QStringLiteral("notes.txt")]->text(2), QString());
    // Only the asset sent back to this user stands out.
    QVERIFY(rows[QStringLiteral("rock.tex")]->background(0).style() != Qt::NoBrush);
    QVERIFY(rows[QStringLiteral("sand.tex")]->background(0).style() == Qt::NoBrush);
    SaveScreenshot(frame, QStringLiteral("assets-tab"));

    // New > Wave (position 12) in the folder shown.
    WhenModal([](QWidget* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Asset Properties"));
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("sounds\\ping.wav"));
        ClickOk(dialog);
    });
    assets.FileCommand(CAssetFileView::kNewAssetFirst + 12);
    QVERIFY(IsFile(fixture.working + "assets/textures/ping.wav"));
    bool listed = false;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == QStringLiteral("ping.wav"))
            listed = list->topLevelItem(i)->text(2) == QStringLiteral("In Progress");
    QVERIFY(listed);

    // Opening an asset shows its properties.
    assets.SelectFiles({"rock.tex"});
    WhenModal([](QWidget* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Texture Properties"));
        QCOMPARE(dialog->findChild<QLineEdit*>()->text(), QStringLiteral("textures\\rock.tga"));
        qobject_cast<QDialog*>(dialog)->reject();
    });
    assets.FileCommand(CommandId::kFileOpen);
    // Other files of the assets tree open with the frame's opener.
    std::vector<std::string> opened;
    frame.SetFileOpener([&opened](const std::string& path) { opened.push_back(path); });
    assets.SelectFiles({"notes.txt"});
    assets.FileCommand(CommandId::kFileOpen);
    QCOMPARE(opened, std::vector<std::string>{fixture.working + "assets/textures/notes.txt"});

    // Make Asset Automatically in the Sources tab: a Targa image offers two types.
    frame.SetCurrentTab(0);
    // The sample asset of the same name goes first: the new one takes its place.
    QVERIFY(RemoveFile(fixture.working + "assets/textures/rock.tex"));
    CFileView& sources = frame.View(0);
    QVERIFY(sources.SelectFolder("source/textures/"));
    sources.SelectFiles({"rock.tga"});
    WhenModal([](QWidget* dialog) {
        auto* choice = qobject_cast<CSelectAssetTypeDialog*>(dialog);
        QVERIFY(choice);
        QCOMPARE(choice->List()->count(), 2);
        QCOMPARE(choice->List()->item(1)->text(), QStringLiteral("Bitmap"));
        choice->List()->setCurrentRow(1);
        WhenModal([](QWidget* properties) { ClickOk(properties); });
        ClickOk(dialog);
    });
    sources.FileCommand(CommandId::kMakeAsset);
    // The asset mirrors the source's folder.
    QTRY_VERIFY(IsFile(fixture.working + "assets/textures/rock.tex"));
    QVERIFY(fixture.prompt.messages.empty());
}

void AssetViewsTest::newModDialogRefusesBadNamesAndCreatesTheMod()
{
    AppFixture fixture;
    test::WriteFile(fixture.working + "CustomMaps/Fjord/source/x.txt", "x");
    fixture.app->RefreshModList();
    CNewCustomMapDlg dialog(*fixture.app, fixture.prompt);
    dialog.show();
    QVERIFY(IsFolder(fixture.working + "CustomMaps"));
    QVERIFY(!dialog.OkButton()->isEnabled());
    struct Attempt
    {
        QString name;
        std::string message;
    };
    const Attempt refused[] = {
        {QString(32, QLatin1Char('a')),
         "The specified New Map Name is too long.  It should be less than 32 characters."},
        {QStringLiteral("Ice Age"), "The specified New Map Name is invalid.  It should not contain spaces or symbols."},
        {QStringLiteral("FJORD"), "The specified New Map Name already exists.  Please enter a different name."},
    };
    for (const Attempt& attempt : refused)
    {
        fixture.prompt.messages.clear();
        dialog.NameField()->setText(attempt.name);
        QVERIFY(dialog.OkButton()->isEnabled());
        dialog.OkButton()->click();
        QCOMPARE(Texts(fixture.prompt), std::vector<std::string>{attempt.message});
        QCOMPARE(fixture.prompt.messages[0].caption, std::string("Modwright"));
        QVERIFY(dialog.isVisible());
    }
    dialog.NameField()->clear();
    QVERIFY(!dialog.OkButton()->isEnabled());
    SaveScreenshot(dialog, QStringLiteral("new-mod-dialog"));

    fixture.prompt.messages.clear();
    QString name31(31, QLatin1Char('b'));
    dialog.NameField()->setText(name31);
    dialog.OkButton()->click();
    QVERIFY(fixture.prompt.messages.empty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.ModName(), name31.toStdString());
    std::string base = fixture.working + "CustomMaps/" + name31.toStdString() + "/";
    QVERIFY(IsFile(base + "source/Quests/Tokens.bin"));
    QVERIFY(IsFile(base + "source/Text/ModStrings.txt"));
    QVERIFY(IsFolder(base + "assets"));
    QVERIFY(IsFolder(base + "database"));
}

void AssetViewsTest::installDialogCancelledThenCompleted()
{
    test::TempFolder temp;
    std::string archive = temp / "Toolset/Templates.arc";
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; i < 400; ++i)
        files.push_back({"Templates/group" + std::to_string(i % 7) + "/t" + std::to_string(i) + ".tpl",
                         std::string(40000 + i, char('a' + i % 26))});
    MakeArchive(archive, files);
    std::string destination = temp / "Working/Database/";
    test::ScriptedPrompt prompt;

    CInstallDialog first(archive, destination, prompt);
    // The extraction waits after its third file until Cancel was clicked, so
    // that a fast machine cannot finish before the click.
    std::atomic<bool> clicked{false};
    first.SetEntryHook([&clicked](int written) {
        while (written == 3 && !clicked.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    WhenModal([&first, &clicked](QWidget*) {
        // The extraction goes on however this ends, a failed check included.
        std::shared_ptr<void> release(nullptr, [&clicked](void*) { clicked = true; });
        QTRY_VERIFY_WITH_TIMEOUT(first.CurrentFile()->text().startsWith(QStringLiteral("Extracting ")), 5000);
        QTest::qWait(40);
        SaveScreenshot(first, QStringLiteral("install-dialog"));
        first.CancelButton()->click();
    });
    QCOMPARE(first.exec(), int(QDialog::Rejected));
    QCOMPARE(first.Result(), ArchiveInstaller::Result::Cancelled);
    QVERIFY(IsFile(destination + "Templates/group0/t0.tpl"));
    int installedFirst = 0;
    for (const auto& file : files)
        installedFirst += IsFile(destination + file.first) ? 1 : 0;
    QVERIFY(installedFirst < int(files.size()));

    CInstallDialog second(archive, destination, prompt);
    QCOMPARE(second.exec(), int(QDialog::Accepted));
    QCOMPARE(second.Progress()->value(), 100);
    for (const auto& file : files)
        QCOMPARE(test::ReadFile(destination + file.first).size(), file.second.size());
    QVERIFY(prompt.messages.empty());
}

void AssetViewsTest::installDialogReportsAnArchiveItCannotOpen()
{
    test::TempFolder temp;
    test::ScriptedPrompt prompt;
    std::string missing = temp / "Toolset/Tutorials.arc";
    CInstallDialog dialog(missing, temp / "Working/CustomMaps/", prompt);
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QVERIFY(!dialog.Opened());
    QCOMPARE(Texts(prompt), std::vector<std::string>{"Couldn't open file '" + missing + "'"});
    QVERIFY(prompt.messages[0].icon == PromptIcon::Error);

    // An archive without entries ends at once.
    MakeArchive(missing, {});
    prompt.messages.clear();
    CInstallDialog empty(missing, temp / "Working/CustomMaps/", prompt);
    QCOMPARE(empty.exec(), int(QDialog::Accepted));
    QVERIFY(prompt.messages.empty());
}

void AssetViewsTest::workingFolderPromptRefusesAnEmptyFolder()
{
    test::ScriptedPrompt prompt;
    CWorkingFolderDlg dialog("", prompt);
    dialog.show();
    dialog.accept();
    dialog.reject();
    QVERIFY(dialog.isVisible());
    QCOMPARE(Texts(prompt), (std::vector<std::string>{
                                "Working Directory cannot be empty.  Please choose a valid directory",
                                "Working Directory cannot be empty.  Please choose a valid directory"}));
    QCOMPARE(prompt.messages[0].caption, std::string("Modwright"));
    dialog.FolderField()->setText(QStringLiteral("/tmp/w"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Folder(), std::string("/tmp/w"));
}

void AssetViewsTest::folderDialogAsksAboutAPathThatDoesNotExist()
{
    test::TempFolder temp;
    test::WriteFile(temp / "Build/x.txt", "x");
    test::ScriptedPrompt prompt;
    CFolderDialog dialog(QStringLiteral("Set Build Directory"), temp / "Build", "", prompt);
    dialog.show();
    auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(field);
    field->setText(QString::fromStdString(temp / "nowhere"));
    prompt.answers = {PromptAnswer::No};
    dialog.accept();
    QVERIFY(dialog.isVisible());
    QCOMPARE(Texts(prompt), std::vector<std::string>{"The path entered is not valid! Continue ?"});
    QVERIFY(prompt.messages[0].buttons == PromptButtons::YesNo);
    prompt.answers = {PromptAnswer::Yes};
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.ChosenPath(), temp / "nowhere");

    // An existing folder is taken without a question.
    prompt.messages.clear();
    CFolderDialog existing(QStringLiteral("Set Build Directory"), temp / "Build", "", prompt);
    existing.show();
    existing.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QString::fromStdString(temp / "Build"));
    existing.accept();
    QVERIFY(prompt.messages.empty());
    QCOMPARE(existing.ChosenPath(), temp / "Build");
}

void AssetViewsTest::fileBrowserListsArchiveEntriesByExtension()
{
    test::TempFolder temp;
    std::string build = temp / "Build/";
    MakeArchive(build + "CustomMaps/Fjord/Resources/textures.arc",
                {{"textures/rock.tex", "r"}, {"textures/ROCK2.TEX", "r"}, {"textures/readme.txt", "t"}});
    MakeArchive(build + "CustomMaps/Fjord/Audio/sounds.arc", {{"click.wav", "w"}});
    test::WriteFile(build + "CustomMaps/Fjord/Resources/broken.arc", "not an archive");
    BrowseFolders folders{build, temp / "game", {}};
    CFileBrowser textures(folders, "Fjord", "tex");
    QCOMPARE(textures.List()->count(), 2);
    QCOMPARE(textures.List()->item(0)->text(), QStringLiteral("textures.arc\\textures\\rock.tex"));
    CFileBrowser everything(folders, "Fjord", "");
    QCOMPARE(everything.List()->count(), 4);
    SaveScreenshot(everything, QStringLiteral("file-browser"));
    everything.Filter()->setText(QStringLiteral("click"));
    everything.List()->setCurrentRow(3);
    QCOMPARE(everything.ChosenName(), std::string("click.wav"));
    everything.List()->setCurrentRow(0);
    QCOMPARE(everything.ChosenName(), std::string());
}

void AssetViewsTest::builtToolsetInstallsTemplatesAndATutorialThatUsesThem()
{
    test::TempFolder temp;
    std::string toolset = MW_TOOLSET_DIR "/";
    ManualResetEvent cancel;
    ArchiveInstaller templates;
    QVERIFY(templates.Open(toolset + "Templates.arc"));
    QCOMPARE(templates.Extract(temp / "Working/Database/", cancel, nullptr), ArchiveInstaller::Result::Completed);
    QCOMPARE(test::ReadFile(temp / "Working/Database/Templates/item.tpl"),
             test::ReadFile(MW_EXAMPLES_DIR "/Working/database/Templates/item.tpl"));
    ArchiveInstaller tutorials;
    QVERIFY(tutorials.Open(toolset + "Tutorials.arc"));
    QCOMPARE(tutorials.Extract(temp / "Working/CustomMaps/", cancel, nullptr), ArchiveInstaller::Result::Completed);
    std::string mod = temp / "Working/CustomMaps/Tutorial_Basics/";
    for (const char* file : {"source/ui/logo.tga", "assets/ui/logo.tex", "source/Text/ModStrings.txt",
                             "source/Quests/Tokens.bin", "assets/sounds/click.wav"})
        QVERIFY2(IsFile(mod + file), file);
    // The tutorial's record names a template that the templates archive installs.
    std::string record = test::ReadFile(mod + "database/records/items/tutorialsword.dbr");
    QVERIFY(record.rfind("templateName,%TEMPLATE_DIR%Database\\Templates\\item.tpl,", 0) == 0);

    std::string guide = test::ReadFile(toolset + "VX Modders Guide.PDF");
    QVERIFY(guide.rfind("%PDF-1.4", 0) == 0);
    QVERIFY(guide.size() > 1000 && guide.compare(guide.size() - 6, 6, "%%EOF\n") == 0);
    QVERIFY(guide.find("(Modwright Modders Guide) Tj") != std::string::npos);
}

QTEST_MAIN(AssetViewsTest)
#include "AssetViewsTest.moc"
