// The build cache's settings in Tools.ini, section [Cache]: local=FOLDER
// (empty: below the user's cache folder; "off": no cache), localsize= in MiB,
// shared=FOLDER or shared=http://..., readonly=1 to only download.
#pragma once

#include "buildcache/BuildCache.h"

#include <string>

namespace mw {

struct CacheOptions
{
    std::string local;
    int localSizeMiB = 10240;
    std::string shared;
    bool readOnly = false;

    bool operator==(const CacheOptions&) const = default;
};

CacheOptions ReadCacheOptions(const std::string& iniPath);
bool WriteCacheOptions(const CacheOptions& options, const std::string& iniPath);

// The cache folder used when local= is empty.
std::string DefaultLocalCacheFolder();

// What the options ask of the cache; localFolder stays empty when the local
// cache is off, or when there is no user cache folder for the default one
// (localProblem then says so).
BuildCacheSettings ToCacheSettings(const CacheOptions& options);

} // namespace mw
