// The command table and its enabling rules.
#include "CommandTable.h"

namespace mw {
namespace {

using namespace CommandId;

// id, menu text, handler, operation name, network only, busy message, disabled while busy
const std::vector<CommandInfo> kCommands = {
    {kBuild, "&Build\tF7", "OnBuildBuild", "Build", false, true, true},
    {kRebuildAll, "&Rebuild All", "OnBuildRebuildAll", "Rebuild All", false, true, true},
    {kSync, "&Sync", "OnActionSync", "Sync", true, false, true},
    {kSyncAndBuild, "Sync &and Build", "OnActionSyncandbuild", "Sync And Build", true, false, true},
    {kDatabaseSync, "&Sync Records to Templates", "OnDatabaseSync", "DbSync", true, true, true},
    {kCheckRecords, "&Check Records", "OnDatabaseCheckrecords", "DbCheckRecords", false, false, true},
    {kTemplatron, "Invoke &Templatron...", "OnDatabaseInvoketemplatron", "DbInvoketemplatron", true, true, true},
    {kFindReferences, "&Find References", "OnDatabaseFindreferences", "DbFindreferences", false, true, true},
    {kUpdateReferences, "&Update References", "OnDatabaseUpdatereferences", "DbUpdatereferences", false, true, true},
    {kBuildArchives, "&Build Archive Files", "OnArchiveBuild", "Build archive files", false, false, true},
    {kRebuildArchives, "&Rebuild Archive Files", "OnArchiveRebuild", "Rebuild archive files", false, false, true},
    {kCompactArchives, "&Compact", "OnArchiveCompact", "Rebuild archive files", false, false, true},
    {kDeleteUnassociated, "&Delete Unassociated Resources", "OnToolsDeleteunassociated",
     "Delete Unassociated Resources", false, false, true},
    {kFolderBuild, "&Build", "OnFolderBuild", "Build Database", false, false, true},
    {kFolderBuildAssets, "&Build", "OnFolderBuild", "Build Assets", false, false, true},
    {kFileRedoSync, "Re&do Sync", "OnFileRedosync", nullptr, true, false, false},
    {kFileProperties, "P&roperties", "OnFileProperties", nullptr, false, false, false},
    {kFolderAddRecursively, "Add Files &Recursively", "OnFolderAddrecursively", "Add Files Recursively", true, false,
     true},
    {kFileCheckOut, "Check &Out", "OnFileCheckout", "Check Out", true, false, true},
    {kFileCheckIn, "Check &In", "OnFileCheckin", "Check In", true, false, true},
    {kFileUndoCheckOut, "&Undo Check Out", "OnFileUndocheckout", "Revert", true, false, true},
    {kFileResolve, "Re&solve", "OnFileResolve", nullptr, true, false, true},
    {kFolderCheckOut, "Check &Out", "OnFolderCheckout", "Check Out", true, false, true},
    {kFolderCheckIn, "Check &In", "OnFolderCheckin", "Check In", true, false, true},
    {kFolderUndoCheckOut, "&Undo Check Out", "OnFolderUndocheckout", "Revert", true, false, true},

    {kSetWorkingFolder, "Set &Working Folder...", "OnFileSetworkingfolder", nullptr, false, false, true},
    {kOptions, "&Options...", "OnToolsOptions", nullptr, false, false, true},
    {kFileSummary, "File &Summary", "OnToolsFilesummary", nullptr, true, false, true},
    {kStatusReport, "Status &Report", "OnToolsStatusreport", nullptr, false, false, true},
    {kServerMonitor, "Server &Monitor", "OnToolsServermonitor", nullptr, true, false, true},
    {kMoveSelectedRecords, "&Move Selected Records...", "OnDatabaseMoverecords", nullptr, false, false, true},
    {kDbArchiveStatistics, "Database &Archive Statistics", "OnDatabaseArchivestatistics", nullptr, false, false,
     true},
    {kImportRecord, "&Import Record...", "OnDatabaseImportrecord", nullptr, false, false, true},
    {kNewMod, "&New...", "OnModNew", nullptr, false, false, true},
    {kDeleteMod, "&Delete", "OnModDelete", nullptr, false, false, true},
    {kArchiveStatistics, "&Statistics", "OnArchiveStatistics", nullptr, false, false, false},
    {kConvertTextures, "&Convert Textures to Compressed", "OnToolsConverttextures", nullptr, true, false, true},
    {kResourceTree, "Run Resource &Tree Tool", "OnToolsResourcetree", nullptr, true, false, false},
    {kInstallTemplates, "Install &Templates", "OnHelpInstalltemplates", nullptr, false, false, true},
    {kInstallTutorials, "Install T&utorials", "OnHelpInstalltutorials", nullptr, false, false, true},
    {kGuide, "Modding &Guide", "OnHelpGuide", nullptr, false, false, false},
    {kStop, "Stop\tCtrl+Break", "OnStop", nullptr, false, false, false},
    {kRename, "&Rename\tF2", "OnEditRename", nullptr, false, false, false},
    {kSelectAll, "Select &All\tCtrl+A", "OnEditSelectall", nullptr, false, false, false},
    {kCopy, "&Copy", "OnEditCopy", nullptr, false, false, false},
    {kPaste, "&Paste", "OnEditPaste", nullptr, false, false, false},
    {kDelete, "&Delete\tDel", "OnEditDelete", nullptr, false, false, false},
    {kUndo, "&Undo", "OnEditUndo", nullptr, false, false, false},
    {kRefresh, "&Refresh\tF5", "OnViewRefresh", nullptr, false, false, false},
    {kViewToolbar, "&Toolbar", "OnViewToolbar", nullptr, true, false, false},
    {kViewStatusBar, "&Status Bar", "OnViewStatusBar", nullptr, false, false, false},
    {kAbout, "&About Modwright...", "OnAppAbout", nullptr, false, false, false},
    {kExit, "E&xit", "OnAppExit", nullptr, false, false, false},
};

} // namespace

const std::vector<CommandInfo>& AllCommands() { return kCommands; }

const CommandInfo* FindCommand(int id)
{
    for (const CommandInfo& command : kCommands)
        if (command.id == id)
            return &command;
    return nullptr;
}

bool IsCommandEnabled(int id, const CommandState& state)
{
    if (id == kStop)
        return state.busy;
    if (id == kUndo)
        return state.available && state.canUndo;
    if (id >= kSelectModNone && id < kSelectModNone + 1000)
        return !state.busy;
    const CommandInfo* command = FindCommand(id);
    if (!command)
        return state.available;
    if (!state.available)
        return false;
    if (command->networkOnly && !state.network)
        return false;
    if (state.busy && (command->operationName || command->disabledWhileBusy))
        return false;
    return true;
}

std::string BusyMessage(int id)
{
    const CommandInfo* command = FindCommand(id);
    if (!command || !command->busyMessage)
        return std::string();
    return std::string("Busy in ") + command->handlerName + ". Tell Orlo!";
}

std::string StopMenuText(bool busy, const std::string& operationName)
{
    return busy ? "Stop " + operationName : std::string("Stop");
}

std::vector<ModMenuItem> ModMenuItems(const std::vector<std::string>& modList, int currentMod)
{
    std::vector<ModMenuItem> items;
    items.push_back(ModMenuItem{kSelectModNone, "None", currentMod < 0 || currentMod >= int(modList.size())});
    for (size_t i = 0; i < modList.size(); ++i)
        items.push_back(ModMenuItem{kSelectModNone + 1 + int(i), modList[i], int(i) == currentMod});
    return items;
}

bool IsDatabaseSyncPassword(const std::string& text) { return text == "qorvintl"; }

} // namespace mw
