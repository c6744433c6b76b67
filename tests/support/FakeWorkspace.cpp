// The workspace double.
#include "FakeWorkspace.h"

#include "dbarchive/DbArchive.h"

namespace mw::test {

FakeWorkspace::FakeWorkspace(const std::string& workingDir, const std::string& buildDir)
    : m_workingDir(workingDir), m_buildDir(buildDir)
{
    m_sourceControl.SetClientDirectory(workingDir);
}

FakeWorkspace::~FakeWorkspace() = default;

bool FakeWorkspace::RunTool(const std::string&, uint32_t& exitCode, const char*)
{
    exitCode = 0;
    return false;
}

void FakeWorkspace::Log(const std::string& text, bool line, bool error)
{
    if (onLog)
        onLog(text);
    log.push_back(LogLine{text, line, error});
}

std::vector<std::string> FakeWorkspace::Texts() const
{
    std::vector<std::string> texts;
    for (const LogLine& entry : log)
        texts.push_back(entry.text);
    return texts;
}

bool FakeWorkspace::HasLine(const std::string& text) const
{
    for (const LogLine& entry : log)
        if (entry.text == text)
            return true;
    return false;
}

int FakeWorkspace::ErrorLineCount() const
{
    int count = 0;
    for (const LogLine& entry : log)
        count += entry.error ? 1 : 0;
    return count;
}

} // namespace mw::test
