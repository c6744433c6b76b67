// Options read and write-back.
#include "OptionSettings.h"

#include "CModwrightApp.h"
#include "InstallLayout.h"
#include "platform/NativePaths.h"
#include "platform/PathRules.h"

namespace mw {

OptionSettings ReadOptionSettings(const CModwrightApp& app)
{
    OptionSettings settings;
    // Shown the way the system writes paths, whatever form Tools.ini had.
    settings.workingFolder = ToNativeSeparators(app.GetWorkingDir());
    settings.buildFolder = ToNativeSeparators(app.GetBuildDir());
    settings.toolsFolder = ToNativeSeparators(app.GetToolsDir());
    settings.additionalBuildFolders = ToNativeSeparators(app.JoinAdditionalBuildDirs());
    settings.exportStatistics = app.GetExportStatistics() != 0;
    settings.buildJobs = app.GetBuildJobs();
    settings.cache = app.GetCacheOptions();
    settings.maxServer = app.GetMAXServer();
    settings.splashEnable = app.GetSplashEnable() != 0;
    settings.splashMute = app.GetSplashMute() != 0;
    return settings;
}

std::string NativeFolderList(const std::string& joined)
{
    std::string native;
    for (const std::string& piece : SplitText(joined, ';'))
    {
        if (!piece.empty())
            native += (native.empty() ? "" : ";") + NativeFolder(piece);
    }
    return native;
}

bool ApplyOptionSettings(CModwrightApp& app, const OptionSettings& settings)
{
    // Folders are stored the way the system writes them, so that Tools.ini
    // and the dialog read as the user's own paths.
    app.SetBuildDir(NativeFolder(settings.buildFolder));
    app.SetToolsDir(NativeFolder(settings.toolsFolder));
    app.SetLocalDir(NativeFolder(settings.workingFolder), false);
    app.SetAdditionalBuildDirs(NativeFolderList(settings.additionalBuildFolders));
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
    std::string buildFolder = NativeFolder(app.GetDocumentsDir() + "/My Games/Verdanis - Sunward/");
    if (app.GetBuildDir().empty())
        app.SetBuildDir(buildFolder);
    // The start folder when it holds the compilers, else the folder of the
    // compilers that come with the tool: a proposal that builds.
    if (app.GetToolsDir().empty())
        app.SetToolsDir(NativeFolder(HoldsCompilers(app.GetStartDir()) ? app.GetStartDir() : app.GetHelperDir()));
    if (app.SourceControlFolder().empty())
        app.SetLocalDir(NativeFolder(app.GetBuildDir() + "Working"), false);
}

} // namespace mw
