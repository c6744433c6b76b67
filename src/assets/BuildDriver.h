// The build driver: Build and Rebuild All compile every out-of-date asset and
// then the database, and report error and warning counts and the build time.
#pragma once

namespace mw {

class IWorkspaceContext;

class BuildDriver
{
public:
    explicit BuildDriver(IWorkspaceContext& context) : m_context(context) {}

    // Build (force false) or Rebuild All (force true); the error count.
    int BuildAll(bool force, bool beginOperation);

    unsigned WarningCount() const { return m_warnings; }

private:
    IWorkspaceContext& m_context;
    unsigned m_warnings = 0;
};

} // namespace mw
