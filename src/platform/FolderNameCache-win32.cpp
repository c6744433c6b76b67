// The folder name cache on Windows: the file system already ignores case,
// so a lookup asks it for the spelling on disk and nothing is kept.
#include "FolderNameCache.h"

#include "PathRules.h"
#include "WideText-win32.h"

#include <windows.h>

namespace mw {

FolderNameCache& FolderNameCache::Shared()
{
    static FolderNameCache cache;
    return cache;
}

void FolderNameCache::AddName(Listing& listing, const std::string& name)
{
    listing.names.insert(name);
    listing.byLowerName.emplace(ToLowerAscii(name), name);
}

bool FolderNameCache::Refresh(const std::string&, Listing&) { return false; }

bool FolderNameCache::Find(const std::string& folder, const std::string& name, std::string& actual)
{
    std::string probe = folder.empty() ? name : WithTrailingSeparator(folder) + name;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(NativePath(probe).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(search);
    actual = FromWide(found.cFileName);
    return true;
}

void FolderNameCache::NoteCreated(const std::string&) {}

void FolderNameCache::NoteRemoved(const std::string&) {}

} // namespace mw
