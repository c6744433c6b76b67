// Options read and write-back.
#include "OptionSettings.h"

#include "CModwrightApp.h"
#include "InstallLayout.h"

namespace mw {

OptionSettings ReadOptionSettings(const CModwrightApp& app)
{
    OptionSettings settings;
    settings.workingFolder = app.GetWorkingDir();
    settings.buildFolder = app.GetBuildDir();
    settings.toolsFolder = app.GetToolsDir();
    settings.additionalBuildFolders = app.JoinAdditionalBuildDirs();
    settings.exportStatistics = app.GetExportStatistics() != 0;
    settings.buildJobs = app.GetBuildJobs();
    settings.cache = app.GetCacheOptions();
    settings.maxServer = app.GetMAXServer();
    settings.splashEnable = app.GetSplashEnable() != 0;
    settings.splashMute = app.GetSplashMute() != 0;
    return settings;
}

bool ApplyOptionSettings(CModwrightApp& app, const OptionSettings& settings)
{
    app.SetBuildDir(settings.buildFolder);
    app.SetToolsDir(settings.toolsFolder);
    app.SetLocalDir(settings.workingFolder, false);
    app.SetAdditionalBuildDirs(settings.additionalBuildFolders);
    app.SetExportStatistics(settings.exportStatistics ? 1 : 0);
    app.SetBuildJobs(settings.buildJobs);
    // Opening the cache anew is only needed when its settings changed.
    if (!(settings.cache == app.GetCacheOptions()))
        app.SetCacheOptions(settings.cache);
    if (app.IsNetwork())
    {
        app.SetMAXServer(settings.maxServer);
        app.SetSplashSettings(settings.splashEnable ? 1 : 0, settings.splashMute ? 1 : 0);
    }
    return app.WriteOptionSettings();
}

bool NeedsFirstStartSetup(const CModwrightApp& app)
{
    return app.SourceControlFolder().empty() || app.GetBuildDir().empty() || app.GetToolsDir().empty();
}

void ProposeFirstStartDefaults(CModwrightApp& app)
{
    std::string buildFolder = app.GetDocumentsDir() + "\\My Games\\Verdanis - Sunward\\";
    if (app.GetBuildDir().empty())
        app.SetBuildDir(buildFolder);
    // The start folder when it holds the compilers, else the folder of the
    // compilers that come with the tool: a proposal that builds.
    if (app.GetToolsDir().empty())
        app.SetToolsDir(HoldsCompilers(app.GetStartDir()) ? app.GetStartDir() : app.GetHelperDir());
    if (app.SourceControlFolder().empty())
        app.SetLocalDir(app.GetBuildDir() + "Working\\", false);
}

} // namespace mw
