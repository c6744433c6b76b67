// The log interface through which the source-control library reports: one
// operation taking the text, a line flag and an error flag.
#pragma once

#include <string>

namespace mw {

class SourceControlLog
{
public:
    virtual void Log(const std::string& text, bool line, bool error) = 0;

protected:
    ~SourceControlLog() = default;
};

} // namespace mw
