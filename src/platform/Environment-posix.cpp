// POSIX environment variables and the XDG cache folder.
#include "Environment.h"

#include <cstdlib>

namespace mw {

std::optional<std::string> EnvironmentValue(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    if (!value)
        return std::nullopt;
    return std::string(value);
}

void RemoveFromEnvironment(const std::string& name) { ::unsetenv(name.c_str()); }

std::string UserCacheFolder()
{
    std::optional<std::string> cache = EnvironmentValue("XDG_CACHE_HOME");
    if (cache && !cache->empty() && (*cache)[0] == '/')
        return *cache;
    std::optional<std::string> home = EnvironmentValue("HOME");
    if (home && !home->empty())
        return *home + "/.cache";
    return std::string();
}

std::optional<std::string> TakeEnvironmentVariable(const std::string& name)
{
    std::optional<std::string> value = EnvironmentValue(name);
    if (value)
        RemoveFromEnvironment(name);
    return value;
}

} // namespace mw
