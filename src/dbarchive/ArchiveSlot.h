// The application's open-archive slot: opening an archive into it, and
// closing it with or without saving. Both log what they do.
#pragma once

#include <memory>
#include <string>

namespace mw {

class DbArchive;
class IWorkspaceContext;

// A missing file gives an empty archive, which the next save writes anew.
void OpenDbArchive(IWorkspaceContext& context, const std::string& path);

// The same in two steps, so that the file can be read and parsed on another
// thread beside other work: the load touches nothing but the file, and the
// install puts the archive in the slot and logs as OpenDbArchive does.
struct LoadedDbArchive
{
    std::unique_ptr<DbArchive> archive;
    bool read = false; // false: the file was missing or could not be read
};
LoadedDbArchive LoadDbArchiveFile(const std::string& path);
void InstallDbArchive(IWorkspaceContext& context, const std::string& path, LoadedDbArchive loaded);
// Saving writes the whole file through a temporary file, so a failed save
// leaves the previous archive as it was. An archive in which no record was
// added or removed is not written again when its file exists: its bytes and
// time stay as they are. False when a save was asked for and failed
// (logged as an error).
bool CloseDbArchive(IWorkspaceContext& context, const std::string& path, bool save);
// True when a save of the archive at path could replace it: its folder takes
// new files and the file itself is not read-only.
bool CanSaveDbArchive(const std::string& path);

} // namespace mw
