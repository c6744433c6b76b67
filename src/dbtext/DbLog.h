// Log lines of the record and template code: through the tool context when
// there is one, else to standard output.
#pragma once

#include <string>

namespace mw {

class IToolContext;

void LogLine(IToolContext* log, const std::string& text, bool error = false);

} // namespace mw
