// Packing the outputs that their archives lack.
#include "ArchivePacking.h"

#include "AssetJobContext.h"
#include "ResourceArchiveIndex.h"
#include "ResourceArchives.h"
#include "context/IWorkspaceContext.h"
#include "platform/PathRules.h"

#include <algorithm>

namespace mw {

// One archive packed by a task beside the build.
struct ArchivePacking::BesidePack
{
    BesidePack(IWorkspaceContext& build, std::vector<NotedOutput> noted)
        : outputs(std::move(noted)), job(build, AssetJobContext::OnStop::Finish)
    {
    }

    // A copy of the archive's noted outputs: the build may note more meanwhile.
    const std::vector<NotedOutput> outputs;
    AssetJobContext job;
    bool ran = false; // the archive tool was run
};

ArchivePacking::ArchivePacking() = default;
ArchivePacking::~ArchivePacking() = default;

void ArchivePacking::Note(const std::string& outputPath, const FileInfo& info, bool written)
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
    Archive* archive;
    if (m_current && *m_currentBase == base)
        archive = m_current;
    else
    {
        if (m_current && m_startBeside && m_current->written && !m_current->beside)
            StartBeside(*m_currentBase, *m_current);
        auto [place, added] = m_archives.try_emplace(base);
        if (added)
            m_archiveOrder.push_back(base);
        archive = &place->second;
        m_current = archive;
        m_currentBase = &place->first;
    }
    archive->outputs.push_back(NotedOutput{outputPath, entryName, info});
    archive->written = archive->written || written;
}

void ArchivePacking::PackBeside(IWorkspaceContext& build, StartTask start)
{
    m_besideBuild = &build;
    m_startBeside = std::move(start);
}

void ArchivePacking::StartBeside(const std::string& base, Archive& archive)
{
    auto pack = std::make_unique<BesidePack>(*m_besideBuild, archive.outputs);
    BesidePack* task = pack.get();
    bool started = m_startBeside(base, [task, base]() {
        // One stale output is one replace, which PackStale does as before.
        if (StaleOutputs(base, task->outputs).size() >= 2)
        {
            task->ran = true;
            UpdateArchive(task->job, base);
        }
    });
    if (started)
        archive.beside = std::move(pack);
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
        Archive& archive = m_archives[base];
        const std::vector<NotedOutput>& outputs = archive.outputs;
        // What a task packed beside the build: its lines come first, in the
        // place a serial packing would have logged them.
        size_t triedBeside = 0;
        if (archive.beside)
        {
            archive.beside->job.HandOnLines();
            if (archive.beside->ran)
                triedBeside = archive.beside->outputs.size();
        }
        std::vector<const NotedOutput*> stale = StaleOutputs(base, outputs);
        if (stale.empty())
            continue;
        // Outputs the tool was already run for are not tried again: it would
        // fail the same way, and log the same lines a second time.
        bool tried = std::all_of(stale.begin(), stale.end(), [&](const NotedOutput* output) {
            return size_t(output - outputs.data()) < triedBeside;
        });
        if (!tried)
        {
            // One file goes in with a replace; several with one update of the
            // archive, which stores every file of the folder that is new or
            // differs and keeps the other entries as they are.
            bool packed =
                stale.size() == 1 ? UpdateArchiveFile(context, stale[0]->path) : UpdateArchive(context, base);
            // What the tool says is checked against the archive itself.
            if (packed)
                stale = StaleOutputs(base, outputs);
        }
        for (const NotedOutput* output : stale)
        {
            context.Log(output->path, true, false);
            context.Log("Error updating file in archive", true, true);
            ++unpacked;
        }
    }
    m_archiveOrder.clear();
    m_archives.clear();
    m_current = nullptr;
    m_currentBase = nullptr;
    m_besideBuild = nullptr;
    m_startBeside = nullptr;
    return unpacked;
}

} // namespace mw
