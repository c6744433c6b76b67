// The main window's command set: the command IDs, which of them run on the
// worker, their operation names and busy texts, and the rules that enable
// them. The window only asks; the answers are decided here.
#pragma once

#include <string>
#include <vector>

namespace mw {

// Command IDs; menus and toolbars keep them as their actions' data.
namespace CommandId {
constexpr int kImport = 999;            // Sources and Database tabs: import a file
constexpr int kNewFromDefaultFirst = 1000; // + position in the defaults table
constexpr int kSelectModNone = 5000;    // Mod > Select > None; mods follow at 5001 + index
constexpr int kBuild = 32788;
constexpr int kRebuildAll = 32789;
constexpr int kFileSyncToHead = 32792;
constexpr int kFileCheckOut = 32793;
constexpr int kFileCheckIn = 32794;
constexpr int kFileUndoCheckOut = 32795;
constexpr int kRefresh = 32798;
constexpr int kFolderSyncToHead = 32803;
constexpr int kFolderAddFiles = 32806;
constexpr int kSetWorkingFolder = 32807;
constexpr int kFolderDelete = 32808;
constexpr int kFolderRename = 32809;
constexpr int kFolderCreate = 32810;
constexpr int kSync = 32815;
constexpr int kOptions = 32816;
constexpr int kFileProperties = 32817;
constexpr int kStatusReport = 32818;
constexpr int kFileRedoSync = 32820;
constexpr int kFileSummary = 32821;
constexpr int kStop = 32847;
constexpr int kDatabaseSync = 32859;
constexpr int kCheckRecords = 32860;
constexpr int kFolderRedoSync = 32866;
constexpr int kRename = 32876;
constexpr int kSelectAll = 32883;
constexpr int kDelete = 32887;
constexpr int kMakeAsset = 32889;
constexpr int kTemplatron = 32890;
constexpr int kCheckOutAndEdit = 32891;
constexpr int kFindReferences = 32892;
constexpr int kUpdateReferences = 32897;
constexpr int kMoveSelectedRecords = 32899;
constexpr int kMoveRecord = 32912;
constexpr int kDbArchiveStatistics = 32914;
constexpr int kSyncAndBuild = 32916;
constexpr int kCompactArchives = 32918;
constexpr int kRebuildArchives = 32919;
constexpr int kBuildArchives = 32920;
constexpr int kArchiveStatistics = 32922;
constexpr int kServerMonitor = 32924;
constexpr int kDeleteUnassociated = 32925;
constexpr int kFolderBuild = 32932;
constexpr int kNewMod = 32940;
constexpr int kImportRecord = 32949;
constexpr int kDeleteMod = 32951;
constexpr int kInstallTutorials = 32953;
constexpr int kInstallTemplates = 32954;
constexpr int kGuide = 32955;
constexpr int kFolderCheckOut = 32956;
constexpr int kFolderCheckIn = 32957;
constexpr int kFolderUndoCheckOut = 32958;
constexpr int kFolderAddRecursively = 32959;
constexpr int kFolderAdvanced = 32960;
// Commands whose numbers the window chose itself.
constexpr int kConvertTextures = 32970;
constexpr int kResourceTree = 32971;
constexpr int kFileOpen = 32972;
constexpr int kFileEdit = 32973;
constexpr int kNewRecord = 32974;
constexpr int kNewTemplate = 32975;
constexpr int kFolderBuildAssets = 32976; // the folder menu's Build on the Sources and Assets tabs
constexpr int kFileResolve = 32977;       // marks a file in conflict resolved, keeping it as it is
// The framework's own commands.
constexpr int kCopy = 57634;
constexpr int kPaste = 57637;
constexpr int kUndo = 57643;
constexpr int kAbout = 57664;
constexpr int kExit = 57665;
constexpr int kViewToolbar = 59392;
constexpr int kViewStatusBar = 59393;
} // namespace CommandId

struct CommandInfo
{
    int id;
    const char* menuText;
    const char* handlerName;   // "OnBuildBuild"; names the busy text
    const char* operationName; // the worker's operation name; null when the command runs on the UI thread
    bool networkOnly;
    bool busyMessage;          // refused with "Busy in <handler>. Tell Orlo!" rather than silently
    bool disabledWhileBusy;    // also for commands that run on the UI thread
};

// Every command of the menus, in no particular order; null for unknown IDs.
const CommandInfo* FindCommand(int id);
const std::vector<CommandInfo>& AllCommands();

// What decides whether a command is enabled.
struct CommandState
{
    bool busy = false;      // the worker runs
    bool network = false;   // -network
    bool available = true;  // the operation behind the command exists in this build
    bool canUndo = false;   // the focused text field has an edit to take back
};

bool IsCommandEnabled(int id, const CommandState& state);

// The text a busy refusal shows, or "" where the refusal is silent.
std::string BusyMessage(int id);

// "Stop " + the operation name while the worker runs, "Stop" otherwise.
std::string StopMenuText(bool busy, const std::string& operationName);

// One item of the Mod menu's Select submenu.
struct ModMenuItem
{
    int id;
    std::string text;
    bool checked;
};

// "None" (5000), then each mod (5001 + index); the current mod's item is checked.
std::vector<ModMenuItem> ModMenuItems(const std::vector<std::string>& modList, int currentMod);
// The mod index an item ID selects (-1 for "None").
inline int ModIndexOfCommand(int id) { return id - (CommandId::kSelectModNone + 1); }
inline bool IsModCommand(int id, size_t modCount)
{
    return id >= CommandId::kSelectModNone && id <= CommandId::kSelectModNone + int(modCount);
}

// The database sync asks for this password (case-sensitive).
bool IsDatabaseSyncPassword(const std::string& text);

} // namespace mw
