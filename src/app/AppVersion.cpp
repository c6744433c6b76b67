// The version comes from the project's version in CMake.
#include "AppVersion.h"

namespace mw {

const char* AppVersion() { return MW_VERSION_TEXT; }

} // namespace mw
