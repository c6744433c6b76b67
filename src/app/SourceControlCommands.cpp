// The command-line tool's source-control commands. They take the rules and
// messages of the window's file and folder commands; the window's questions
// (more than five files, Redo Sync) are not asked, as a script names its
// files on purpose.
#include "SourceControlCommands.h"

#include "CModwrightApp.h"
#include "FileCommands.h"
#include "SourceControlBatch.h"
#include "WorkspaceOperations.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <ostream>

namespace mw {
namespace {

// A path typed on the command line, relative to the working folder with "/"
// separators: a leading working folder and "./" are dropped, and a folder
// ends in "/".
std::string TypedPath(CModwrightApp& app, const std::string& typed)
{
    std::string relative = ToForwardSlashes(StripPathPrefix(typed, app.GetWorkingDir()));
    while (relative.size() >= 2 && relative[0] == '.' && relative[1] == '/')
        relative.erase(0, 2);
    if (relative == ".")
        relative.clear();
    while (!relative.empty() && relative.front() == '/')
        relative.erase(0, 1);
    if (!relative.empty() && relative.back() != '/' && IsFolder(app.GetWorkingDir() + relative))
        relative += '/';
    return relative;
}

bool IsFolderPath(const std::string& path) { return path.empty() || path.back() == '/'; }

// The files the paths name: a file itself, a folder as the window's folder
// commands take it (every file below it, or only those this user holds).
std::vector<std::string> ExpandPaths(CModwrightApp& app, const std::vector<std::string>& typed, bool onlyMine)
{
    std::vector<std::string> files;
    for (const std::string& argument : typed)
    {
        std::string path = TypedPath(app, argument);
        if (!IsFolderPath(path))
        {
            files.push_back(path);
            continue;
        }
        for (const std::string& file : FilesBelowFolder(app.SourceControl(), path, onlyMine))
            files.push_back(file);
    }
    return files;
}

int Sync(CModwrightApp& app, const std::vector<std::string>& arguments, std::ostream& errorOut)
{
    if (arguments.size() > 1)
    {
        errorOut << "sync takes at most one PATH\n";
        return 2;
    }
    if (arguments.empty())
        return app.Sync() == 0 ? 0 : 1;
    std::string path = TypedPath(app, arguments[0]);
    app.Log("Syncing...", true, false);
    return app.SourceControl().SyncPath(&path, false, nullptr) == 0 ? 0 : 1;
}

int Status(CModwrightApp& app, const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errorOut)
{
    if (arguments.size() > 1)
    {
        errorOut << "status takes at most one PATH\n";
        return 2;
    }
    std::string path = arguments.empty() ? std::string() : TypedPath(app, arguments[0]);
    std::vector<std::string> files;
    if (IsFolderPath(path))
        files = FilesBelowFolder(app.SourceControl(), path, false);
    else
        files.push_back(path);
    int unknown = 0;
    for (const std::string& file : files)
    {
        FileRowStatus row = ReadFileRowStatus(app.SourceControl(), file);
        out << FileRowStateText(row) << '\t' << (row.holder.empty() ? "-" : row.holder) << '\t' << row.localVersion
            << '\t' << row.serverVersion << '\t' << file << '\n';
        if (row.image == 3 && !row.conflicted)
            ++unknown;
    }
    out.flush();
    return unknown == 0 ? 0 : 1;
}

int Resolve(CModwrightApp& app, const std::vector<std::string>& arguments)
{
    int failures = 0;
    for (const std::string& argument : arguments)
    {
        std::string path = TypedPath(app, argument);
        if (!app.SourceControl().ResolveFile(path))
        {
            app.Log(Format("Error resolving file %s", path.c_str()), true, true);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

int Add(CModwrightApp& app, const std::vector<std::string>& arguments)
{
    int failures = 0;
    for (const std::string& argument : arguments)
    {
        std::string path = TypedPath(app, argument);
        if (IsFolderPath(path))
        {
            if (AddFolderRecursively(app, path) < 0)
                ++failures;
            continue;
        }
        if (!IsFile(app.GetWorkingDir() + path))
        {
            app.Log(Format("Couldn't add %s: there is no such file", path.c_str()), true, true);
            ++failures;
        }
        else if (!app.SourceControl().AddFile(path))
        {
            app.Log("Error Adding File To Source Control.", true, true);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

const char* const kSourceControlUsage =
    "source-control commands (with -network):\n"
    "  sync [PATH]                     bring the working folder (or PATH) up to the server's latest\n"
    "  status [PATH]                   one line per file below PATH: state, holder, local and server\n"
    "                                  version, path (tab-separated)\n"
    "  checkout PATH...                check files out (a folder: every file below it)\n"
    "  checkin [-m TEXT] PATH...       check files in (a folder: those you hold below it)\n"
    "  revert PATH...                  undo check-outs, restoring the server's version\n"
    "  resolve PATH...                 mark files in conflict resolved, keeping them as they are\n"
    "  add PATH...                     add files, or every new file below a folder in one commit\n";

bool IsSourceControlCommand(const std::string& command)
{
    return command == "sync" || command == "status" || command == "checkout" || command == "checkin" ||
           command == "revert" || command == "resolve" || command == "add";
}

int RunSourceControlCommand(CModwrightApp& app, const std::string& command, const std::vector<std::string>& arguments,
                            std::ostream& out, std::ostream& errorOut)
{
    if (!app.IsNetwork())
    {
        errorOut << command << " works on the source-control server: give -network, -username and -database\n";
        return 2;
    }
    if (command == "sync")
        return Sync(app, arguments, errorOut);
    if (command == "status")
        return Status(app, arguments, out, errorOut);

    std::vector<std::string> paths;
    std::string message;
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        if (command == "checkin" && arguments[i] == "-m")
        {
            if (i + 1 >= arguments.size())
            {
                errorOut << "-m needs the check-in's text\n";
                return 2;
            }
            message = arguments[++i];
        }
        else
            paths.push_back(arguments[i]);
    }
    if (paths.empty())
    {
        errorOut << command << " needs at least one PATH\n";
        return 2;
    }
    if (command == "resolve")
        return Resolve(app, paths);
    if (command == "add")
        return Add(app, paths);

    BatchAction action = command == "checkout" ? BatchAction::CheckOut
                         : command == "checkin" ? BatchAction::CheckIn
                                                : BatchAction::Revert;
    std::vector<std::string> files = ExpandPaths(app, paths, action != BatchAction::CheckOut);
    return RunBatch(app, action, files, nullptr, message) == 0 ? 0 : 1;
}

} // namespace mw
