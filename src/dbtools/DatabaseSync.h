// Database sync (every record brought into line with its own template, each
// checked out and in) and the record check (records without a usable template).
#pragma once

#include <string>

namespace mw {

class IWorkspaceContext;
class RecordTemplateCache;

int DbSync(IWorkspaceContext& context);
// With a cache, template files are read once per cache instead of per record.
bool DbSyncRecord(IWorkspaceContext& context, const std::string& recordPath, RecordTemplateCache* cache = nullptr);
int DbCheckRecords(IWorkspaceContext& context);
bool CheckRecord(IWorkspaceContext& context, const std::string& recordPath, RecordTemplateCache* cache = nullptr);

} // namespace mw
