// The command-line tool's commands.
#include "CommandLineTool.h"

#include "AppVersion.h"
#include "BuildCommands.h"
#include "CModwrightApp.h"
#include "DatabaseMove.h"
#include "DbArchiveFileCheck.h"
#include "SourceControlCommands.h"
#include "dbarchive/ArchiveSlot.h"
#include "dbarchive/DbArchive.h"
#include "dbarchive/DbArchiveStrings.h"
#include "dbtools/DatabaseCompile.h"
#include "dbtools/DatabaseSync.h"
#include "dbtools/References.h"
#include "dbtools/Templatron.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/engine/LoadTableBinary.h"

#include <algorithm>
#include <ostream>

namespace mw {
namespace {

const char* const kUsage =
    "usage: modwright-cli [-ini PATH] [-mod NAME] [-network] [-username NAME] [-database NAME] COMMAND [ARGS]\n"
    "       modwright-cli --help | --version\n"
    "\n"
    "commands:\n"
    "  compile-db [--force] [FOLDER]   compile the records of FOLDER (default: the mod's database folder)\n"
    "                                  into its database archive\n"
    "  archive-stats [ARCHIVE]         statistics of an archive (default: the mod's database archive)\n"
    "  archive-list ARCHIVE            every record of an archive: name, class, stored size\n"
    "  archive-dump ARCHIVE NAME       one record of an archive as record text\n"
    "  templatron TEMPLATE             bring every record of TEMPLATE (as records name it, for example\n"
    "                                  %TEMPLATE_DIR%Database\\Templates\\monster.tpl) into line with it\n"
    "  db-sync                         bring every record into line with its own template\n"
    "  check-records                   report records without a usable template\n"
    "  find-refs PATH                  list the records and templates that refer to PATH\n"
    "                                  (relative to the working folder)\n"
    "  update-refs PATH...             rewrite references to the earlier names of the given records\n"
    "                                  or templates, then clear their name histories\n"
    "  move-record [--dry-run] OLD NEW\n"
    "                                  move or rename a record (or a folder of records) and rewrite\n"
    "                                  every record and template that refers to it; NEW may be a\n"
    "                                  folder (--dry-run: print what would change, change nothing)\n"
    "  move-template [--dry-run] OLD NEW\n"
    "                                  the same for a template\n"
    "  build [--force] [--explain] [-j N]\n"
    "                                  compile every out-of-date asset and the database, and list\n"
    "                                  output that no input produces any more (--force: everything;\n"
    "                                  -j: compilers at once, 0 for one per core, 1 one after another)\n"
    "  build-assets [--force] [--explain] [-j N] [FOLDER]\n"
    "                                  compile the assets of FOLDER (default: the mod's assets folder)\n"
    "  build-archives [--fresh]        update (--fresh: rebuild) every resource archive\n"
    "  compact                         drop entries of deleted files from the resource archives and\n"
    "                                  compact them\n"
    "  resource-stats                  statistics of the resource archives\n"
    "  delete-unassociated [--yes]     list (--yes: delete) build output, archive entries and records\n"
    "                                  whose source no longer exists\n"
    "\n"
    "--explain logs why each asset is rebuilt.\n"
    "--no-cache (build, build-assets) compiles without the build cache of [Cache] in Tools.ini.\n"
    "\n"
    "The exit status is 1 when the command counted errors or its output could not be written,\n"
    "2 for a usage error.\n";

struct Invocation
{
    std::vector<std::string> appArguments;
    std::string modName;
    std::string command;
    std::vector<std::string> commandArguments;
    bool help = false;
    bool version = false;
};

// What a command takes: its switches, the arguments it cannot do without
// (named in the message when they are missing) and how many it accepts.
struct CommandShape
{
    const char* name;
    std::vector<std::string> switches;
    size_t required;
    size_t accepted;
    const char* needs; // "archive-list needs an archive"
};

constexpr size_t kAny = size_t(-1);

const std::vector<CommandShape>& CommandShapes()
{
    static const std::vector<CommandShape> shapes = {
        {"compile-db", {"--force"}, 0, 1, nullptr},
        {"archive-stats", {}, 0, 1, nullptr},
        {"archive-list", {}, 1, 1, "an archive"},
        {"archive-dump", {}, 2, 2, "an archive and a record name"},
        {"templatron", {}, 1, 1, "a template"},
        {"db-sync", {}, 0, 0, nullptr},
        {"check-records", {}, 0, 0, nullptr},
        {"find-refs", {}, 1, 1, "a path"},
        {"update-refs", {}, 1, kAny, "at least one path"},
        {"move-record", {"--dry-run"}, 2, 2, "the old and the new path"},
        {"move-template", {"--dry-run"}, 2, 2, "the old and the new path"},
    };
    return shapes;
}

// Switches come before the command; the value switches take the next
// argument. The problem with the command line, or empty.
std::string SplitArguments(const std::vector<std::string>& arguments, Invocation& invocation)
{
    size_t i = 0;
    for (; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h")
        {
            invocation.help = true;
            return std::string();
        }
        if (argument == "--version")
        {
            invocation.version = true;
            return std::string();
        }
        if (argument == "-network")
            invocation.appArguments.push_back(argument);
        else if (argument == "-ini" || argument == "-username" || argument == "-database" || argument == "-mod")
        {
            if (i + 1 >= arguments.size())
                return "option '" + argument + "' needs a value";
            if (argument == "-mod")
                invocation.modName = arguments[++i];
            else
            {
                invocation.appArguments.push_back(argument);
                invocation.appArguments.push_back(arguments[++i]);
            }
        }
        else if (!argument.empty() && argument[0] == '-')
            return "unknown option '" + argument + "'";
        else
            break;
    }
    if (i >= arguments.size())
        return "no command given";
    invocation.command = arguments[i];
    invocation.commandArguments.assign(arguments.begin() + long(i) + 1, arguments.end());
    return std::string();
}

// The problem with a command's own arguments, or empty; checked before
// anything runs, so a usage error prints nothing on standard output.
std::string CommandArgumentProblem(const std::string& command, const std::vector<std::string>& arguments)
{
    if (IsBuildCommand(command))
        return BuildCommandArgumentProblem(command, arguments);
    // The source-control commands check their own paths and switches.
    if (IsSourceControlCommand(command))
        return std::string();
    for (const CommandShape& shape : CommandShapes())
    {
        if (command != shape.name)
            continue;
        size_t positional = 0;
        for (const std::string& argument : arguments)
        {
            bool isSwitch = argument.size() > 1 && argument[0] == '-';
            if (isSwitch && std::find(shape.switches.begin(), shape.switches.end(), argument) == shape.switches.end())
                return "unknown option '" + argument + "' for " + command;
            if (isSwitch)
                continue;
            if (++positional > shape.accepted)
                return "unexpected argument '" + argument + "' for " + command;
        }
        if (positional < shape.required)
            return command + " needs " + shape.needs;
        return std::string();
    }
    return "unknown command '" + command + "'";
}

// A path typed on the command line, made relative to the working folder:
// a leading "./" and a leading working folder are dropped.
std::string RelativeToWorking(CModwrightApp& app, std::string path)
{
    std::string relative = StripPathPrefix(path, app.GetWorkingDir());
    while (relative.size() >= 2 && relative[0] == '.' && IsSeparator(relative[1]))
        relative.erase(0, 2);
    return relative;
}

bool LoadArchiveFile(const std::string& path, DbArchive& archive, std::ostream& errorOut)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
    {
        errorOut << "Couldn't open " << path << ": " << LastErrorText() << "\n";
        return false;
    }
    std::string problem = DbArchiveFileProblem(bytes);
    if (!problem.empty())
    {
        errorOut << path << " is not a database archive (" << problem << ")\n";
        return false;
    }
    archive.Load(bytes.data(), bytes.size());
    return true;
}

int CompileDb(CModwrightApp& app, const std::vector<std::string>& arguments, std::ostream& errorOut)
{
    bool force = false;
    std::string folder;
    for (const std::string& argument : arguments)
    {
        if (argument == "--force")
            force = true;
        else if (folder.empty())
            folder = WithTrailingSeparator(ToForwardSlashes(RelativeToWorking(app, argument)));
        else
        {
            errorOut << kUsage;
            return 2;
        }
    }
    if (folder.empty())
        folder = CurrentDatabaseFolder(app);
    else if (folder.back() == '\\')
        folder.back() = '/';
    // A folder that is not there has no records to compile; going on would
    // only make empty folders in the build tree and write an empty archive.
    if (!IsFolder(app.GetWorkingDir() + folder))
    {
        errorOut << "No database folder " << app.GetWorkingDir() + folder << "\n";
        return 1;
    }
    return CompileDatabase(app, folder, force, true) == 0 ? 0 : 1;
}

int ArchiveStats(CModwrightApp& app, const std::vector<std::string>& arguments, std::ostream& errorOut)
{
    if (arguments.empty())
    {
        ReportDbArchiveStatistics(app);
        return 0;
    }
    // A named archive must exist and be one: statistics of nothing would only mislead.
    if (!IsFile(arguments[0]))
    {
        errorOut << "Couldn't open " << arguments[0] << "\n";
        return 1;
    }
    DbArchive check;
    if (!LoadArchiveFile(arguments[0], check, errorOut))
        return 1;
    OpenDbArchive(app, arguments[0]);
    std::vector<std::string> lines;
    app.ArchiveSlot()->WriteStatistics(lines);
    for (const std::string& line : lines)
        app.Log(line, true, false);
    app.ArchiveSlot().reset();
    app.Log(Format("Closed %s", arguments[0].c_str()), true, false);
    return 0;
}

int ArchiveList(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errorOut)
{
    DbArchive archive;
    if (!LoadArchiveFile(arguments[0], archive, errorOut))
        return 1;
    for (const RecordEntry& entry : archive.Entries())
    {
        std::optional<std::string_view> name = archive.Strings().GetString(entry.nameId);
        out << (name ? *name : std::string_view("?")) << '\t' << entry.className << '\t' << entry.bodySize << '\n';
    }
    return 0;
}

int ArchiveDump(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& errorOut)
{
    DbArchive archive;
    if (!LoadArchiveFile(arguments[0], archive, errorOut))
        return 1;
    std::string_view body;
    if (!archive.GetRecordByName(arguments[1], body))
    {
        if (!archive.LastError().empty())
            errorOut << archive.LastError() << "\n";
        else
            errorOut << "No record " << arguments[1] << " in " << arguments[0] << "\n";
        return 1;
    }
    DbArchiveStrings strings(archive);
    GAME::LoadTableBinary table(&strings);
    GAME::BinaryReader reader(body.data(), body.size());
    std::string text;
    if (!table.Deserialize(reader) || !table.Serialize(text))
    {
        errorOut << "The record " << arguments[1] << " in " << arguments[0] << " is damaged\n";
        return 1;
    }
    out << text;
    return 0;
}

// move-record and move-template: prints the move and each rewritten file.
int MoveDatabaseFile(CModwrightApp& app, const std::vector<std::string>& arguments, const std::string& extension,
                     std::ostream& out, std::ostream& errorOut)
{
    bool dryRun = false;
    std::vector<std::string> paths;
    for (const std::string& argument : arguments)
    {
        if (argument == "--dry-run")
            dryRun = true;
        else
            paths.push_back(argument);
    }
    if (paths.size() != 2)
    {
        errorOut << kUsage;
        return 2;
    }
    DatabaseMoveResult result =
        MoveDatabasePath(app, RelativeToWorking(app, paths[0]), RelativeToWorking(app, paths[1]), extension, dryRun);
    if (!result.error.empty())
    {
        errorOut << result.error << "\n";
        return 1;
    }
    out << (dryRun ? "Would move " : "Moved ") << result.oldPath << " to " << result.newPath << "\n";
    for (const std::string& file : result.references.rewritten)
        out << (dryRun ? "Would update references in " : "Updated references in ") << file << "\n";
    for (const std::string& file : result.references.heldByOthers)
        errorOut << "Checked out by another user, still refers to the old path: " << file << "\n";
    for (const std::string& file : result.references.failed)
        errorOut << "Couldn't update the references in " << file << "\n";
    for (const std::string& file : result.historyFailed)
        errorOut << "Couldn't note the earlier name in " << file << "\n";
    bool complete = result.references.heldByOthers.empty() && result.references.failed.empty() &&
                    result.historyFailed.empty();
    return complete ? 0 : 1;
}

} // namespace

