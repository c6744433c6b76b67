// Import record: a record of the game's built database archives (or of
// further build folders) written as a record file into the mod's database
// folder and added to source control.
#pragma once

#include <string>
#include <vector>

namespace mw {

class CModwrightApp;

// The archives searched, in order: with a mod selected the game's own
// start folder + "\Database/database.arz" first, then each additional build
// folder + "Database/database.arz"; then the build folder's own
// "database\database.arz" and, with a mod selected, the mod's built archive.
std::vector<std::string> ImportRecordArchives(CModwrightApp& app);

// The record names ("records\items\sword.dbr") of the archives that can be
// read, sorted and without repeats.
std::vector<std::string> ListArchiveRecords(const std::vector<std::string>& archives);

// Fetches the record from the first archive that holds it and writes it to
// the mod's database folder (never over an existing file), then adds it to
// source control. The new file's path relative to the working folder, or ""
// after "Error importing database record".
std::string ImportRecord(CModwrightApp& app, const std::vector<std::string>& archives, const std::string& recordName);

} // namespace mw
