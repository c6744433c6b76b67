// Whether everything written to standard output reached it: a full disk, a
// closed pipe or /dev/full must not end a run with status 0.
#pragma once

#include <iosfwd>
#include <string>

namespace mw {

// Flushes out (and the C stream behind standard output); true when a write
// failed at any time during the run, with the system's reason in reason.
bool StandardOutputFailed(std::ostream& out, std::string& reason);

} // namespace mw
