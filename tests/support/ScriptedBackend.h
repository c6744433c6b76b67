// A source-control backend double: the local backend's file behaviour, with
// statuses, check-out results and check-in failures set per path, and every
// check-out and check-in recorded.
#pragma once

#include "platform/sourcecontrol/LocalSourceControlBackend.h"

#include <map>
#include <string>
#include <vector>

namespace mw::test {

class ScriptedBackend : public LocalSourceControlBackend
{
public:
    int GetFileStatus(const std::string& path, FileStatus& status) override;
    int CheckOutFile(const std::string& path, bool lock) override;
    bool CheckInFile(const std::string& path, const std::string& message) override;
    void SetLog(SourceControlLog* log) override { currentLog = log; }

    // Paths as the operations pass them (relative, '/').
    std::map<std::string, std::string> heldBy;
    std::map<std::string, int> checkOutResults;
    bool failCheckIns = false;
    std::vector<std::string> calls; // "out PATH", "in PATH"
    SourceControlLog* currentLog = nullptr;
    // The log the backend had at each check-out.
    std::vector<SourceControlLog*> logsAtCheckOut;
};

} // namespace mw::test
