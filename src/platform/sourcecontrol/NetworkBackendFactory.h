// Makes the backend that serves a network database (a repository URL).
#pragma once

#include "ISourceControlBackend.h"

#include <memory>
#include <string>

namespace mw {

// The password comes from the environment variable MODWRIGHT_SVN_PASSWORD
// when it is set, otherwise from Subversion's own credential store.
// Null when database names nothing a backend can serve.
std::unique_ptr<ISourceControlBackend> MakeNetworkBackend(const std::string& database);

} // namespace mw
