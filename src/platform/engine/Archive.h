// Reads resource archives (.arc). The format is shared with the ArcPack tool.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace GAME {

struct FileEntry
{
    const char* name = nullptr; // null for an entry whose name is unsafe to extract
    uint32_t size = 0;          // bytes
};

class Archive
{
public:
    Archive();
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // mode 1: read. True on success; a file that is not a sound archive fails.
    bool Open(const char* path, int mode);
    int GetNumFiles() const;
    // An index out of range gives an entry without a name and size 0.
    FileEntry GetFileEntry(int index) const;
    // Fills indexes with the entries whose name ends with ending (ignoring
    // ASCII case); the count.
    int FindMatchingFilesEnd(std::vector<int>& indexes, const char* ending) const;
    // The entry lands at folder + entry name. Folders below folder are
    // created as needed; nothing is ever written outside folder.
    bool ExtractFileToDisk(int index, const char* folder) const;
    // Why the last Open or ExtractFileToDisk failed.
    const std::string& LastError() const;
    void Close(bool flush);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace GAME
