// Resource archives: every resource folder of the build folder is packed into
// a ".arc" file by the external archive tool, ArcPack, with one command line
// per archive and operation.
#pragma once

#include <string>

namespace mw {

class IToolContext;
class IWorkspaceContext;
class WalkedFiles;

// The build folder + the custom map's part + "resources/".
std::string ResourceBaseFolder(IWorkspaceContext& context);

// Builds (fresh) or updates every archive of the current mod: each folder of
// the resource base except "xpack" and dot folders, then each folder below
// "xpack/". Stops between archives when cancelled. Like the other archive
// operations it returns the number of archive-tool runs that could not start
// or ended with a failing exit code; only callers that report a status use it.
int BuildArchives(IWorkspaceContext& context, bool fresh);

// Puts one freshly compiled file into the archive of the resource folder it
// lies in; false when the archive tool could not be run or reported failure.
bool UpdateArchiveFile(IWorkspaceContext& context, const std::string& outputPath);
// The archive an output belongs to: base is the path of the archive's folder
// (the archive is base + ".arc"), inner the rest of the path from the '/'
// that ends it. False for a file directly in the resource base or in
// "xpack/" (it belongs to no archive) and for a path outside "resources/".
bool SplitArchivePath(const std::string& outputPath, std::string& base, std::string& inner);
// Updates one archive from its folder: stores the files that are new or
// differ in size or time. False when the tool could not be run or failed.
// Needs no more than a tool context, so it can run beside a build.
bool UpdateArchive(IToolContext& context, const std::string& base);

// Removes from every archive the files that no longer exist in its folder.
// prefix: the mod prefix ("" or "CustomMaps/<mod>/"), or null for the
// current mod. present: files known to exist below the resource folder
// (relative to it), not looked at again; null: every file is looked at.
int RemoveMissingAll(IWorkspaceContext& context, const std::string* prefix, const WalkedFiles* present = nullptr);

// Compacts every archive; stops between archives when cancelled.
int CompactAll(IWorkspaceContext& context);

// Writes the archive statistics to the build folder's "fileStats.txt"; its
// path, or empty (after a logged error) when it was not written.
std::string WriteArchiveStatistics(IWorkspaceContext& context);
// The same, then opens the file with the desktop's default viewer.
void ShowArchiveStatistics(IWorkspaceContext& context);

// Starts the resource tree viewer without waiting for it.
void RunResView(IWorkspaceContext& context);

} // namespace mw
