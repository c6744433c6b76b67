// modwright-cli: the operations of the tool for scripts and CI, with the same
// switches and Tools.ini handling as modwright.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace mw {

struct AppEnvironment;

// Runs one command; the process exit status (0 on success, 1 when the
// operation failed or counted errors, 2 for a usage error).
int RunCommandLineTool(const std::vector<std::string>& arguments, const AppEnvironment& environment,
                       std::ostream& errorOut);

} // namespace mw
