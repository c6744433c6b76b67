// Whether the process's standard error is a terminal, where progress can be
// drawn in place instead of written as lines.
#pragma once

namespace mw {

bool StandardErrorIsTerminal();

} // namespace mw
