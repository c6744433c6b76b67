// Environment variables on POSIX systems.
#include "Environment.h"

#include <cstdlib>

namespace mw {

std::optional<std::string> TakeEnvironmentVariable(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    if (!value)
        return std::nullopt;
    std::string taken = value;
    ::unsetenv(name.c_str());
    return taken;
}

} // namespace mw
