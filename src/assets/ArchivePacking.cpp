// Packing the outputs that their archives lack.
#include "ArchivePacking.h"

#include "ResourceArchiveIndex.h"
#include "ResourceArchives.h"
#include "context/IWorkspaceContext.h"
#include "platform/PathRules.h"

namespace mw {

void ArchivePacking::Note(const std::string& outputPath, const FileInfo& info)
{
    std::string base;
    std::string inner;
    if (!SplitArchivePath(outputPath, base, inner))
        return;
    // The archive tool names entries relative to the archive folder, '/'
    // separated, without the leading "./"; names compare ignoring case.
    std::string entryName = ToLowerAscii(ToForwardSlashes(inner));
    while (!entryName.empty() && entryName[0] == '/')
        entryName.erase(0, 1);
    auto [archive, added] = m_archives.try_emplace(base);
    if (added)
        m_archiveOrder.push_back(base);
    archive->second.push_back(NotedOutput{outputPath, entryName, info});
}

std::vector<const ArchivePacking::NotedOutput*> ArchivePacking::StaleOutputs(const std::string& base,
                                                                            const std::vector<NotedOutput>& outputs)
{
    std::unordered_map<std::string, ArchivedFile> entries;
    ReadResourceArchiveIndex(base + ".arc", entries);
    std::vector<const NotedOutput*> stale;
    for (const NotedOutput& output : outputs)
    {
        auto entry = entries.find(output.entryName);
        if (entry == entries.end() || entry->second.size != output.info.size ||
            entry->second.time != output.info.lastWrite.value)
            stale.push_back(&output);
    }
    return stale;
}

int ArchivePacking::PackStale(IWorkspaceContext& context)
{
    int unpacked = 0;
    for (const std::string& base : m_archiveOrder)
    {
        const std::vector<NotedOutput>& outputs = m_archives[base];
        std::vector<const NotedOutput*> stale = StaleOutputs(base, outputs);
        if (stale.empty())
            continue;
        // One file goes in with a replace; several with one update of the
        // archive, which stores every file of the folder that is new or
        // differs and keeps the other entries as they are.
        bool packed = stale.size() == 1 ? UpdateArchiveFile(context, stale[0]->path) : UpdateArchive(context, base);
        // What the tool says is checked against the archive itself.
        if (packed)
            stale = StaleOutputs(base, outputs);
        for (const NotedOutput* output : stale)
        {
            context.Log(output->path, true, false);
            context.Log("Error updating file in archive", true, true);
            ++unpacked;
        }
    }
    m_archiveOrder.clear();
    m_archives.clear();
    return unpacked;
}

} // namespace mw
