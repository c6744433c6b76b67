// POSIX terminal test.
#include "Terminal.h"

#include <unistd.h>

namespace mw {

bool StandardErrorIsTerminal() { return ::isatty(2) == 1; }

} // namespace mw
