// Checking standard output at the end of a run.
#include "StandardOutputCheck.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

namespace mw {

bool StandardOutputFailed(std::ostream& out, std::string& reason)
{
    // The stream's bad bit and the C stream's error flag stay set once a
    // write failed; the C stream keeps the bytes it could not write, so
    // flushing it again tells why.
    errno = 0;
    out.flush();
    int error = errno;
    bool failed = std::fflush(stdout) != 0;
    if (error == 0)
        error = errno;
    failed = failed || std::ferror(stdout) != 0 || !out.good();
    if (!failed)
        return false;
    reason = error != 0 ? std::strerror(error) : "write error";
    return true;
}

} // namespace mw
