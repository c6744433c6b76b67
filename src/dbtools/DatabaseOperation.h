// The frame the whole-database tools share after their heading: ensure the
// mod's database folder, walk it, log the closing lines and the time, reset
// the cancel event and end the operation.
#pragma once

#include "DatabaseWalk.h"

#include <cstdint>
#include <functional>
#include <string>

namespace mw {

class DbRecord;
class DbTemplate;
class IWorkspaceContext;

struct DatabaseOperationTexts
{
    const char* cancelled;  // e.g. "Templatron cancelled by user"
    const char* timeFormat; // e.g. "Templatron processing time %d:%02d"
    bool folderErrorIsError = false;
    // Show a message box when the cancel event cannot be reset.
    bool reportResetFailure = false;
};

// The working folder's "database/" folder, whatever custom map is selected.
std::string ModDatabaseFolder(IWorkspaceContext& context);

// visit == nullptr: the walk does not run and the operation reports itself
// cancelled. Returns false when the folder could not be made.
bool WalkDatabaseWithClosingLines(IWorkspaceContext& context, uint64_t startTick, const DatabaseOperationTexts& texts,
                                  const std::function<bool(const std::string&)>* visit, WalkResult* result = nullptr);

// Opens the template a record names, quietly, and loads its includes.
bool LoadRecordTemplate(IWorkspaceContext& context, const DbRecord& record, DbTemplate& dbTemplate);

} // namespace mw
