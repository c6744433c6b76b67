// POSIX paths separate their folders with '/'.
#include "NativePaths.h"

namespace mw {

char NativeSeparator() { return '/'; }

} // namespace mw
