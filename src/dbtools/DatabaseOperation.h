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

// Logs the closing lines: the cancel message, or the error count; then the time.
void LogClosingLines(IWorkspaceContext& context, uint64_t startTick, const DatabaseOperationTexts& texts,
                     const WalkResult& result);

// How a record that is to be rewritten was taken from source control.
enum class SyncCheckOut
{
    Proceed,   // rewrite it; checkIn tells whether to check it in afterwards
    OtherUser, // another user holds it (logged): leave it
    Failed,    // the check-out failed (logged)
};

// The check-out step of Templatron and the database sync. A record this user
// already holds is checked in afterwards when checkInWhenHeld is set.
SyncCheckOut CheckOutForSync(IWorkspaceContext& context, const std::string& path, bool checkInWhenHeld, bool& checkIn);

// Opens the template a record names, quietly, and loads its includes.
bool LoadRecordTemplate(IWorkspaceContext& context, const DbRecord& record, DbTemplate& dbTemplate);

} // namespace mw
