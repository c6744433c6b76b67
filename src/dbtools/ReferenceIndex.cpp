// The kept index of references between records and templates.
#include "ReferenceIndex.h"

#include "DatabaseWalk.h"
#include "ReferenceMatching.h"
#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {

uint32_t ReferenceIndex::KeyId(std::string key)
{
    auto [found, added] = m_keyIds.emplace(std::move(key), uint32_t(m_keys.size()));
    if (added)
        m_keys.push_back(&found->first);
    return found->second;
}

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

    std::string folder = SelectedDatabaseFolder(context);
    if (folder != m_folder)
    {
        Clear();
        m_folder = folder;
    }
    ++m_search;
    m_filesRead = 0;
    // First bring every file up to date, in walk order.
    std::vector<std::pair<const std::string*, const Entry*>> files;
    std::vector<std::string> keys;
    WalkResult walk = WalkDatabaseFolder(context, folder, [&](const std::string& fullPath) {
        if (!IsRecordOrTemplatePath(fullPath))
            return true;
        FileInfo info;
        if (!GetFileInfo(fullPath, info) || info.isFolder)
            return true;
        auto [item, added] = m_files.try_emplace(fullPath);
        Entry& entry = item->second;
        if (added || entry.seenInSearch == 0 || !(entry.lastWrite == info.lastWrite) || entry.size != info.size)
        {
            // A file that cannot be read refers to nothing until it changes.
            CollectReferenceKeys(fullPath, keys);
            entry.keys.clear();
            for (std::string& key : keys)
                entry.keys.push_back(KeyId(std::move(key)));
            entry.lastWrite = info.lastWrite;
            entry.size = info.size;
            ++m_filesRead;
        }
        entry.seenInSearch = m_search;
        files.emplace_back(&item->first, &entry);
        return true;
    });

    // Then decide once for each distinct reference whether it names a target.
    std::vector<char> matches(m_keys.size(), 0);
    for (size_t id = 0; id < m_keys.size(); ++id)
        for (const ReferenceTarget& target : targets)
            if (KeyMatchesTarget(*m_keys[id], target))
            {
                matches[id] = 1;
                break;
            }
    for (const auto& [path, entry] : files)
    {
        int count = 0;
        for (uint32_t id : entry->keys)
            count += matches[id];
        if (count > 0)
            referring.push_back(ReferringFile{ToForwardSlashes(SourceControlPathOf(context, *path)), count});
    }
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
    m_keyIds.clear();
    m_keys.clear();
    m_folder.clear();
}

} // namespace mw
