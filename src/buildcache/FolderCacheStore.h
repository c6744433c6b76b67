// Cache entries as files in a folder: the local cache (with a size limit and
// least-recently-used eviction) or a shared folder that several machines
// mount (no limit: its owner prunes it).
#pragma once

#include "ICacheStore.h"

#include <cstdint>
#include <mutex>

namespace mw {

class FolderCacheStore : public ICacheStore
{
public:
    // folder ends in a separator or not; sizeLimit 0: no limit.
    FolderCacheStore(std::string folder, uint64_t sizeLimit);

    std::string Describe() const override { return m_folder; }
    CacheStoreResult Fetch(const std::string& key, std::string& bytes, std::string& problem) override;
    CacheStoreResult Store(const std::string& key, const std::string& bytes, std::string& problem) override;
    void Discard(const std::string& key) override;

    // Removes the least recently used entries until the folder holds at
    // most 90% of the limit (nothing without a limit); the bytes removed.
    uint64_t Evict();
    // The bytes of all entries, counted anew.
    uint64_t CountBytes() const;

private:
    std::string EntryFile(const std::string& key) const { return m_folder + CacheEntryPath(key); }

    std::string m_folder;
    uint64_t m_sizeLimit;
    std::mutex m_mutex;
    // Known size of the folder's entries; counted on the first store.
    bool m_counted = false;
    uint64_t m_bytes = 0;
};

} // namespace mw
