// The two-level build cache.
#include "BuildCache.h"

#include "CacheCredentials.h"
#include "CacheEntry.h"
#include "FolderCacheStore.h"
#include "HttpCacheStore.h"
#include "Sha256.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {

BuildCache::BuildCache(std::unique_ptr<ICacheStore> local, std::unique_ptr<ICacheStore> shared, bool readOnly,
                       std::string localProblem)
    : m_local(std::move(local)), m_shared(std::move(shared)), m_readOnly(readOnly),
      m_localProblem(std::move(localProblem))
{
}

std::unique_ptr<BuildCache> BuildCache::Open(const BuildCacheSettings& settings, const CacheCredentials& credentials,
                                             std::string& problem)
{
    std::unique_ptr<ICacheStore> local;
    if (!settings.localFolder.empty())
        local = std::make_unique<FolderCacheStore>(settings.localFolder, settings.localLimitBytes);
    std::unique_ptr<ICacheStore> shared;
    if (FindNoCase(settings.shared, "://") != std::string::npos)
    {
        HttpAddress address;
        if (!ParseHttpAddress(settings.shared, address))
        {
            problem = "The shared cache address is not of the form http://host[:port]/path";
            return nullptr;
        }
        shared = std::make_unique<HttpCacheStore>(address, credentials, settings.waitSeconds);
    }
    else if (!settings.shared.empty())
        shared = std::make_unique<FolderCacheStore>(settings.shared, 0);
    std::string localProblem = local ? std::string() : settings.localProblem;
    return std::make_unique<BuildCache>(std::move(local), std::move(shared), settings.readOnly,
                                        std::move(localProblem));
}

void BuildCache::BeginBuild()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sharedSkipped = false;
    m_localSkipped = false;
    m_hits = 0;
    m_misses = 0;
    m_fileHashes.clear();
}

int BuildCache::Hits() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_hits;
}

int BuildCache::Misses() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_misses;
}

void BuildCache::NoteUnreachable(const std::string& problem, const Warn& warn)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_sharedSkipped)
            return;
        m_sharedSkipped = true;
    }
    warn("WARNING Shared cache not used for the rest of this build: " + problem);
}

bool BuildCache::Usable() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_localSkipped || (m_shared && !m_sharedSkipped);
}

bool BuildCache::LocalSkipped() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_localSkipped;
}

void BuildCache::StoreLocally(const std::string& key, const std::string& bytes, const Warn& warn)
{
    if (LocalSkipped())
        return;
    std::string problem = m_localProblem;
    CacheStoreResult result = CacheStoreResult::Unreachable;
    if (m_local)
        result = m_local->Store(key, bytes, problem);
    else if (problem.empty())
        return;
    if (result == CacheStoreResult::Done)
        return;
    if (result == CacheStoreResult::Unreachable)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_localSkipped)
                return;
            m_localSkipped = true;
        }
        warn("WARNING Local cache not used for the rest of this build: " + problem);
        return;
    }
    warn("WARNING Local cache not updated: " + problem);
}

bool BuildCache::FetchFrom(ICacheStore& store, bool shared, const std::string& key, std::string& bytes,
                           uint32_t& exitCode, std::string& payload, const Warn& warn)
{
    std::string problem;
    CacheStoreResult result = store.Fetch(key, bytes, problem);
    if (result == CacheStoreResult::Missing)
        return false;
    if (result == CacheStoreResult::Unreachable && shared)
    {
        NoteUnreachable(problem, warn);
        return false;
    }
    if (result != CacheStoreResult::Done)
    {
        warn("WARNING Cache entry " + key + " not read: " + problem);
        return false;
    }
    CacheEntry entry;
    if (!DecodeCacheEntry(bytes, entry, problem))
    {
        warn("WARNING Cache entry " + key + " in " + store.Describe() + " ignored: " + problem);
        store.Discard(key);
        return false;
    }
    exitCode = entry.exitCode;
    payload = std::move(entry.payload);
    return true;
}

bool BuildCache::Fetch(const std::string& key, const std::string& outputPath, uint32_t& exitCode, const Warn& warn)
{
    std::string bytes, payload;
    bool found = m_local && !LocalSkipped() && FetchFrom(*m_local, false, key, bytes, exitCode, payload, warn);
    bool fromShared = false;
    if (!found && m_shared)
    {
        bool skipped;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            skipped = m_sharedSkipped;
        }
        found = !skipped && FetchFrom(*m_shared, true, key, bytes, exitCode, payload, warn);
        fromShared = found;
    }
    if (found && !WriteBuiltOutput(outputPath, payload))
    {
        warn("WARNING Cached output not written to " + outputPath + ": " + LastErrorText());
        found = false;
    }
    if (found && fromShared)
        StoreLocally(key, bytes, warn);
    std::lock_guard<std::mutex> lock(m_mutex);
    ++(found ? m_hits : m_misses);
    return found;
}

void BuildCache::Store(const std::string& key, const std::string& outputPath, uint32_t exitCode, const Warn& warn)
{
    std::string payload;
    if (!ReadWholeFile(outputPath, payload))
    {
        warn("WARNING Output not cached, it cannot be read: " + outputPath);
        return;
    }
    std::string bytes = EncodeCacheEntry(payload, exitCode);
    StoreLocally(key, bytes, warn);
    if (!m_shared || m_readOnly)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_sharedSkipped)
            return;
    }
    std::string problem;
    CacheStoreResult result = m_shared->Store(key, bytes, problem);
    if (result == CacheStoreResult::Unreachable)
        NoteUnreachable(problem, warn);
    else if (result != CacheStoreResult::Done)
        warn("WARNING Shared cache not updated: " + problem);
}

std::string BuildCache::HashOfFile(const std::string& path)
{
    bool known;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        known = m_fileHashes.count(path) != 0;
    }
    // A file hashed before in this build (a compiler) is read again only
    // when its size or time changed; one seen for the first time (an asset,
    // a source) is read at once, its time taken from the open file.
    if (known)
    {
        FileInfo info;
        if (!GetFileInfo(path, info) || info.isFolder)
            return std::string();
        std::lock_guard<std::mutex> lock(m_mutex);
        const FileHash& hashed = m_fileHashes[path];
        if (hashed.size == info.size && hashed.lastWrite == info.lastWrite.value)
            return hashed.hash;
    }
    std::string bytes;
    FileTime lastWrite;
    if (!ReadWholeFile(path, bytes, lastWrite))
        return std::string();
    std::string hash = Sha256::HexOf(bytes);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fileHashes[path] = FileHash{bytes.size(), lastWrite.value, hash};
    return hash;
}

} // namespace mw
