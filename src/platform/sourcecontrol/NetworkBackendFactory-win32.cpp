// Network mode in the Windows build: there is no Subversion backend here yet,
// so a network database is refused with a line that says why.
#include "NetworkBackendFactory.h"

#include <cstdio>

namespace mw {

std::unique_ptr<ISourceControlBackend> MakeNetworkBackend(const std::string&, const std::string&)
{
    std::fputs("Network mode (-network) is not available in the Windows build yet; work without -network.\n", stderr);
    std::fflush(stderr);
    return nullptr;
}

} // namespace mw
