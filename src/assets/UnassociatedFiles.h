// Deleting unassociated files: compiled files, archive entries and database
// records whose source no longer exists in the working folder are deleted
// (after asking, unless told yes to all), then the output folders that have
// become empty are removed.
#pragma once

#include "dbtools/WalkedFiles.h"

#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;

// True when the folder and all its sub-folders hold no file. A symbolic link
// counts as a file: the walk never looks through one.
bool IsEmptyTree(const std::string& folder);

class UnassociatedFiles
{
public:
    enum class Mode
    {
        // Ask before each deletion (or not at all with yes to all).
        Delete,
        // Only log what would be deleted; nothing on disk or in an archive changes.
        ListOnly,
    };

    // yesToAll: delete without asking (quiet mode).
    UnassociatedFiles(IWorkspaceContext& context, bool yesToAll, Mode mode = Mode::Delete);

    // What this build's walks found below the prefix's assets and database
    // folders (either may be null): those files are known to exist and are
    // not looked at again. Set before DeleteUnassociated.
    void SetWalked(const WalkedFiles* assets, const WalkedFiles* database)
    {
        m_walkedAssets = assets;
        m_walkedDatabase = database;
    }

    // The whole operation for one mod prefix ("" or "CustomMaps/<mod>/").
    void DeleteUnassociated(const std::string& prefix);
    // One walk of an output folder against its source folder (both ending in
    // a separator); false when it stopped on the cancel event.
    bool DeleteUnassociatedFiles(const std::string& sourceFolder, const std::string& outputFolder,
                                 const WalkedFiles* walked = nullptr);

    // Files and records deleted (or, when listing only, found).
    int FilesFound() const { return m_filesFound; }
    int RecordsFound() const { return m_recordsFound; }

private:
    enum class Answer
    {
        Delete,
        Keep,
    };

    struct EmptyFolder
    {
        std::string shown;  // as the log names it
        std::string native; // as found on disk
    };

    // The walk with the output folder's path as found on disk beside the
    // one the log shows, so that each file is looked up once, not resolved
    // again through every differently-cased folder above it. keeps tells
    // whether anything stays in the folder (a file, a link, a folder that
    // keeps something): a folder that keeps nothing is empty now.
    // relative: the folder's path below the walk's root ('/'-separated, empty
    // or ending in '/'), as walked names it.
    bool WalkOutput(const std::string& sourceFolder, const std::string& outputFolder, const std::string& outputNative,
                    const std::string& relative, const WalkedFiles* walked, bool& keeps);
    Answer Confirm(const std::string& question);
    // False when the file stays.
    bool DeleteFile(const std::string& shownPath, const std::string& nativePath);
    void DeleteUnassociatedRecords(const std::string& prefix);
    void RemoveEmptyFolders();

    IWorkspaceContext& m_context;
    bool m_quiet;
    Mode m_mode;
    bool m_yesToAll;
    bool m_noToAll = false;
    // Sub-folders come before the folders that hold them.
    std::vector<EmptyFolder> m_emptyFolders;
    int m_filesFound = 0;
    int m_recordsFound = 0;
    const WalkedFiles* m_walkedAssets = nullptr;
    const WalkedFiles* m_walkedDatabase = nullptr;
    // Files that stay below the resource folder, as its walk found them,
    // when that walk had the assets' walk to go by.
    WalkedFiles m_keptOutputs;
    bool m_noteKeptOutputs = false;
};

} // namespace mw
