// Hands what the source-control library reports to a tool context's log:
// quiet mode has no main window to take those messages.
#pragma once

#include "context/IToolContext.h"
#include "platform/sourcecontrol/SourceControlLog.h"

namespace mw {

class ContextSourceControlLog final : public SourceControlLog
{
public:
    explicit ContextSourceControlLog(IToolContext& context) : m_context(context) {}
    void Log(const std::string& text, bool line, bool error) override { m_context.Log(text, line, error); }

private:
    IToolContext& m_context;
};

} // namespace mw
