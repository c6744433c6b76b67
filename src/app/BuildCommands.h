// The command-line tool's build commands: build, build-assets,
// build-archives, compact, resource-stats and delete-unassociated.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace mw {

class CModwrightApp;

// True for the names RunBuildCommand serves.
bool IsBuildCommand(const std::string& command);

// What is wrong with a build command's arguments ("unknown option '--x' for
// build"), or empty when RunBuildCommand takes them.
std::string BuildCommandArgumentProblem(const std::string& command, const std::vector<std::string>& arguments);

// The folder settings a build command cannot do without, checked before any
// work: an error line and false when one is not set.
bool BuildFoldersAreSet(CModwrightApp& app, std::ostream& errorOut);

// Runs one build command; the exit status (0 success, 1 failures counted,
// 2 a usage error).
int RunBuildCommand(CModwrightApp& app, const std::string& command, const std::vector<std::string>& arguments,
                    std::ostream& out, std::ostream& errorOut);

} // namespace mw
