// The process's own environment variables.
#pragma once

#include <optional>
#include <string>

namespace mw {

// The value of the variable, which is then removed from this process's
// environment, so that no program started later inherits it. Nothing when
// it is not set. Call before other threads start.
std::optional<std::string> TakeEnvironmentVariable(const std::string& name);

} // namespace mw
