// Checking standard output at the end of a run.
#include "StandardOutputCheck.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>

namespace mw {

bool StandardOutputFailed(std::ostream& out, std::string& reason)
{
    out.flush();
    errno = 0;
    // The stream's bad bit stays set once a write failed; the C stream keeps
    // the bytes it could not write, so flushing it again tells why.
    bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || !out.good();
    if (!failed)
        return false;
    int error = errno;
    if (error == 0)
    {
        std::fflush(stdout);
        error = errno;
    }
    reason = error != 0 ? std::strerror(error) : "write error";
    return true;
}

} // namespace mw
