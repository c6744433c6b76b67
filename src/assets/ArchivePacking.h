// Bringing up-to-date outputs into their resource archives. A build notes
// every output it knows to be current, compiled now or before; the packing
// then compares each archive's entry table with those outputs and stores the
// ones the archive lacks or holds at another size or time. An output left
// out by a killed build, a full disk or a failing archive tool is thereby
// packed by the next build.
#pragma once

#include "platform/FileSystem.h"

#include <map>
#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;

class ArchivePacking
{
public:
    // An output that is current on disk, with its size and time as stated.
    void Note(const std::string& outputPath, const FileInfo& info);
    // Packs the outputs noted since the last call, archive by archive in the
    // order they were first noted; the number of outputs that are still not
    // in their archive afterwards (each logged as an error).
    int PackStale(IWorkspaceContext& context);

private:
    struct NotedOutput
    {
        std::string path;
        std::string entryName; // lower-cased, '/' separators
        FileInfo info;
    };

    // The outputs of one archive that it lacks or holds at another size or
    // time (all of them when its table cannot be read).
    static std::vector<const NotedOutput*> StaleOutputs(const std::string& base, const std::vector<NotedOutput>& outputs);

    std::vector<std::string> m_archiveOrder;
    std::map<std::string, std::vector<NotedOutput>> m_archives;
};

} // namespace mw
