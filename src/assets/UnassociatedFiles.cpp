// Deleting unassociated files and records.
#include "UnassociatedFiles.h"

#include "ResourceArchives.h"
#include "context/IWorkspaceContext.h"
#include "dbarchive/ArchiveHeader.h"
#include "dbarchive/ArchiveSlot.h"
#include "dbarchive/DbArchive.h"
#include "dbtools/DatabaseCompile.h"
#include "dbtools/WalkedFiles.h"
#include "platform/FileRemoval.h"
#include "platform/FileSystem.h"
#include "platform/FolderHandle.h"
#include "platform/PathRules.h"

#include <algorithm>

namespace mw {

bool IsEmptyTree(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries))
        return false;
    for (const FolderEntry& entry : entries)
    {
        std::string path = WithTrailingSeparator(folder) + entry.name;
        if (!entry.isFolder || IsSymbolicLink(path) || !IsEmptyTree(path))
            return false;
    }
    return true;
}

UnassociatedFiles::UnassociatedFiles(IWorkspaceContext& context, bool yesToAll, Mode mode)
    : m_context(context), m_quiet(yesToAll), m_mode(mode), m_yesToAll(yesToAll)
{
}

void UnassociatedFiles::DeleteUnassociated(const std::string& prefix)
{
    m_yesToAll = m_quiet;
    m_emptyFolders.clear();
    m_context.Log("Deleting unassociated resources...", true, false);
    std::string working = m_context.GetWorkingDir();
    std::string build = m_context.GetBuildDir();
    m_keptOutputs = WalkedFiles();
    m_noteKeptOutputs = m_walkedAssets != nullptr;
    DeleteUnassociatedFiles(working + prefix + "assets\\", build + prefix + "Resources\\", m_walkedAssets);
    m_noteKeptOutputs = false;
    DeleteUnassociatedFiles(working + prefix + "database\\", build + prefix + "Database\\", m_walkedDatabase);
    DeleteUnassociatedRecords(prefix);
    if (m_mode == Mode::ListOnly)
        return;
    m_context.Log("Deleting empty resource directories...", true, false);
    if (!m_context.IsCancelled())
        RemoveMissingAll(m_context, &prefix, m_walkedAssets ? &m_keptOutputs : nullptr);
    m_noToAll = false;
    m_yesToAll = m_quiet;
    RemoveEmptyFolders();
}

bool UnassociatedFiles::DeleteUnassociatedFiles(const std::string& sourceFolder, const std::string& outputFolder,
                                                const WalkedFiles* walked)
{
    std::string native = ResolvePath(outputFolder);
    if (!native.empty() && native.back() != '/')
        native += '/';
    bool keeps = false;
    return WalkOutput(sourceFolder, outputFolder, native, std::string(), walked, keeps);
}

