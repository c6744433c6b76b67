// The last line of a build and the status-bar message it leaves: how many
// assets were compiled out of how many, the errors and warnings, or how far
// it got before the user stopped it, or that there was nothing to build.
#pragma once

#include "platform/FileTime.h"

#include <cstddef>
#include <string>

namespace mw {

class BuildOutcome
{
public:
    // A build starts: counts go to zero and the database archive is noted,
    // so that a rewrite with other contents counts as something built.
    void Begin(const std::string& databaseArchivePath);
    // An asset found out of date and handed to its compiler (or copied).
    void CountCompiled() { ++m_compiled; }
    // The asset walk's position: done of total assets looked at.
    void SetProgress(int done, int total)
    {
        m_done = done;
        m_total = total;
    }
    // The user stopped the build (noted before the cancel event is reset).
    void MarkCancelled() { m_cancelled = true; }
    // The build ends; the outcome line is fixed from here on.
    void End(int errors, unsigned warnings, bool cancelled);

    // "Build: 3 compiled, 0 errors", "Build stopped by user after 14 of 80
    // assets", "Nothing to build", "Build failed: 2 errors, 1 warning".
    const std::string& Line() const { return m_line; }
    bool Failed() const { return m_errors > 0; }
    bool Cancelled() const { return m_cancelled; }
    int Compiled() const { return m_compiled; }
    int Errors() const { return m_errors; }

    // The line for the given counts (databaseChanged: the archive was written).
    static std::string LineFor(int compiled, int done, int total, int errors, unsigned warnings, bool cancelled,
                               bool databaseChanged);

private:
    std::string m_archivePath;
    bool m_hadArchive = false;
    FileTime m_archiveTime;
    size_t m_archiveHash = 0;
    int m_compiled = 0;
    int m_done = 0;
    int m_total = 0;
    int m_errors = 0;
    bool m_cancelled = false;
    std::string m_line;
};

} // namespace mw
