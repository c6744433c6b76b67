// Rename, Move and Delete of the file views, made safe: on the Database tab
// a move or rename offers to rewrite what refers to the old paths, and a
// delete names the files that still refer to what is deleted; without
// network mode deleted files and folders go to the desktop's trash.
#pragma once

#include "dbtools/MovedReferences.h"

#include <functional>
#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;
class ReferenceIndex;

class FileReorganiser
{
public:
    // databaseTab: the paths are records, templates and their folders, whose
    // references are kept. Paths are relative to the working folder with '/'.
    // index: the run's reference index, kept current by these commands; null
    // searches the database folder in full each time.
    FileReorganiser(IWorkspaceContext& context, bool network, bool databaseTab, ReferenceIndex* index = nullptr);

    // The commands of the file views, with the messages of the plain ones.
    bool RenameFile(const std::string& oldPath, const std::string& newName);
    // The new folder's path ("" on failure).
    std::string RenameFolder(const std::string& folder, const std::string& newName);
    // The paths moved to.
    std::vector<std::string> MoveRecords(const std::vector<std::string>& paths, const std::string& folder);
    // False when nothing was deleted.
    bool DeleteFiles(const std::vector<std::string>& paths);
    bool DeleteFolder(const std::string& folder);

    // Told true when a search for referring files starts and false when it
    // ends, before any question is asked (the window shows a busy cursor:
    // the first search of a run reads every record).
    void SetBusyIndicator(std::function<void(bool busy)> indicator) { m_busy = std::move(indicator); }

    // After files were moved: asks "Update N references?" (with the list of
    // files behind a details button) and rewrites them on Yes. The number of
    // files rewritten.
    int KeepReferences(const std::vector<PathChange>& changes);

private:
    std::vector<ReferringFile> FindReferrers(const std::vector<PathChange>& changes);
    // The files that would be left referring to deleted paths, as the lines
    // of the delete confirmation ("" when none).
    std::string ReferrersText(const std::vector<PathChange>& deleted, bool several, std::string& fullList);
    // Trash without network mode, else the source-control delete; true when gone.
    bool RemoveFile(const std::string& path);
    bool RemoveFolder(const std::string& folder);
    // Says once per reorganiser that deletions cannot go to the trash.
    void SayNoTrashOnce();

    IWorkspaceContext& m_context;
    bool m_network;
    bool m_databaseTab;
    ReferenceIndex* m_index;
    bool m_noTrashSaid = false;
    std::function<void(bool)> m_busy;
};

} // namespace mw
