// Main-window texts, decided here so that the windows only show them.
#include "MainWindowTexts.h"

#include "platform/PathRules.h"

namespace mw {

std::string MainWindowTitle(const std::string& database, const std::string& modName)
{
    std::string title = "Modwright";
    if (!database.empty())
        title += " - " + database;
    if (!modName.empty())
        title += " - " + modName;
    return title;
}

std::string ModPaneText(const std::string& modName)
{
    return modName.empty() ? std::string("No mod selected") : "Mod: " + modName;
}

std::string OperationEndMessage(const std::string& operationName, const std::string& buildLine, bool stopped,
                                int errorLines)
{
    if (!buildLine.empty())
        return buildLine;
    std::string name = operationName.empty() ? std::string("Operation") : operationName;
    if (stopped)
        return name + " stopped by user";
    if (errorLines > 0)
        return Format("%s ended with %d error line%s", name.c_str(), errorLines, errorLines == 1 ? "" : "s");
    return name + " finished";
}

std::string ArchiveInstalledLine(const std::string& archiveName, const std::string& destination)
{
    return archiveName + " installed into " + ToForwardSlashes(destination);
}

} // namespace mw
