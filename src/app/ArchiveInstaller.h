// Installs the contents of a resource archive that comes with the tool (the
// templates, the tutorial mods) into a folder of the workspace, entry by
// entry, with progress and a cancel check before each entry.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace GAME {
class Archive;
}

namespace mw {

class ManualResetEvent;

class ArchiveInstaller
{
public:
    enum class Result
    {
        Completed, // every named entry was extracted
        Cancelled, // stopped before an entry because cancel was set
        Failed,    // some entries could not be extracted (see Failures)
    };

    // Called before each entry with its name, and after it with the bytes
    // extracted so far and the total.
    using Progress = std::function<void(const std::string& entryName, uint64_t doneBytes, uint64_t totalBytes)>;

    ArchiveInstaller();
    ~ArchiveInstaller();
    ArchiveInstaller(const ArchiveInstaller&) = delete;
    ArchiveInstaller& operator=(const ArchiveInstaller&) = delete;

    // Opens the archive for reading; false when it is missing or not a
    // resource archive (LastError says why).
    bool Open(const std::string& archivePath);
    const std::string& LastError() const { return m_lastError; }
    // The sum of the entries' sizes.
    uint64_t TotalBytes() const { return m_totalBytes; }
    int EntryCount() const;

    // Extracts every named entry below destination (created as needed),
    // in archive order. An entry that fails is noted and the rest go on.
    Result Extract(const std::string& destination, const ManualResetEvent& cancel, const Progress& progress);
    // "name: reason" for each entry that could not be extracted.
    const std::vector<std::string>& Failures() const { return m_failures; }
    // Entries (by archive name) that Extract leaves alone: files the user
    // chose to keep.
    void SetSkipped(std::set<std::string> names) { m_skipped = std::move(names); }
    // The entries the last Extract wrote.
    int Written() const { return m_written; }

    void Close();

    // The percentage a progress bar shows: 100 when there is nothing to count.
    static int Percent(uint64_t doneBytes, uint64_t totalBytes);

private:
    std::unique_ptr<GAME::Archive> m_archive;
    uint64_t m_totalBytes = 0;
    std::string m_lastError;
    std::vector<std::string> m_failures;
    std::set<std::string> m_skipped;
    int m_written = 0;
};

} // namespace mw
