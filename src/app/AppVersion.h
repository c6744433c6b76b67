// The version of the tool, as --version prints it and the package names it.
#pragma once

namespace mw {

const char* AppVersion();

} // namespace mw
