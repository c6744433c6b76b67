// Database sync (every record brought into line with its own template, each
// checked out and in) and the record check (records without a usable template).
#pragma once

#include <string>

namespace mw {

class IWorkspaceContext;

int DbSync(IWorkspaceContext& context);
bool DbSyncRecord(IWorkspaceContext& context, const std::string& recordPath);
int DbCheckRecords(IWorkspaceContext& context);
bool CheckRecord(IWorkspaceContext& context, const std::string& recordPath);

} // namespace mw
