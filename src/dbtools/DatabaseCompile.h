// The database compile: every changed record of a database folder is copied
// into the build folder and compiled into the mod's database archive.
#pragma once

#include <string>

namespace mw {

class IWorkspaceContext;
class TemplateCache;
class WalkedFiles;

// Compiles the folder (relative to the working folder, "/"-separated, ending
// in "/"); the number of records that failed.
int CompileDatabase(IWorkspaceContext& context, const std::string& folder, bool force, bool clearOutput);
// The same with a given number of helper threads (0: everything on the
// calling thread). The archive, the build copies and the log lines are the
// same for every number.
int CompileDatabase(IWorkspaceContext& context, const std::string& folder, bool force, bool clearOutput,
                    int helperThreads);
// The same, noting in walked every file its walk found below the folder
// (relative to it).
int CompileDatabase(IWorkspaceContext& context, const std::string& folder, bool force, bool clearOutput,
                    int helperThreads, WalkedFiles* walked);
// The helpers a compile uses by default: one per core, none on one core.
int DefaultCompileHelperThreads();
// One file: false for a failure that counts as an error. With a cache,
// templates are loaded once per cache; a cache serves one archive only.
bool BuildRecord(IWorkspaceContext& context, const std::string& sourcePath, const std::string& targetPath, bool force,
                 TemplateCache* cache = nullptr);
// The archive a database folder compiles into.
std::string DatabaseArchivePath(IWorkspaceContext& context, const std::string& folder);
// "database/", or the selected custom map's database folder.
std::string CurrentDatabaseFolder(IWorkspaceContext& context);
// The statistics lines of the current mod's archive.
void ReportDbArchiveStatistics(IWorkspaceContext& context);

} // namespace mw
