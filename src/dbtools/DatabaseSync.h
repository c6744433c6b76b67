// Database sync (every record brought into line with its own template, each
// checked out and in) and the record check (records without a usable template).
#pragma once

#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;
class RecordTemplateCache;

int DbSync(IWorkspaceContext& context);
// With a cache, template files are read once per cache instead of per record.
bool DbSyncRecord(IWorkspaceContext& context, const std::string& recordPath, RecordTemplateCache* cache = nullptr);
int DbCheckRecords(IWorkspaceContext& context);
// Also logs a warning for each value that does not read as its type or names
// a missing file; fileRoots: the folders file values are looked up in
// (FileValueRoots when null).
bool CheckRecord(IWorkspaceContext& context, const std::string& recordPath, RecordTemplateCache* cache = nullptr,
                 const std::vector<std::string>* fileRoots = nullptr);

} // namespace mw
