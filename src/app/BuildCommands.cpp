// The command-line tool's build commands.
#include "BuildCommands.h"

#include "CModwrightApp.h"
#include "assets/BuildDriver.h"
#include "assets/ResourceArchives.h"
#include "assets/UnassociatedFiles.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/Terminal.h"

#include <ostream>

namespace mw {
namespace {

struct BuildOptions
{
    bool force = false;
    bool fresh = false;
    bool yes = false;
    bool explain = false;
    int jobs = -1; // -j N; -1 keeps the setting
    bool noCache = false;
    std::vector<std::string> folders;
};

// The switches each command takes; the problem with anything else, or empty.
std::string ParseOptions(const std::string& command, const std::vector<std::string>& arguments,
                         BuildOptions& options)
{
    bool takesForce = command == "build" || command == "build-assets";
    bool takesExplain = takesForce;
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        if (argument.rfind("-j", 0) == 0 && takesForce)
        {
            // "-j N" or "-jN": compilers at once, 0 for one per core.
            std::string count = argument.size() > 2 ? argument.substr(2) : i + 1 < arguments.size() ? arguments[++i] : "";
            if (count.empty() || count.size() > 4 || count.find_first_not_of("0123456789") != std::string::npos)
                return "-j needs a number of compilers";
            options.jobs = std::stoi(count);
        }
        else if (argument == "--force" && takesForce)
            options.force = true;
        else if (argument == "--explain" && takesExplain)
            options.explain = true;
        else if (argument == "--no-cache" && takesForce)
            options.noCache = true;
        else if (argument == "--fresh" && command == "build-archives")
            options.fresh = true;
        else if (argument == "--yes" && command == "delete-unassociated")
            options.yes = true;
        else if (command == "build-assets" && !argument.empty() && argument[0] != '-' && options.folders.empty())
            options.folders.push_back(argument);
        else if (argument.size() > 1 && argument[0] == '-')
            return "unknown option '" + argument + "' for " + command;
        else
            return "unexpected argument '" + argument + "' for " + command;
    }
    return std::string();
}

// Files done of files to do and the current file, drawn on one line of a
// terminal with the cursor left at its start, so the next log line (when
// standard output shares the terminal) writes over it.
void ShowProgress(std::ostream& errorOut, int done, int total, const std::string& file)
{
    errorOut << "\r\033[K";
    if (done < total)
        errorOut << "[" << done << "/" << total << " done] " << file << "\r";
    errorOut.flush();
}

// An asset folder typed on the command line, relative to the working folder,
// '/'-separated and ending in '/'.
std::string AssetRoot(CModwrightApp& app, const std::string& typed)
{
    std::string relative = StripPathPrefix(typed, app.GetWorkingDir());
    while (relative.size() >= 2 && relative[0] == '.' && IsSeparator(relative[1]))
        relative.erase(0, 2);
    relative = ToForwardSlashes(relative);
    if (relative.empty() || relative.back() != '/')
        relative += '/';
    return relative;
}

} // namespace

bool IsBuildCommand(const std::string& command)
{
    return command == "build" || command == "build-assets" || command == "build-archives" || command == "compact" ||
           command == "resource-stats" || command == "delete-unassociated";
}

std::string BuildCommandArgumentProblem(const std::string& command, const std::vector<std::string>& arguments)
{
    BuildOptions options;
    return ParseOptions(command, arguments, options);
}

bool BuildFoldersAreSet(CModwrightApp& app, std::ostream& errorOut)
{
    if (app.GetBuildDir().empty())
    {
        errorOut << "The build folder is not set: give builddir in the [Login] section of " << app.GetIniPath()
                 << "\n";
        return false;
    }
    if (!app.UseOwnCompilersWithoutToolsFolder())
    {
        errorOut << "The tools folder is not set: give toolsdir in the [Login] section of " << app.GetIniPath()
                 << "\n";
        return false;
    }
    return true;
}

int RunBuildCommand(CModwrightApp& app, const std::string& command, const std::vector<std::string>& arguments,
                    std::ostream& out, std::ostream& errorOut)
{
    BuildOptions options;
    if (!ParseOptions(command, arguments, options).empty())
        return 2;
    if (!BuildFoldersAreSet(app, errorOut))
        return 1;
    BuildDriver& driver = app.Builder();
    driver.SetExplain(options.explain);
    if (options.jobs >= 0)
        driver.SetJobs(options.jobs);
    if (options.noCache)
        app.DisableBuildCache();
    if (StandardErrorIsTerminal())
        driver.SetProgress(
            [&errorOut](int done, int total, const std::string& file) { ShowProgress(errorOut, done, total, file); });
    std::string prefix = app.GetModPrefix();

    if (command == "build")
    {
        // Deleting is for delete-unassociated --yes; a build only lists what it would delete.
        driver.SetUnassociatedPolicy(BuildDriver::UnassociatedPolicy::ListOnly);
        return driver.BuildAll(options.force, true) == 0 ? 0 : 1;
    }
    if (command == "build-assets")
    {
        std::string root = options.folders.empty() ? prefix + "assets/" : AssetRoot(app, options.folders[0]);
        if (!IsFolder(app.GetWorkingDir() + root))
        {
            errorOut << "No asset folder " << app.GetWorkingDir() + root << "\n";
            return 1;
        }
        return driver.CompileAssets(root, options.force, true) == 0 ? 0 : 1;
    }
    int failures = 0;
    if (command == "build-archives")
        failures = BuildArchives(app, options.fresh);
    else if (command == "compact")
    {
        failures = RemoveMissingAll(app, nullptr);
        failures += CompactAll(app);
    }
    else if (command == "resource-stats")
    {
        std::string statistics = WriteArchiveStatistics(app);
        std::string text;
        if (statistics.empty() || !ReadWholeFile(statistics, text))
            return 1;
        out << text;
        return 0;
    }
    else if (command == "delete-unassociated")
    {
        UnassociatedFiles cleaner(app, true,
                                  options.yes ? UnassociatedFiles::Mode::Delete : UnassociatedFiles::Mode::ListOnly);
        cleaner.DeleteUnassociated(prefix);
        if (!options.yes)
            app.Log(Format("%d unassociated file(s) and %d record(s); nothing deleted (give --yes to delete them)",
                           cleaner.FilesFound(), cleaner.RecordsFound()),
                    true, false);
    }
    app.Log("Done.", true, false);
    app.ResetCancel();
    if (failures != 0)
        errorOut << failures << " archive tool run(s) failed\n";
    return failures == 0 ? 0 : 1;
}

} // namespace mw
