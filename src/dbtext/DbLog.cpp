// Logging without or with a log object.
#include "DbLog.h"

#include "context/IToolContext.h"

#include <cstdio>

namespace mw {

void LogLine(IToolContext* log, const std::string& text, bool error)
{
    if (log)
        log->Log(text, true, error);
    else
    {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
}

} // namespace mw
