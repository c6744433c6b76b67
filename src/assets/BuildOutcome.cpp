// Outcome lines of a build.
#include "BuildOutcome.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <functional>

namespace mw {
namespace {

std::string Counted(int count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

size_t ContentHash(const std::string& path)
{
    std::string bytes;
    return ReadWholeFile(path, bytes) ? std::hash<std::string>()(bytes) : 0;
}

} // namespace

void BuildOutcome::Begin(const std::string& databaseArchivePath)
{
    *this = BuildOutcome();
    m_archivePath = databaseArchivePath;
    m_hadArchive = GetLastWriteTime(databaseArchivePath, m_archiveTime);
    if (m_hadArchive)
        m_archiveHash = ContentHash(databaseArchivePath);
}

void BuildOutcome::End(int errors, unsigned warnings, bool cancelled)
{
    m_errors = errors;
    m_cancelled = m_cancelled || cancelled;
    FileTime now;
    bool hasArchive = GetLastWriteTime(m_archivePath, now);
    // A database compile may write the same archive again: only other bytes count.
    bool databaseChanged = hasArchive != m_hadArchive ||
                           (hasArchive && now.value != m_archiveTime.value && ContentHash(m_archivePath) != m_archiveHash);
    m_line = LineFor(m_compiled, m_done, m_total, errors, warnings, m_cancelled, databaseChanged);
}

std::string BuildOutcome::LineFor(int compiled, int done, int total, int errors, unsigned warnings, bool cancelled,
                                  bool databaseChanged)
{
    if (cancelled)
        return Format("Build stopped by user after %d of %d assets", done, total) +
               (errors > 0 ? ", " + Counted(errors, "error", "errors") : std::string());
    std::string warningText = warnings > 0 ? ", " + Counted(int(warnings), "warning", "warnings") : std::string();
    if (errors > 0)
        return "Build failed: " + Counted(errors, "error", "errors") + warningText + " (" +
               Counted(compiled, "asset", "assets") + " compiled)";
    if (compiled == 0 && !databaseChanged)
        return "Nothing to build" + (warnings > 0 ? " (" + Counted(int(warnings), "warning", "warnings") + ")"
                                                  : std::string());
    return Format("Build: %d compiled, 0 errors", compiled) + warningText +
           (databaseChanged ? ", database archive written" : "");
}

} // namespace mw
