// The [Cache] section of Tools.ini.
#include "CacheOptions.h"

#include "platform/Environment.h"
#include "platform/PathRules.h"
#include "platform/ProfileFile.h"

namespace mw {

CacheOptions ReadCacheOptions(const std::string& iniPath)
{
    CacheOptions options;
    options.local = ReadProfileString("Cache", "local", "", iniPath);
    options.localSizeMiB = ReadProfileInt("Cache", "localsize", options.localSizeMiB, iniPath);
    options.shared = ReadProfileString("Cache", "shared", "", iniPath);
    options.readOnly = ReadProfileInt("Cache", "readonly", 0, iniPath) != 0;
    return options;
}

bool WriteCacheOptions(const CacheOptions& options, const std::string& iniPath)
{
    bool ok = WriteProfileString("Cache", "local", options.local, iniPath);
    ok = WriteProfileString("Cache", "localsize", std::to_string(options.localSizeMiB), iniPath) && ok;
    ok = WriteProfileString("Cache", "shared", options.shared, iniPath) && ok;
    return WriteProfileString("Cache", "readonly", options.readOnly ? "1" : "0", iniPath) && ok;
}

std::string DefaultLocalCacheFolder()
{
    std::string folder = UserCacheFolder();
    return folder.empty() ? std::string() : folder + "/modwright/build";
}

BuildCacheSettings ToCacheSettings(const CacheOptions& options)
{
    BuildCacheSettings settings;
    if (!EqualsNoCase(options.local, "off"))
        settings.localFolder = options.local.empty() ? DefaultLocalCacheFolder() : options.local;
    if (!EqualsNoCase(options.local, "off") && settings.localFolder.empty())
        settings.localProblem = "there is no user cache folder (neither HOME nor XDG_CACHE_HOME is set); give one "
                                "in local= of the [Cache] section";
    settings.localLimitBytes = options.localSizeMiB > 0 ? uint64_t(options.localSizeMiB) << 20 : 0;
    settings.shared = options.shared;
    settings.readOnly = options.readOnly;
    return settings;
}

} // namespace mw
