// Windows shows its paths with '\'.
#include "NativePaths.h"

namespace mw {

char NativeSeparator() { return '\\'; }

} // namespace mw
