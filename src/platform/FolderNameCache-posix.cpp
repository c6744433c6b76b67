// The folder name cache on POSIX.
#include "FolderNameCache.h"

#include "PathRules.h"

#include <dirent.h>
#include <sys/stat.h>

namespace mw {
namespace {

constexpr size_t kMaxFolders = 4096;
// How long ago a folder must have changed for a listing of it to be trusted.
constexpr int64_t kSettledNanoseconds = 50 * 1000 * 1000;

bool Modified(const std::string& folder, timespec& modified)
{
    struct stat info;
    if (::stat(folder.empty() ? "." : folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    modified = info.st_mtim;
    return true;
}

bool Same(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

void SplitNative(const std::string& nativePath, std::string& folder, std::string& name)
{
    std::string trimmed = nativePath;
    if (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    size_t slash = trimmed.rfind('/');
    folder = slash == std::string::npos ? std::string() : (slash == 0 ? "/" : trimmed.substr(0, slash));
    name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

} // namespace

FolderNameCache& FolderNameCache::Shared()
{
    static FolderNameCache cache;
    return cache;
}

void FolderNameCache::AddName(Listing& listing, const std::string& name)
{
    listing.names.insert(name);
    std::string lower = ToLowerAscii(name);
    auto it = listing.byLowerName.find(lower);
    if (it == listing.byLowerName.end())
        listing.byLowerName.emplace(lower, name);
    else if (LessNoCase(name, it->second))
        it->second = name;
}

bool FolderNameCache::Refresh(const std::string& folder, Listing& listing)
{
    if (!Modified(folder, listing.modified))
        return false;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return false;
    listing.names.clear();
    listing.byLowerName.clear();
    while (dirent* entry = ::readdir(dir))
        AddName(listing, entry->d_name);
    ::closedir(dir);
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    int64_t age = (int64_t(now.tv_sec) - listing.modified.tv_sec) * 1000000000LL + (now.tv_nsec - listing.modified.tv_nsec);
    listing.trusted = age >= kSettledNanoseconds;
    return true;
}

bool FolderNameCache::Find(const std::string& folder, const std::string& name, std::string& actual)
{
    timespec modified;
    if (!Modified(folder, modified))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_folders.find(folder);
    if (it == m_folders.end() || !Same(it->second.modified, modified) || !it->second.trusted)
    {
        if (m_folders.size() >= kMaxFolders)
            m_folders.clear();
        Listing& listing = m_folders[folder];
        if (!Refresh(folder, listing))
        {
            m_folders.erase(folder);
            return false;
        }
        it = m_folders.find(folder);
    }
    const Listing& listing = it->second;
    if (listing.names.count(name))
    {
        actual = name;
        return true;
    }
    auto match = listing.byLowerName.find(ToLowerAscii(name));
    if (match == listing.byLowerName.end())
        return false;
    actual = match->second;
    return true;
}

void FolderNameCache::NoteCreated(const std::string& nativePath)
{
    std::string folder;
    std::string name;
    SplitNative(nativePath, folder, name);
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_folders.find(folder);
    if (it == m_folders.end())
        return;
    if (!Modified(folder, it->second.modified))
    {
        m_folders.erase(it);
        return;
    }
    AddName(it->second, name);
    // The listing now holds this process's own change as well.
    it->second.trusted = true;
}

void FolderNameCache::NoteRemoved(const std::string& nativePath)
{
    std::string folder;
    std::string name;
    SplitNative(nativePath, folder, name);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_folders.erase(folder);
    std::string trimmed = nativePath;
    if (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    m_folders.erase(trimmed);
}

} // namespace mw
