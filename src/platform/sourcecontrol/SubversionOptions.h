// Settings of the Subversion backend that do not come from the interface.
#pragma once

#include <string>

namespace mw {

struct SubversionOptions
{
    // Subversion's configuration and credential folder; empty for its default.
    std::string configFolder;
    // The password; empty to take it from Subversion's own credential store.
    std::string password;
    // How long a server call may go without progress before it is cut off.
    unsigned deadlineMs = 20000;
    // How long opening a connection to an svn:// server may take.
    unsigned connectTimeoutMs = 5000;
    // How long a folder's listing answers status questions before it is asked again.
    unsigned statusCacheMs = 1000;
};

} // namespace mw