bool UnassociatedFiles::WalkOutput(const std::string& sourceFolder, const std::string& outputFolder,
                                   const std::string& outputNative, const std::string& relative,
                                   const WalkedFiles* walked, bool& keeps)
{
    std::vector<FolderEntry> entries;
    // A folder that cannot be listed is not known to be empty.
    keeps = !ListFolderUnsorted(outputNative, entries);
    // Sources are looked at through their open folder, so the system does
    // not walk the whole path for every output; a name not found as written
    // is left to the case-insensitive lookup.
    FolderHandle sources;
    bool sourcesOpened = false;
    auto sourceIsFile = [&](const std::string& name) {
        if (walked && walked->Contains(relative, name))
            return true;
        if (!sourcesOpened)
        {
            sources.Open(sourceFolder);
            sourcesOpened = true;
        }
        FileInfo info;
        if (sources.IsOpen() && sources.Stat(name, info) && !info.isFolder)
            return true;
        return IsFile(sourceFolder + name);
    };
    // Nearly every file has its source and stays, whatever the order; what
    // remains (folders, files to delete) is taken in name order, as the log
    // and the questions show it. A large folder is not sorted whole.
    auto staysAnyway = [&](const FolderEntry& entry) {
        // The source is looked up without regard to case, as every path is.
        if (entry.isFolder || !(entry.name == "database.arz" || EqualsNoCase(Extension(entry.name), "arc") ||
                                EqualsNoCase(Extension(entry.name), "arz") || sourceIsFile(entry.name)))
            return false;
        keeps = true;
        if (m_noteKeptOutputs)
            m_keptOutputs.Add(relative + entry.name);
        return true;
    };
    entries.erase(std::remove_if(entries.begin(), entries.end(), staysAnyway), entries.end());
    SortFolderEntries(entries);
    for (const FolderEntry& entry : entries)
    {
        if (m_context.IsCancelled())
        {
            keeps = true;
            return false;
        }
        // A link may lead out of the build folder: never walked, never made
        // writable; a link to a file is removed as a link (DeleteFile looks).
        if (entry.isFolder)
        {
            std::string outputPath = outputFolder + entry.name;
            std::string nativePath = outputNative + entry.name;
            if (IsSymbolicLink(nativePath))
            {
                keeps = true;
                continue;
            }
            std::string outputSub = outputPath + "\\";
            std::string nativeSub = nativePath + "/";
            bool subKeeps = false;
            if (!WalkOutput(sourceFolder + entry.name + "\\", outputSub, nativeSub, relative + entry.name + "/", walked,
                            subKeeps))
            {
                keeps = true;
                return false;
            }
            if (subKeeps)
                keeps = true;
            else
                m_emptyFolders.push_back(EmptyFolder{outputSub, nativeSub});
            continue;
        }
        if (m_noToAll)
        {
            keeps = true;
            if (m_noteKeptOutputs)
                m_keptOutputs.Add(relative + entry.name);
            continue;
        }
        ++m_filesFound;
        std::string outputPath = outputFolder + entry.name;
        std::string nativePath = outputNative + entry.name;
        if (m_mode == Mode::ListOnly)
        {
            m_context.Log(Format("Unassociated: %s", outputPath.c_str()), true, false);
            keeps = true;
            continue;
        }
        m_context.Log(Format("Deleting: %s", outputPath.c_str()), true, false);
        bool deleted =
            Confirm(Format("Do you wish to delete the unassociated resource file: \r\n\r\n%s?", outputPath.c_str())) ==
                Answer::Delete &&
            DeleteFile(outputPath, nativePath);
        if (!deleted)
            keeps = true;
    }
    return true;
}

UnassociatedFiles::Answer UnassociatedFiles::Confirm(const std::string& question)
{
    if (m_yesToAll)
        return Answer::Delete;
    PromptAnswer answer =
        m_context.Prompt().Show(question, "", PromptButtons::YesNoYesToAllNoToAll, PromptIcon::Question);
    switch (answer)
    {
    case PromptAnswer::Yes:
        return Answer::Delete;
    case PromptAnswer::YesToAll:
        m_yesToAll = true;
        return Answer::Delete;
    case PromptAnswer::NoToAll:
        m_noToAll = true;
        break;
    case PromptAnswer::No:
    case PromptAnswer::Ok:
    case PromptAnswer::Cancel:
        break;
    }
    m_context.Log("File Delete Canceled By User...", true, false);
    return Answer::Keep;
}

bool UnassociatedFiles::DeleteFile(const std::string& shownPath, const std::string& nativePath)
{
    bool readOnly = false;
    if (!IsSymbolicLink(nativePath) && GetReadOnly(nativePath, readOnly) && readOnly)
        MakeWritable(nativePath);
    RemovalOutcome outcome = RemoveFileReporting(nativePath);
    if (outcome.removed)
        return true;
    if (outcome.accessDenied)
        m_context.Log(Format("Error: Can not delete read-only file: %s", shownPath.c_str()), true, false);
    else
        m_context.Log(Format("Error: Can not delete for unknown reason: %s", shownPath.c_str()), true, false);
    return false;
}

