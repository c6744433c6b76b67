// The network backend factory: every database goes to the Subversion
// backend, which also tells why one that is no repository URL cannot be used.
#include "NetworkBackendFactory.h"

#include "SubversionBackend.h"

namespace mw {

std::unique_ptr<ISourceControlBackend> MakeNetworkBackend(const std::string&, const std::string& password)
{
    SubversionOptions options;
    options.password = password;
    return std::make_unique<SubversionBackend>(options);
}

} // namespace mw
