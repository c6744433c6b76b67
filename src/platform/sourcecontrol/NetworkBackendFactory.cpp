// The network backend factory: repository URLs go to the Subversion backend.
#include "NetworkBackendFactory.h"

#include "SubversionBackend.h"

#include <cstdlib>

namespace mw {

std::unique_ptr<ISourceControlBackend> MakeNetworkBackend(const std::string& database)
{
    static const char* const kSchemes[] = {"svn://", "svn+ssh://", "file://", "http://", "https://"};
    bool isUrl = false;
    for (const char* scheme : kSchemes)
        isUrl = isUrl || database.rfind(scheme, 0) == 0;
    if (!isUrl)
        return nullptr;
    SubversionOptions options;
    if (const char* password = std::getenv("MODWRIGHT_SVN_PASSWORD"))
        options.password = password;
    return std::make_unique<SubversionBackend>(options);
}

} // namespace mw
