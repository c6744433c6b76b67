// The command-line tool's source-control commands: sync, status, checkout,
// checkin, revert, resolve and add, for scripts and CI.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace mw {

class CModwrightApp;

// True for the names RunSourceControlCommand serves.
bool IsSourceControlCommand(const std::string& command);

// The lines of the tool's usage text that describe these commands.
extern const char* const kSourceControlUsage;

// Runs one source-control command; the exit status (0 success, 1 when a
// file's step failed, 2 a usage error, reported on errorOut).
int RunSourceControlCommand(CModwrightApp& app, const std::string& command, const std::vector<std::string>& arguments,
                            std::ostream& out, std::ostream& errorOut);

} // namespace mw
