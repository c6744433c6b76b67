// Reads resource archives (.arc). The format is shared with the ArcPack tool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace GAME {

struct FileEntry
{
    const char* name = nullptr; // may be null
    uint32_t size = 0;          // bytes
};

class Archive
{
public:
    Archive();
    ~Archive();

    // mode 1: read. True on success.
    bool Open(const char* path, int mode);
    int GetNumFiles() const;
    FileEntry GetFileEntry(int index) const;
    // Fills indexes with the entries whose name ends with ending; the count.
    int FindMatchingFilesEnd(std::vector<int>& indexes, const char* ending) const;
    // The entry lands at folder + entry name; the caller creates the folders.
    bool ExtractFileToDisk(int index, const char* folder) const;
    void Close(bool flush);

private:
    struct Impl;
    Impl* m_impl;
};

} // namespace GAME
