// Remembers the names in folders for case-insensitive lookups, so that
// resolving many missing paths in one folder does not list it again each
// time. A listing is trusted while the folder's modification time is
// unchanged; the file-system functions report their own creations and
// removals, so writing many new files into one folder stays cheap.
#pragma once

#include <ctime>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace mw {

class FolderNameCache
{
public:
    // The process-wide cache the file-system functions share.
    static FolderNameCache& Shared();

    // The entry of folder whose name equals name without regard to ASCII
    // case (the exact name when present, else the first in sorted order).
    bool Find(const std::string& folder, const std::string& name, std::string& actual);
    // nativePath was just created, or removed, by this process.
    void NoteCreated(const std::string& nativePath);
    void NoteRemoved(const std::string& nativePath);

private:
    struct Listing
    {
        timespec modified{};
        // A listing taken while the folder had just changed may miss a
        // change made in the same clock tick, which leaves the time as it
        // was; such a listing is used once and then taken again.
        bool trusted = false;
        std::unordered_set<std::string> names;
        std::unordered_map<std::string, std::string> byLowerName;
    };

    static void AddName(Listing& listing, const std::string& name);
    bool Refresh(const std::string& folder, Listing& listing);

    std::mutex m_mutex;
    std::unordered_map<std::string, Listing> m_folders;
};

} // namespace mw