void UnassociatedFiles::DeleteUnassociatedRecords(const std::string& prefix)
{
    if (m_context.IsCancelled())
        return;
    std::unique_ptr<DbArchive>& slot = m_context.ArchiveSlot();
    // An archive another operation holds open is not ours to save.
    if (slot)
        return;
    std::string archivePath = DatabaseArchivePath(m_context, prefix + "database/");
    // Without an archive there are no records, and none is to be created.
    if (!IsFile(archivePath))
        return;
    // The compile of this build went through the same archive: when every
    // record it holds was walked, there is nothing to remove, and only its
    // header is read.
    const std::optional<std::vector<std::string>>* notWalked =
        m_walkedDatabase ? &m_walkedDatabase->ArchiveRecordsNotWalked() : nullptr;
    std::string header;
    if (notWalked && notWalked->has_value() && (*notWalked)->empty() &&
        ReadFileRange(archivePath, 0, ArchiveHeader::kSize, header) && header.size() == ArchiveHeader::kSize)
    {
        m_context.Log(Format("Opened %s for reading", archivePath.c_str()), true, false);
        m_context.Log(Format("Closed %s", archivePath.c_str()), true, false);
        return;
    }
    OpenDbArchive(m_context, archivePath);
    if (!slot)
        return;
    // The names are taken first: removing a record changes the table. Of a
    // walked archive only the records the walk did not find are looked at.
    std::vector<std::string> names;
    if (notWalked && notWalked->has_value())
        names = **notWalked;
    else
    {
        slot->BeginNames();
        for (std::string name = slot->NextName(); !name.empty(); name = slot->NextName())
            names.push_back(name);
    }
    std::string databaseFolder = m_context.GetWorkingDir() + prefix + "database\\";
    bool removed = false;
    // Records of one folder follow each other in the table: that folder is
    // kept open while they do.
    FolderHandle recordFolder;
    std::string openFolder;
    bool folderOpened = false;
    for (const std::string& name : names)
    {
        if (m_context.IsCancelled() || m_noToAll)
            break;
        // A record whose file this build's compile found stays.
        if (m_walkedDatabase && m_walkedDatabase->Contains(name))
            continue;
        size_t separator = name.find_last_of("\\/");
        std::string folder = separator == std::string::npos ? std::string() : name.substr(0, separator + 1);
        if (!folderOpened || folder != openFolder)
        {
            recordFolder.Open(databaseFolder + folder);
            openFolder = folder;
            folderOpened = true;
        }
        FileInfo info;
        if (recordFolder.IsOpen() && recordFolder.Stat(name.substr(folder.size()), info) && !info.isFolder)
            continue;
        // Record names are stored lower-cased; the lookup finds the file in any case.
        std::string recordPath = databaseFolder + name;
        if (IsFile(recordPath))
            continue;
        ++m_recordsFound;
        if (m_mode == Mode::ListOnly)
        {
            m_context.Log(Format("Unassociated record: %s", recordPath.c_str()), true, false);
            continue;
        }
        m_context.Log(Format("BinaryArchive - Deleting: %s", recordPath.c_str()), true, false);
        if (Confirm(Format("Do you wish to delete the unassociated record file: \r\n\r\n%s?", recordPath.c_str())) ==
            Answer::Delete)
        {
            if (std::optional<uint32_t> id = slot->Strings().Find(name))
                slot->RemoveRecord(*id);
            removed = true;
        }
    }
    // An archive with nothing removed is left as it is on disk.
    CloseDbArchive(m_context, archivePath, removed);
}

void UnassociatedFiles::RemoveEmptyFolders()
{
    for (const EmptyFolder& folder : m_emptyFolders)
    {
        if (m_context.IsCancelled())
            return;
        const char* shown = folder.shown.c_str();
        m_context.Log(Format("Deleting empty directory: %s", shown), true, false);
        RemovalOutcome outcome = RemoveEmptyFolderReporting(folder.native);
        if (outcome.removed)
            continue;
        if (outcome.accessDenied)
            m_context.Log(Format("Error: Can not delete read-only directory: %s", shown), true, false);
        else
            m_context.Log(Format("Error: Can not delete for unknown reason(%d): %s", outcome.errorCode, shown), true,
                          false);
    }
}

} // namespace mw
