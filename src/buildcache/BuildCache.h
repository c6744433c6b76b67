// The build cache: compiled outputs keyed by a hash of everything that
// decides their bytes, looked up in a local folder first and then in a
// shared folder or HTTP server, and stored in both after a compile. Any
// problem with an entry or a store is a miss with a warning, never a failure.
#pragma once

#include "ICacheStore.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace mw {

struct CacheCredentials;

struct BuildCacheSettings
{
    std::string localFolder;      // empty: no local cache
    // Why the local cache asked for cannot be had (no user cache folder);
    // warned about once in every build that uses the cache.
    std::string localProblem;
    uint64_t localLimitBytes = 0; // 0: no limit
    std::string shared;           // a folder or "http://..."; empty: none
    bool readOnly = false;        // the shared cache is only read
    int waitSeconds = 3;          // how long a server may keep us waiting
};

class BuildCache
{
public:
    using Warn = std::function<void(const std::string&)>;

    // localProblem: why there is no local store although one was asked for.
    BuildCache(std::unique_ptr<ICacheStore> local, std::unique_ptr<ICacheStore> shared, bool readOnly,
               std::string localProblem = std::string());

    // The cache the settings describe; null, with the reason in problem, when
    // the shared address is malformed. credentials are used for an HTTP one.
    static std::unique_ptr<BuildCache> Open(const BuildCacheSettings& settings, const CacheCredentials& credentials,
                                            std::string& problem);

    // A new build: counts back to 0, a local or shared cache skipped during
    // the last build is tried again.
    void BeginBuild();
    // Writes the entry's output to outputPath (through a temporary file and
    // a rename) and gives its compiler's exit code; false on a miss. A hit in
    // the shared cache is copied into the local one.
    bool Fetch(const std::string& key, const std::string& outputPath, uint32_t& exitCode, const Warn& warn);
    // Stores the compiled output: locally, and in the shared cache unless it
    // is read-only or skipped for this build.
    void Store(const std::string& key, const std::string& outputPath, uint32_t exitCode, const Warn& warn);

    int Hits() const;
    int Misses() const;
    // False once this build has no level left to use (the local one skipped,
    // and no shared one or that skipped too): its counts then say nothing.
    bool Usable() const;
    bool HasShared() const { return m_shared != nullptr; }
    std::string DescribeShared() const { return m_shared ? m_shared->Describe() : std::string(); }

    // The SHA-256 of a file, remembered by its path, size and time so that a
    // compiler run for every asset is hashed once per build; empty when it
    // cannot be read.
    std::string HashOfFile(const std::string& path);

private:
    // Fetches and checks one store's entry; false on a miss.
    bool FetchFrom(ICacheStore& store, bool shared, const std::string& key, std::string& bytes, uint32_t& exitCode,
                   std::string& payload, const Warn& warn);
    void NoteUnreachable(const std::string& problem, const Warn& warn);
    // A local cache folder that cannot take entries (it cannot be made, or
    // is not writable) is warned about once and left alone for the rest of
    // the build.
    void StoreLocally(const std::string& key, const std::string& bytes, const Warn& warn);
    bool LocalSkipped() const;

    std::unique_ptr<ICacheStore> m_local;
    std::unique_ptr<ICacheStore> m_shared;
    bool m_readOnly;
    std::string m_localProblem;

    mutable std::mutex m_mutex;
    bool m_sharedSkipped = false;
    bool m_localSkipped = false;
    int m_hits = 0;
    int m_misses = 0;
    struct FileHash
    {
        uint64_t size = 0;
        uint64_t lastWrite = 0;
        std::string hash;
    };
    std::map<std::string, FileHash> m_fileHashes;
};

} // namespace mw
