// The process environment: reading a variable, taking a secret out of it so
// that no program the tool starts inherits it, and the user's cache folder.
#pragma once

#include <optional>
#include <string>

namespace mw {

// The variable's value, or nothing when it is not set.
std::optional<std::string> EnvironmentValue(const std::string& name);
// Removes the variable from this process's environment (and so from every
// program started after this call).
void RemoveFromEnvironment(const std::string& name);
// The folder for the user's non-essential cached data: $XDG_CACHE_HOME or
// $HOME/.cache on POSIX, the local application-data folder on Windows. No
// trailing separator; empty when none is known.
std::string UserCacheFolder();
// The value of the variable, which is then removed from this process's
// environment, so that no program started later inherits it. Nothing when
// it is not set. Call before other threads start.
std::optional<std::string> TakeEnvironmentVariable(const std::string& name);

} // namespace mw
