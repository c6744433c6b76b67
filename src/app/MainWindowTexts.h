// Texts the main window shows about its state: the window title with the
// database and the current mod, the status bar's mod pane, the message an
// operation leaves in the status bar when it ends, and the line of a
// finished install.
#pragma once

#include <string>

namespace mw {

// "Modwright", then " - " and the database when there is one, then " - "
// and the mod when one is selected.
std::string MainWindowTitle(const std::string& database, const std::string& modName);

// "Mod: NAME", or "No mod selected".
std::string ModPaneText(const std::string& modName);

// The status-bar message of an operation that ended: buildLine is the
// build's own outcome line for the operations that build (empty for the
// others); stopped tells that the user pressed Stop; errorLines counts the
// error lines it wrote.
std::string OperationEndMessage(const std::string& operationName, const std::string& buildLine, bool stopped,
                                int errorLines);

// The output-pane line of an install that succeeded: "Templates.arc
// installed into /work/Database/".
std::string ArchiveInstalledLine(const std::string& archiveName, const std::string& destination);

} // namespace mw
