// Where build cache entries live: a folder (the local cache or a mounted
// share) or a server that takes files by PUT and serves them by GET. Entries
// are opaque bytes here; BuildCache encodes and checks them.
#pragma once

#include <string>

namespace mw {

enum class CacheStoreResult
{
    Done,        // fetched or stored
    Missing,     // no entry for the key
    Failed,      // this entry or request failed; the store is still usable
    Unreachable, // the store does not answer; skip it for the rest of the build
};

class ICacheStore
{
public:
    virtual ~ICacheStore() = default;
    // What the log calls the store: its folder or address, never credentials.
    virtual std::string Describe() const = 0;
    // key: 64 lower-case hex digits.
    virtual CacheStoreResult Fetch(const std::string& key, std::string& bytes, std::string& problem) = 0;
    virtual CacheStoreResult Store(const std::string& key, const std::string& bytes, std::string& problem) = 0;
    // Drops an entry found damaged, where the store allows it.
    virtual void Discard(const std::string& key) { (void)key; }
};

// "ab/cdef...": entries spread over 256 sub-folders by their first two
// digits, the layout other build caches' folder and HTTP backends use.
inline std::string CacheEntryPath(const std::string& key) { return key.substr(0, 2) + "/" + key.substr(2); }

} // namespace mw
