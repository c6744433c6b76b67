// Makes the backend that serves a network database (a repository URL).
#pragma once

#include "ISourceControlBackend.h"

#include <memory>
#include <string>

namespace mw {

// The variable that may hold the server password. The application takes it
// out of its environment at start, so that no program it starts sees it.
constexpr const char* kNetworkPasswordVariable = "MODWRIGHT_SVN_PASSWORD";

// password: empty to take it from Subversion's own credential store.
// Null when database names nothing a backend can serve.
std::unique_ptr<ISourceControlBackend> MakeNetworkBackend(const std::string& database, const std::string& password);

} // namespace mw
