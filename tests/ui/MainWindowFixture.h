// The main window on a temporary workspace: a working folder with a few
// files in each tree, Tools.ini pointing at it, the real application started
// on it with a scripted source-control backend, and the window open.
#pragma once

#include "ui/CFileView.h"
#include "ui/CMainFrame.h"
#include "ui/COutputView.h"
#include "ui/OperationTable.h"
#include "app/CModwrightApp.h"
#include "support/ScriptedBackend.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace mw::test {

inline std::vector<std::string> Texts(const ScriptedPrompt& prompt)
{
    std::vector<std::string> texts;
    for (const auto& message : prompt.messages)
        texts.push_back(message.text);
    return texts;
}

struct MainWindowFixture
{
    // backend: a scripted backend of the test's own kind, else a plain one.
    explicit MainWindowFixture(bool network, OperationTable operations = OperationTable(),
                               std::unique_ptr<ScriptedBackend> scripted = nullptr)
    {
        working = temp / "Working/";
        for (const char* file : {"source/Text/ModStrings.txt", "source/readme.txt", "assets/items/sword.tex",
                                 "database/records/items/sword.dbr", "database/records/items/shield.dbr",
                                 "database/Templates/item.tpl", "CustomMaps/Frost/database/frost.dbr"})
            WriteFile(working + file, "templateName,x.tpl,\n");
        ini = temp / "Tools.ini";
        WriteFile(ini, "[Login]\nlocaldir=" + working + "\nbuilddir=" + temp / "Build/" + "\ntoolsdir=" +
                           temp / "tools/" + "\n");
        AppEnvironment environment;
        environment.startFolder = temp / "start";
        environment.documentsFolder = temp / "docs";
        environment.out = &out;
        environment.prompt = &prompt;
        app = std::make_unique<CModwrightApp>(environment);
        std::vector<std::string> arguments{"-ini", ini};
        if (network)
            arguments.push_back("-network");
        app->InitInstance(arguments);
        if (!scripted)
            scripted = std::make_unique<ScriptedBackend>();
        backend = scripted.get();
        app->SourceControl().SetBackend(std::move(scripted));
        app->SetLocalDir(working, false);
        app->SourceControl().SetUserName("me");
        frame = std::make_unique<CMainFrame>(*app, prompt, std::move(operations));
        frame->SetFileOpener([this](const std::string& path) { opened.push_back(path); });
        frame->resize(1000, 700);
        frame->show();
    }
    ~MainWindowFixture()
    {
        frame.reset();
        app->ExitInstance();
    }
    void WaitForWorker()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!frame->IsBusy(), 10000);
        QTest::qWait(250); // the frame notices the end on its timer
        frame->FlushOutput();
    }
    std::vector<std::string> PaneLines()
    {
        frame->FlushOutput();
        std::vector<std::string> lines;
        for (int i = 0; i < frame->OutputPane().count(); ++i)
            lines.push_back(frame->OutputPane().LineText(i));
        return lines;
    }
    std::vector<std::string> ListNames(CFileView& view)
    {
        std::vector<std::string> names;
        for (int i = 0; i < view.FileList()->topLevelItemCount(); ++i)
            names.push_back(view.FileList()->topLevelItem(i)->text(0).toStdString());
        return names;
    }
    QTreeWidgetItem* Row(CFileView& view, const char* name)
    {
        return view.FileList()->findItems(QString::fromUtf8(name), Qt::MatchExactly).value(0);
    }

    TempFolder temp;
    std::string working;
    std::string ini;
    std::ostringstream out;
    ScriptedPrompt prompt;
    std::unique_ptr<CModwrightApp> app;
    ScriptedBackend* backend = nullptr;
    std::unique_ptr<CMainFrame> frame;
    std::vector<std::string> opened;
};

// Where screenshots go: MW_SCREENS in the environment names a folder for a
// person to look at; otherwise they stay in the build tree.
inline QString ScreenshotFolder()
{
    QString chosen = qEnvironmentVariable("MW_SCREENS");
    return chosen.isEmpty() ? QStringLiteral(MW_SCREENSHOT_DIR) : chosen;
}

inline bool SaveScreenshot(QWidget& widget, const QString& name)
{
    QDir().mkpath(ScreenshotFolder());
    return widget.grab().save(ScreenshotFolder() + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace mw::test
