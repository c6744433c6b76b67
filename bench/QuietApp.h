// The application object of a benchmark: no window, its output and messages
// discarded, working on a generated workspace.
#pragma once

#include "NullStream.h"
#include "WorkspaceGenerator.h"
#include "app/CModwrightApp.h"
#include "app/ConsolePrompt.h"

#include <string>

namespace mw::bench {

class QuietApp
{
public:
    QuietApp(const std::string& root, const GeneratedWorkspace& workspace)
        : m_prompt(m_discard), m_environment{root, root, &m_discard, &m_prompt, {}, {}}, app(m_environment)
    {
        app.SetLocalDir(workspace.workingDir, false);
        app.SetBuildDir(workspace.buildDir);
    }

private:
    // Before the application, which keeps pointers to them.
    NullStream m_discard;
    ConsolePrompt m_prompt;
    AppEnvironment m_environment;

public:
    CModwrightApp app;
};

} // namespace mw::bench
