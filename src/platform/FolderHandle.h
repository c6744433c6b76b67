// An open folder in which files are looked at by name, without the system
// walking the whole path each time. Meant for one pass over a folder; it
// sees the folder it opened even if that folder is renamed meanwhile.
#pragma once

#include "FileSystem.h"

#include <string>

namespace mw {

class FolderHandle
{
public:
    FolderHandle() = default;
    ~FolderHandle() { Close(); }
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    // Opens the folder (found without regard to case); false when it does not exist.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    // The entry named exactly so; false when there is none or no folder is open.
    bool Stat(const std::string& name, FileInfo& info) const;

private:
    int m_fd = -1;
    // The folder itself where the system has no descriptor of it (Windows).
    std::string m_path;
};

} // namespace mw
