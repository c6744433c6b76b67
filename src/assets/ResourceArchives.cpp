// Resource archives through the archive tool.
#include "ResourceArchives.h"

#include "ResourceArchiveIndex.h"
#include "context/IToolContext.h"
#include "context/IWorkspaceContext.h"
#include "dbtools/WalkedFiles.h"
#include "platform/DesktopLaunch.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/NativePaths.h"
#include "platform/PathRules.h"
#include "platform/engine/ResourceArchiveFile.h"

#include <vector>

namespace mw {
namespace {

const char* const kStatisticsFileName = "fileStats.txt";

// The build folder plus "CustomMaps\<mod>\" when a custom map is selected.
std::string BuildPrefix(IWorkspaceContext& context)
{
    std::string mod = context.GetCurrentModName();
    return context.GetBuildDir() + (mod.empty() ? std::string() : "CustomMaps\\" + mod + "\\");
}

// Every archive-tool run has the tools folder as its current folder. The
// runs are not judged by their exit code, but one that cannot even start
// would otherwise leave no trace at all.
bool RunArchiveTool(IToolContext& context, const std::string& commandLine, uint32_t& exitCode)
{
    std::string tools = context.GetToolsDir();
    if (context.RunTool(commandLine, exitCode, tools.empty() ? nullptr : tools.c_str()))
        return true;
    context.Log("Couldn't execute \"" + commandLine + "\"", true, true);
    return false;
}

// One failure when the run could not start or ended with a failing code.
int RunArchiveTool(IToolContext& context, const std::string& commandLine)
{
    uint32_t exitCode = 0;
    return RunArchiveTool(context, commandLine, exitCode) && exitCode == 0 ? 0 : 1;
}

// The archive files of a folder, in listing order.
std::vector<std::string> ArchiveFiles(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    std::vector<std::string> files;
    if (!ListFolder(folder, entries))
        return files;
    for (const FolderEntry& entry : entries)
        if (!entry.isFolder && EqualsNoCase(Extension(entry.name), "arc") && entry.name.size() > 4)
            files.push_back(entry.name);
    return files;
}

// Builds or updates the archive of every folder of folder; false when cancelled.
bool BuildArchivesIn(IWorkspaceContext& context, const std::string& folder, bool fresh, bool skipXpack, int& failures)
{
    std::vector<FolderEntry> entries;
    ListFolder(folder, entries);
    for (const FolderEntry& entry : entries)
    {
        if (context.IsCancelled())
            return false;
        if (!entry.isFolder || entry.name[0] == '.' || (skipXpack && EqualsNoCase(entry.name, "xpack")))
            continue;
        context.Log(Format("Building %s%s.", folder.c_str(), entry.name.c_str()), true, false);
        std::string archive = folder + entry.name;
        if (fresh)
            RemoveFile(archive + ".arc");
        const char* operation = fresh ? "-add" : "-update";
        failures += RunArchiveTool(context, "ArcPack \"" + archive + ".arc\" " + operation + " . \"" + archive + "\" 6");
    }
    return true;
}

// True when the archive's table reads and every entry's file exists below
// archiveFolder: the archive tool would remove nothing, and starting it for
// each archive would cost more than looking at the files here.
bool HoldsNoMissingFile(const std::string& archivePath, const std::string& archiveFolder,
                        const WalkedFiles* present, const std::string& presentFolder)
{
    std::unordered_map<std::string, ArchivedFile> entries;
    if (!ReadResourceArchiveIndex(archivePath, entries))
        return false;
    // An entry whose name is not a plain path below the folder is the
    // tool's to judge.
    for (const auto& entry : entries)
    {
        if (!GAME::ResourceArchiveFile::IsSafeName(entry.second.name))
            return false;
        if (present && present->Contains(presentFolder + entry.second.name))
            continue;
        if (!IsFile(archiveFolder + entry.second.name))
            return false;
    }
    return true;
}

// presentFolder: folder relative to the resource folder that present names.
int RemoveMissingIn(IWorkspaceContext& context, const std::string& folder, const WalkedFiles* present,
                    const std::string& presentFolder)
{
    int failures = 0;
    for (const std::string& file : ArchiveFiles(folder))
    {
        context.Log(Format("Removing unassociated files from archive %s%s.", folder.c_str(), file.c_str()), true,
                    false);
        std::string stem = file.substr(0, file.size() - 4);
        if (HoldsNoMissingFile(folder + file, folder + stem + "/", present, presentFolder + stem + "/"))
            continue;
        failures += RunArchiveTool(context, "ArcPack \"" + folder + file + "\" -removeMissing \"" + folder + stem + "\"");
    }
    return failures;
}

bool CompactIn(IWorkspaceContext& context, const std::string& folder, int& failures)
{
    for (const std::string& file : ArchiveFiles(folder))
    {
        if (context.IsCancelled())
            return false;
        context.Log(Format("Compacting %s%s.", folder.c_str(), file.c_str()), true, false);
        failures += RunArchiveTool(context, "ArcPack \"" + folder + file + "\" -compact");
    }
    return true;
}

// A process's exit status is 8 bits wide on POSIX, so a tool that ends with
// -1 is seen as 255: read the code as signed at the width it arrived in.
bool IsNegativeExitCode(uint32_t exitCode)
{
    if (exitCode > 0xFF)
        return int32_t(exitCode) < 0;
    return exitCode >= 0x80;
}

} // namespace

std::string ResourceBaseFolder(IWorkspaceContext& context) { return BuildPrefix(context) + "resources/"; }

int BuildArchives(IWorkspaceContext& context, bool fresh)
{
    std::string base = ResourceBaseFolder(context);
    RemoveFile(base + "xpack.arc");
    int failures = 0;
    if (BuildArchivesIn(context, base, fresh, true, failures))
        BuildArchivesIn(context, base + "xpack/", fresh, false, failures);
    return failures;
}

bool SplitArchivePath(const std::string& outputPath, std::string& base, std::string& inner)
{
    // Positions in the folded copy are positions in the path as given.
    std::string folded = ToLowerAscii(ToForwardSlashes(outputPath));
    size_t resources = folded.find("resources/");
    if (resources == std::string::npos)
        return false;
    size_t nameStart = resources + std::string("resources/").size();
    size_t end = folded.find('/', nameStart);
    if (end != std::string::npos && folded.compare(nameStart, end - nameStart, "xpack") == 0)
        end = folded.find('/', end + 1);
    if (end == std::string::npos)
        return false;
    base = outputPath.substr(0, end);
    inner = outputPath.substr(end);
    return true;
}

bool UpdateArchiveFile(IWorkspaceContext& context, const std::string& outputPath)
{
    std::string base;
    std::string inner;
    if (!SplitArchivePath(outputPath, base, inner))
    {
        // A file directly in the resource base (or in "xpack/") belongs to no archive.
        return ToLowerAscii(ToForwardSlashes(outputPath)).find("resources/") != std::string::npos;
    }
    uint32_t exitCode = 0;
    if (!RunArchiveTool(context, "ArcPack \"" + base + ".arc\" -replace \"." + inner + "\" \"" + base + "\" 6",
                        exitCode))
        return false;
    if (IsNegativeExitCode(exitCode))
    {
        context.Prompt().Show(Format("Unable to update file '%s' in archive file '%s'", outputPath.c_str(),
                                     base.c_str()),
                              "", PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    return true;
}

bool UpdateArchive(IToolContext& context, const std::string& base)
{
    return RunArchiveTool(context, "ArcPack \"" + base + ".arc\" -update . \"" + base + "\" 6") == 0;
}

int RemoveMissingAll(IWorkspaceContext& context, const std::string* prefix, const WalkedFiles* present)
{
    std::string base = prefix ? context.GetBuildDir() + *prefix + "resources/" : ResourceBaseFolder(context);
    int failures = RemoveMissingIn(context, base, present, std::string());
    RemoveFile(base + "xpack.arc");
    return failures + RemoveMissingIn(context, base + "xpack/", present, "xpack/");
}

int CompactAll(IWorkspaceContext& context)
{
    std::string base = ResourceBaseFolder(context);
    int failures = 0;
    if (CompactIn(context, base, failures))
        CompactIn(context, base + "xpack/", failures);
    return failures;
}

std::string WriteArchiveStatistics(IWorkspaceContext& context)
{
    std::string build = context.GetBuildDir();
    std::string prefix = BuildPrefix(context);
    std::string resources = prefix + "resources/";
    std::string statistics = build + kStatisticsFileName;
    // A file left by an earlier run must not pass for this one's.
    RemoveFile(statistics);
    RunArchiveTool(context, "ArcPack -totalStats \"" + statistics + "\" \"" + resources + "*.arc\" \"" + prefix +
                                "Audio\\*.arc\" \"" + resources + "xpack/*.arc\"");
    if (!IsFile(statistics))
    {
        context.Log(Format("The archive statistics were not written to %s", statistics.c_str()), true, true);
        return std::string();
    }
    return statistics;
}

void ShowArchiveStatistics(IWorkspaceContext& context)
{
    std::string statistics = WriteArchiveStatistics(context);
    if (statistics.empty())
        return;
    if (!OpenWithDefaultViewer(statistics))
        context.Log(Format("Archive statistics written to %s (no viewer to open it with)", ToNativeSeparators(statistics).c_str()), true,
                    false);
}

void RunResView(IWorkspaceContext& context)
{
    std::string tools = context.GetToolsDir();
    std::string build = context.GetBuildDir();
    // The build folder with its separator and one more backslash; a folder
    // that ends in '/' needs a second one, so that the quote after it closes
    // the argument instead of being taken literally.
    std::string buildArgument = build + "\\";
    if (!build.empty() && build.back() == '/')
        buildArgument += "\\";
    std::string commandLine = "\"" + tools + "\\ResView.exe\" \"" + build + "\\ResView\" \"" + buildArgument +
                              "\" resources database audio";
    if (!StartDetached(commandLine, ExecutableFolder()))
        context.Log("Couldn't execute \"" + commandLine + "\"", true, true);
}

} // namespace mw