int RunCommandLineTool(const std::vector<std::string>& arguments, const AppEnvironment& environment,
                       std::ostream& errorOut)
{
    std::ostream& out = *environment.out;
    Invocation invocation;
    std::string problem = SplitArguments(arguments, invocation);
    if (invocation.help)
    {
        out << "modwright-cli " << AppVersion() << "\n\n" << kUsage << "\n" << kSourceControlUsage;
        return 0;
    }
    if (invocation.version)
    {
        out << "modwright-cli " << AppVersion() << "\n";
        return 0;
    }
    if (problem.empty())
        problem = CommandArgumentProblem(invocation.command, invocation.commandArguments);
    if (!problem.empty())
    {
        errorOut << problem << "\n" << kUsage;
        return 2;
    }
    const std::string& command = invocation.command;
    const std::vector<std::string>& commandArguments = invocation.commandArguments;
    if (command == "archive-list")
        return ArchiveList(commandArguments, out, errorOut);
    if (command == "archive-dump")
        return ArchiveDump(commandArguments, out, errorOut);

    CModwrightApp app(environment);
    app.SetCompactLog(&errorOut);
    std::vector<std::string> appArguments = invocation.appArguments;
    // Logging in needs no window: the command-line tool runs like quiet mode.
    bool network = std::find(appArguments.begin(), appArguments.end(), "-network") != appArguments.end();
    if (network)
        appArguments.push_back("-quiet");
    if (!app.InitInstance(appArguments))
        return 1;
    if (!invocation.modName.empty())
    {
        app.SelectModByName(invocation.modName);
        if (app.GetCurrentModName() != invocation.modName)
        {
            errorOut << "Unknown mod: " << invocation.modName << "\n";
            return 2;
        }
    }
    int status = 0;
    // These write below the build folder (or read from it); without one
    // they would work relative to wherever the tool was started.
    if ((command == "compile-db" || (command == "archive-stats" && commandArguments.empty())) &&
        app.GetBuildDir().empty())
    {
        errorOut << "The build folder is not set: give builddir in the [Login] section of " << app.GetIniPath()
                 << "\n";
        return 1;
    }
    if (IsBuildCommand(command))
    {
        status = RunBuildCommand(app, command, commandArguments, out, errorOut);
        if (status == 2)
            errorOut << kUsage;
    }
    else if (IsSourceControlCommand(command))
        status = RunSourceControlCommand(app, command, commandArguments, out, errorOut);
    else if (command == "compile-db")
        status = CompileDb(app, commandArguments, errorOut);
    else if (command == "archive-stats")
        status = ArchiveStats(app, commandArguments, errorOut);
    else if (command == "templatron")
        status = Templatron(app, commandArguments[0]) == 0 ? 0 : 1;
    else if (command == "db-sync")
        status = DbSync(app) == 0 ? 0 : 1;
    else if (command == "check-records")
        status = DbCheckRecords(app) == 0 ? 0 : 1;
    else if (command == "find-refs")
        status = FindReferences(app, RelativeToWorking(app, commandArguments[0])) == 0 ? 0 : 1;
    else if (command == "update-refs")
    {
        std::string selection;
        for (const std::string& path : commandArguments)
            selection += RelativeToWorking(app, path) + "\n";
        status = UpdateReferences(app, selection) == 0 ? 0 : 1;
    }
    else if (command == "move-record" || command == "move-template")
        status = MoveDatabaseFile(app, commandArguments, command == "move-record" ? "dbr" : "tpl", out, errorOut);
    app.ExitInstance();
    return status;
}

} // namespace mw
