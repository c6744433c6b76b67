// What source control knows of one file on the server.
#pragma once

#include <string>

namespace mw {

struct FileStatus
{
    bool outToUser = false;      // checked out (locked) by someone
    std::string userName;        // who holds it, when outToUser
    int serverVersion = 0;       // shown as "%d"
    unsigned serverChecksum = 0; // shown as "0x%X"
    bool conflicted = false;     // a sync left the local copy in conflict
};

// The local copy's version, as GetClientFileVersion reports it.
struct FileVersion
{
    int version = 0;
    unsigned checksum = 0;
};

// One file of a folder with what GetFileStatus and GetClientFileVersion
// answer for it.
struct FolderFileState
{
    std::string name;     // below the folder
    int statusResult = 1; // GetFileStatus's result
    FileStatus status;
    FileVersion local;
};

} // namespace mw
