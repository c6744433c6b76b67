// The kept index of references between records and templates.
#include "ReferenceIndex.h"

#include "DatabaseOperation.h"
#include "DatabaseWalk.h"
#include "ReferenceMatching.h"
#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {

std::vector<ReferringFile> ReferenceIndex::FindReferringFiles(IWorkspaceContext& context,
                                                              const std::vector<PathChange>& changes)
{
    std::vector<ReferringFile> referring;
    std::vector<ReferenceTarget> targets = ReferenceTargetsOf(context, changes);
    if (targets.empty())
        return referring;
    // The index holds only what can name a file; anything else is searched the plain way.
    for (const ReferenceTarget& target : targets)
        if (!CouldBeFileReference(target.oldKey))
            return mw::FindReferringFiles(context, changes);

    std::string folder = ModDatabaseFolder(context);
    if (folder != m_folder)
    {
        m_files.clear();
        m_folder = folder;
    }
    ++m_search;
    m_filesRead = 0;
    WalkResult walk = WalkDatabaseFolder(context, folder, [&](const std::string& fullPath) {
        if (!IsRecordOrTemplatePath(fullPath))
            return true;
        FileInfo info;
        if (!GetFileInfo(fullPath, info) || info.isFolder)
            return true;
        Entry& entry = m_files[fullPath];
        if (entry.seenInSearch == 0 || !(entry.lastWrite == info.lastWrite) || entry.size != info.size)
        {
            entry.readable = CollectReferenceKeys(fullPath, entry.keys);
            entry.lastWrite = info.lastWrite;
            entry.size = info.size;
            ++m_filesRead;
        }
        entry.seenInSearch = m_search;
        int matches = 0;
        for (const std::string& key : entry.keys)
            for (const ReferenceTarget& target : targets)
                if (KeyMatchesTarget(key, target))
                {
                    ++matches;
                    break;
                }
        if (matches > 0)
            referring.push_back(ReferringFile{ToForwardSlashes(SourceControlPathOf(context, fullPath)), matches});
        return true;
    });
    // Files that are gone leave the index; a cancelled walk saw only some.
    if (!walk.cancelled)
        std::erase_if(m_files, [&](const auto& item) { return item.second.seenInSearch != m_search; });
    return referring;
}

void ReferenceIndex::Forget(IWorkspaceContext& context, const std::string& path)
{
    std::string fullPath = context.GetWorkingDir() + path;
    auto found = m_files.find(fullPath);
    if (found != m_files.end())
        found->second.seenInSearch = 0;
}

void ReferenceIndex::Clear()
{
    m_files.clear();
    m_folder.clear();
}

} // namespace mw
