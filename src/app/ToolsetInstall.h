// Installing an archive that comes with the tool (the templates, the
// tutorial mods) over a folder where the user may have changed files: the
// changed files are found first, the user is asked once whether to
// overwrite them, keep them or cancel, and files about to be overwritten go
// to the desktop's trash.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace mw {

class IUserPrompt;

struct InstallPlan
{
    bool cancelled = false;
    // Archive entries whose file on disk exists and differs from the entry.
    std::vector<std::string> edited;
    // Entries left alone (the user's files are kept).
    std::set<std::string> keep;
    // Files moved to the trash before the archive replaces them.
    std::vector<std::string> trashed;
};

// The named entries of the archive whose file below destination exists and
// differs in size or bytes. False with a reason when the archive cannot be
// read.
bool FindEditedFiles(const std::string& archivePath, const std::string& destination,
                     std::vector<std::string>& edited, std::string& error);

// Finds the edited files and, when there are any, asks once: Overwrite sends
// each to the trash (a file that cannot be trashed is kept, so nothing is
// lost), Keep Mine leaves them all, Cancel installs nothing. Messages and the
// question go to prompt.
InstallPlan PlanToolsetInstall(const std::string& archivePath, const std::string& destination,
                               IUserPrompt& prompt);

// The log lines that tell what an install did: entries written and where,
// files kept, files replaced with their copies in the trash.
std::vector<std::string> InstallReport(const InstallPlan& plan, int entriesWritten, const std::string& destination);

} // namespace mw
