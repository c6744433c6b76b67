// The scripted source-control backend.
#include "ScriptedBackend.h"

namespace mw::test {

int ScriptedBackend::GetFileStatus(const std::string& path, FileStatus& status)
{
    int result = LocalSourceControlBackend::GetFileStatus(path, status);
    auto held = heldBy.find(path);
    if (held != heldBy.end())
    {
        status.outToUser = true;
        status.userName = held->second;
        return 0;
    }
    return result;
}

int ScriptedBackend::CheckOutFile(const std::string& path, bool lock)
{
    calls.push_back("out " + path);
    logsAtCheckOut.push_back(currentLog);
    auto scripted = checkOutResults.find(path);
    if (scripted != checkOutResults.end())
        return scripted->second;
    return LocalSourceControlBackend::CheckOutFile(path, lock);
}

bool ScriptedBackend::CheckInFile(const std::string& path, const std::string&)
{
    calls.push_back("in " + path);
    return !failCheckIns;
}

} // namespace mw::test
