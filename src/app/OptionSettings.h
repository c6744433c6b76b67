// The settings the options dialog edits, read from and written back to the
// application, and the defaults proposed at the first start.
#pragma once

#include "CacheOptions.h"

#include <string>

namespace mw {

class CModwrightApp;

struct OptionSettings
{
    std::string workingFolder;
    std::string buildFolder;
    std::string toolsFolder;
    std::string additionalBuildFolders; // joined with ";"
    bool exportStatistics = true;
    int buildJobs = 0; // compilers at once, 0 for one per core
    CacheOptions cache;
    // Network form only.
    std::string maxServer;
    bool splashEnable = true;
    bool splashMute = false;
};

OptionSettings ReadOptionSettings(const CModwrightApp& app);

// The ";"-joined folder list with each folder in native form (see NativeFolder).
std::string NativeFolderList(const std::string& joined);

// Stores confirmed settings (folders in native form with a trailing separator, the working
// folder without the templates check, the network fields only in network
// mode) and writes Tools.ini; false when Tools.ini could not be written.
bool ApplyOptionSettings(CModwrightApp& app, const OptionSettings& settings);

// The first start asks for the folders while the working, build or tools folder is empty.
bool NeedsFirstStartSetup(const CModwrightApp& app);
// Proposes My Documents + "/My Games/Verdanis - Sunward/" as build folder,
// its "Working/" as working folder and the start folder as tools folder, for
// those of the three that are empty; all in native form.
void ProposeFirstStartDefaults(CModwrightApp& app);

} // namespace mw
