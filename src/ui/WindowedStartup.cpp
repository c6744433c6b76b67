// The windowed start-up.
#include "WindowedStartup.h"

#include "CFileBrowser.h"
#include "CFolderDialog.h"
#include "CLoginDialog.h"
#include "CMainFrame.h"
#include "COptionsDialog.h"
#include "CSplashWindow.h"
#include "OperationTable.h"
#include "QtUserPrompt.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "app/CModwrightApp.h"
#include "app/OptionSettings.h"
#include "app/WindowedLogin.h"

#ifdef MW_WITH_DBEDITOR
#include "ui/dbeditor/CDbEditorManager.h"
#include "ui/dbeditor/CInPlaceFileButton.h"
#endif

#include <QApplication>
#include <QIcon>
#include <QPointer>

#include <cstdlib>
#include <iostream>

namespace mw {
namespace {

class LoginWindow final : public ILoginWindow
{
public:
    bool AskLogin(std::string& userName, std::string& server) override
    {
        CLoginDialog dialog(userName, server);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        userName = dialog.UserName();
        server = dialog.Server();
        return true;
    }
    void ShowSplash() override
    {
        if (!m_splash)
            m_splash = new CSplashWindow;
        m_splash->show();
        QApplication::processEvents();
    }
    void CloseSplash() override
    {
        if (m_splash)
            m_splash->close();
    }
    CSplashWindow* Splash() const { return m_splash; }

private:
    QPointer<CSplashWindow> m_splash;
};

} // namespace

bool HasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

int RunWindowed(int& argc, char** argv, const std::vector<std::string>& arguments)
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Modwright"));
    QApplication::setOrganizationName(QStringLiteral("Quillane"));
    // The desktop theme's icon of the installed tool, else the one built into the program.
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("modwright"), QIcon(QStringLiteral(":/modwright/modwright-48.png"))));

    QtUserPrompt prompt;
    AppEnvironment environment = ProcessEnvironment(std::cout, prompt);
    CModwrightApp app(environment);
    LoginWindow login;
    app.SetWindowedLogin([&login](CModwrightApp& self) { return LogInWindowed(self, login); });
    if (!app.InitInstance(arguments))
    {
        app.ExitInstance();
        return 1;
    }

    int status = 0;
    {
        OperationTable operations = AvailableOperations();
#ifdef MW_WITH_DBEDITOR
        CDbEditorManager editors(app, app.GetIniPath());
        operations.openInDatabaseEditor = [&editors](const std::string& path) {
            return editors.OpenInDatabaseEditor(path) != nullptr;
        };
        operations.openEditorCount = [&editors] { return int(editors.Editors().size()); };
        operations.closeAllEditors = [&editors] { editors.CloseAll(false); };
        // Value cells pick records and resources out of the built archives.
        CInPlaceFileButton::SetArchiveBrowser(
            [&app](QWidget* parent, const std::string& extensions, const std::string& modName) {
                BrowseFolders folders{app.GetBuildDir(), WithTrailingSeparator(app.GetStartDir()),
                                      app.GetAdditionalBuildDirs()};
                CFileBrowser browser(folders, modName, extensions, parent);
                return browser.exec() == QDialog::Accepted ? browser.ChosenGamePath() : std::string();
            });
        // Template fields also pick the folder their templates lie in.
        CInPlaceFileButton::SetTemplateFolderBrowser([&prompt](QWidget* parent, const std::string& current) {
            std::string chosen;
            return BrowseTemplateFolder(parent, prompt, current, chosen) ? chosen : std::string();
        });
#endif
        CMainFrame frame(app, prompt, operations);
        prompt.SetOwner(&frame);
        frame.show();
        QApplication::processEvents();

        bool started = true;
        if (NeedsFirstStartSetup(app))
        {
            ProposeFirstStartDefaults(app);
            COptionsDialog options(app, prompt, &frame);
            if (options.exec() != QDialog::Accepted)
                started = false;
            else
            {
                OptionSettings settings = options.Settings();
                if (!ApplyOptionSettings(app, settings))
                    prompt.Show("Couldn't write the settings file " + app.GetIniPath(), "", PromptButtons::Ok,
                                PromptIcon::Error);
                app.SetLocalDir(settings.workingFolder, true);
                // A working folder without templates gets the ones that come with the tool.
                if (!settings.workingFolder.empty() && !IsFolder(app.GetWorkingDir() + "Database/Templates/"))
                    frame.InstallTemplates();
                app.RefreshModList();
                frame.RebuildModMenu();
                frame.RefreshViews();
                frame.UpdateCommandStates();
            }
        }
        if (login.Splash())
            login.Splash()->CloseLater();
        if (started)
            status = qtApp.exec();
        else
            status = 1;
        prompt.SetOwner(nullptr);
#ifdef MW_WITH_DBEDITOR
        CInPlaceFileButton::SetArchiveBrowser(nullptr);
        CInPlaceFileButton::SetTemplateFolderBrowser(nullptr);
#endif
    }
    app.ExitInstance();
    return status;
}

} // namespace mw
