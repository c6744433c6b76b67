// The build driver.
#include "BuildDriver.h"

#include "context/IWorkspaceContext.h"
#include "dbtools/DatabaseCompile.h"
#include "platform/Clock.h"
#include "platform/PathRules.h"

namespace mw {

int BuildDriver::BuildAll(bool force, bool beginOperation)
{
    if (beginOperation)
        m_context.BeginOperation();
    uint64_t start = TickCountMs();
    m_warnings = 0;
    // Compiling assets and deleting unassociated output come with the asset build.
    int errors = CompileDatabase(m_context, m_context.GetModPrefix() + "database/", force, false);
    uint64_t elapsed = TickCountMs() - start;
    if (errors != 0)
    {
        m_context.Log("", true, false);
        m_context.Log(Format("%d error(s) %d warning(s)", errors, int(m_warnings)), true, false);
    }
    else if (m_context.IsCancelled())
    {
        m_context.Log("Build cancelled by user", true, false);
        m_context.Log("", true, false);
    }
    m_context.Log("Build time " + FormatMinutesSeconds(elapsed), true, false);
    m_context.ResetCancel();
    m_context.EndOperation();
    return errors;
}

} // namespace mw
