// Folder cache entries. Entries are written through a temporary file and a
// rename, so a reader on another machine never sees half an entry; a hit
// renews the entry's time, which orders the eviction.
#include "FolderCacheStore.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace mw {
namespace {

struct StoredEntry
{
    std::string path;
    FileTime lastWrite;
    uint64_t size = 0;
};

// Entry files are named by hex digits; temporary files left by a crash start
// with a dot and are counted and removed too.
void CollectEntries(const std::string& folder, std::vector<StoredEntry>& files)
{
    std::vector<FolderEntry> subfolders;
    if (!ListFolder(folder, subfolders))
        return;
    for (const FolderEntry& subfolder : subfolders)
    {
        if (!subfolder.isFolder || subfolder.name.size() != 2)
            continue;
        std::vector<FolderEntry> entries;
        if (!ListFolder(folder + subfolder.name, entries))
            continue;
        for (const FolderEntry& entry : entries)
        {
            if (entry.isFolder)
                continue;
            StoredEntry file;
            file.path = folder + subfolder.name + "/" + entry.name;
            FileInfo info;
            if (!GetFileInfo(file.path, info))
                continue;
            file.lastWrite = info.lastWrite;
            file.size = info.size;
            files.push_back(std::move(file));
        }
    }
}

FileTime Now()
{
    auto since = std::chrono::system_clock::now().time_since_epoch();
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds);
    return FileTimeFromUnix(seconds.count(), nanoseconds.count());
}

} // namespace

FolderCacheStore::FolderCacheStore(std::string folder, uint64_t sizeLimit)
    : m_folder(WithTrailingSeparator(std::move(folder))), m_sizeLimit(sizeLimit)
{
}

CacheStoreResult FolderCacheStore::Fetch(const std::string& key, std::string& bytes, std::string& problem)
{
    std::string path = EntryFile(key);
    // Read at once: a hit costs no separate look at the file first.
    if (!ReadWholeFile(path, bytes))
    {
        problem = "cannot read " + path + ": " + LastErrorText();
        return PathExists(path) ? CacheStoreResult::Failed : CacheStoreResult::Missing;
    }
    if (m_sizeLimit != 0)
        SetLastWriteTime(path, Now());
    return CacheStoreResult::Done;
}

CacheStoreResult FolderCacheStore::Store(const std::string& key, const std::string& bytes, std::string& problem)
{
    std::string path = EntryFile(key);
    // The entry's sub-folder usually exists: it is made only when the first
    // write fails.
    bool written = WriteFileAtomic(path, bytes) || (EnsureFolders(ParentPath(path)) && WriteFileAtomic(path, bytes));
    if (!written)
    {
        problem = "cannot write " + path + ": " + LastErrorText();
        // A cache folder that cannot be made, or that takes no new files,
        // will not take the next entry either.
        std::string entryFolder = ParentPath(path);
        bool usable = IsFolder(m_folder) && CanCreateFileIn(m_folder) &&
                      (!IsFolder(entryFolder) || CanCreateFileIn(entryFolder));
        return usable ? CacheStoreResult::Failed : CacheStoreResult::Unreachable;
    }
    if (m_sizeLimit == 0)
        return CacheStoreResult::Done;
    bool overLimit = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_counted)
        {
            m_bytes = CountBytes();
            m_counted = true;
        }
        else
            m_bytes += bytes.size();
        overLimit = m_bytes > m_sizeLimit;
    }
    if (overLimit)
        Evict();
    return CacheStoreResult::Done;
}

void FolderCacheStore::Discard(const std::string& key) { RemoveFile(EntryFile(key)); }

uint64_t FolderCacheStore::CountBytes() const
{
    std::vector<StoredEntry> files;
    CollectEntries(m_folder, files);
    uint64_t total = 0;
    for (const StoredEntry& file : files)
        total += file.size;
    return total;
}

uint64_t FolderCacheStore::Evict()
{
    if (m_sizeLimit == 0)
        return 0;
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<StoredEntry> files;
    CollectEntries(m_folder, files);
    uint64_t total = 0;
    for (const StoredEntry& file : files)
        total += file.size;
    std::sort(files.begin(), files.end(),
              [](const StoredEntry& a, const StoredEntry& b) { return a.lastWrite.value < b.lastWrite.value; });
    uint64_t target = m_sizeLimit / 10 * 9;
    uint64_t removed = 0;
    for (const StoredEntry& file : files)
    {
        if (total - removed <= target)
            break;
        if (RemoveFile(file.path))
            removed += file.size;
    }
    m_bytes = total - removed;
    m_counted = true;
    return removed;
}

} // namespace mw
