// Bringing up-to-date outputs into their resource archives. A build notes
// every output it knows to be current, compiled now or before; the packing
// then compares each archive's entry table with those outputs and stores the
// ones the archive lacks or holds at another size or time. An output left
// out by a killed build, a full disk or a failing archive tool is thereby
// packed by the next build.
#pragma once

#include "platform/FileSystem.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;

class ArchivePacking
{
public:
    // Runs a task that packs the archive of folder base on another thread,
    // or says it cannot now (false); the task must have ended before the
    // next PackStale.
    using StartTask = std::function<bool(const std::string& base, std::function<void()> task)>;

    ArchivePacking();
    ~ArchivePacking();
    ArchivePacking(const ArchivePacking&) = delete;
    ArchivePacking& operator=(const ArchivePacking&) = delete;

    // An output that is current on disk, with its size and time as stated;
    // written: this build wrote it.
    void Note(const std::string& outputPath, const FileInfo& info, bool written = false);
    // From now on, once the noted outputs turn to another archive, the one
    // they leave is packed at once by a task given to start, provided this
    // build wrote any of its outputs and start can run it: the archive tool
    // then runs beside the compiles that follow. The task's lines are kept
    // for PackStale, which packs whatever the task left out. An empty start
    // ends this.
    void PackBeside(IWorkspaceContext& build, StartTask start);
    // Packs the outputs noted since the last call, archive by archive in the
    // order they were first noted; the number of outputs that are still not
    // in their archive afterwards (each logged as an error). Ends packing
    // beside the build.
    int PackStale(IWorkspaceContext& context);

private:
    struct NotedOutput
    {
        std::string path;
        std::string entryName; // lower-cased, '/' separators
        FileInfo info;
    };
    struct BesidePack;
    struct Archive
    {
        std::vector<NotedOutput> outputs;
        bool written = false; // any of the outputs written by this build
        std::unique_ptr<BesidePack> beside;
    };

    // Starts packing the archive the outputs noted last belong to.
    void StartBeside(const std::string& base, Archive& archive);

    // The outputs of one archive that it lacks or holds at another size or
    // time (all of them when its table cannot be read).
    static std::vector<const NotedOutput*> StaleOutputs(const std::string& base, const std::vector<NotedOutput>& outputs);

    std::vector<std::string> m_archiveOrder;
    std::map<std::string, Archive> m_archives;
    Archive* m_current = nullptr; // the archive of the output noted last
    const std::string* m_currentBase = nullptr;
    IWorkspaceContext* m_besideBuild = nullptr;
    StartTask m_startBeside;
};

} // namespace mw
