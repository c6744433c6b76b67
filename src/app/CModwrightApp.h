// The application object: command line, Tools.ini, login, folders, mods, the
// cancel event, the operation frame and quiet mode. It implements the
// context that every operation is handed.
#pragma once

#include "CacheOptions.h"
#include "InstallLayout.h"
#include "assets/AssetRegistry.h"
#include "buildcache/CacheCredentials.h"
#include "context/IWorkspaceContext.h"
#include "platform/ManualResetEvent.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace mw {

class BuildCache;
class BuildDriver;
class CompilerWorkers;
class ConsolePrompt;
class ContextSourceControlLog;
class IFrameHost;
class ReferenceIndex;

// What the process hands the application at start.
struct AppEnvironment
{
    std::string startFolder;     // the process's current folder
    std::string documentsFolder; // "My Documents"
    std::ostream* out = nullptr;    // standard output when null
    IUserPrompt* prompt = nullptr; // a console prompt on out when null
    std::string networkPassword;   // the server password; empty for the credential store's
    std::string programFolder;   // the running program's folder; the process's when empty
};

// The environment of a real process: its current folder, the user's
// documents folder, out as standard output and prompt for messages.
AppEnvironment ProcessEnvironment(std::ostream& out, IUserPrompt& prompt);

// One entry of the table of default files for new source files.
struct DefaultFile
{
    std::string baseName;
    std::string extension;
    std::string path;
};

class CModwrightApp final : public IWorkspaceContext
{
public:
    explicit CModwrightApp(AppEnvironment environment);
    ~CModwrightApp();

    // Start-up up to the point where quiet mode runs or the window opens.
    // False when start-up failed (login refused).
    bool InitInstance(const std::vector<std::string>& arguments);
    // Quiet mode: "Starting quiet mode processing...", Sync, Build All.
    // The process exit status: 0 only when everything succeeded.
    int RunQuiet();
    void ExitInstance();

    // The start-up steps, callable on their own.
    void ParseCommandLine(const std::vector<std::string>& arguments);
    bool LogInQuiet();
    void ReadConfiguration();
    bool WriteLoginSettings();
    bool WriteOptionSettings();
    void LoadDefaultsTable();

    // Operations other parts use.
    void SetLocalDir(const std::string& path, bool checkTemplates);
    int Sync();
    bool Reconnect(const std::string& database, const std::string& userName);
    void SetFrame(IFrameHost* frame);
    // With windows and -network, InitInstance calls this to log in (the
    // login dialog loop); false ends start-up.
    void SetWindowedLogin(std::function<bool(CModwrightApp&)> login) { m_windowedLogin = std::move(login); }
    void SetLogin(const std::string& userName, const std::string& database)
    {
        m_userName = userName;
        m_database = database;
    }
    // Without a window: one line per message (no extra line for the line
    // flag), error lines to errorOut. Used by the command-line tool.
    void SetCompactLog(std::ostream* errorOut) { m_compactErrorOut = errorOut; }

    // Mods.
    void RefreshModList();
    void SelectMod(int index);
    void SelectModByName(const std::string& name);
    // Keeps the current mod's name (empty for none) in Tools.ini, [Login]
    // mod=NAME, so that the next start selects it again; false when the
    // file could not be written.
    bool RememberCurrentMod();
    // The mod -mod asked for, else the remembered one, selected after the
    // mod list is read. False (with a logged reason) when -mod names a mod
    // that does not exist; a remembered mod that is gone selects none.
    bool RestoreMod();
    const std::vector<std::string>& GetModList() const { return m_modList; }
    int GetCurrentModIndex() const { return m_currentMod; }
    // The mod whose database a record path lies in; see ModNameOfPath.
    std::string ModNameOfPath(const std::string& path) const;

    // Settings.
    bool IsNetwork() const { return m_network; }
    bool IsQuiet() const { return m_quiet; }
    const std::string& GetStartDir() const { return m_startFolder; }
    // The programs and data folders that come with the tool (see InstallLayout).
    const std::string& GetHelperDir() const { return m_layout.helperFolder; }
    const std::string& GetDataDir() const { return m_layout.dataFolder; }
    // The full path of a file of Toolset/ (ToolsetFiles.h): below the start
    // folder, the tools folder or the data folder, the first that has it.
    std::string ToolsetPath(const std::string& name) const;
    const std::string& GetIniPath() const { return m_iniPath; }
    const std::string& GetUserName() const { return m_userName; }
    const std::string& GetDatabase() const { return m_database; }
    int GetSplashEnable() const { return m_splashEnable; }
    int GetSplashMute() const { return m_splashMute; }
    void SetSplashSettings(int enable, int mute)
    {
        m_splashEnable = enable;
        m_splashMute = mute;
    }
    const std::string& GetDocumentsDir() const { return m_documentsFolder; }
    const std::string& SourceControlFolder() const { return m_sourceControl.GetClientDirectory(); }
    const std::vector<std::string>& GetAdditionalBuildDirs() const { return m_additionalBuildDirs; }
    void SetAdditionalBuildDirs(const std::string& joined);
    std::string JoinAdditionalBuildDirs() const;
    void SetBuildDir(const std::string& path);
    void SetToolsDir(const std::string& path);
    // A build without a tools folder uses the compilers that come with the
    // tool (the helper folder), saying so; false when there are none.
    bool UseOwnCompilersWithoutToolsFolder();
    void SetMAXServer(const std::string& address) { m_maxServer = address; }
    void SetExportStatistics(int value) { m_exportStatistics = value; }
    // Compilers a build runs at once: Build/Jobs in Tools.ini, 0 for one per core.
    void SetBuildJobs(int jobs);
    int GetBuildJobs() const { return m_buildJobs; }
    // Build/KeepCompilersRunning in Tools.ini: when not 0 (the default), the
    // compilers that come with the tool are started once per operation and
    // core and take one compile after another, instead of one start each.
    void SetKeepCompilersRunning(int value) { m_keepCompilersRunning = value; }
    const std::vector<DefaultFile>& GetDefaults() const { return m_defaults; }
    BuildDriver& Builder() { return *m_buildDriver; }
    // The build cache of [Cache] in Tools.ini; SetCacheOptions opens it anew.
    const CacheOptions& GetCacheOptions() const { return m_cacheOptions; }
    void SetCacheOptions(const CacheOptions& options);
    // No cache for the rest of the run (--no-cache).
    void DisableBuildCache();
    // The registered asset types.
    AssetRegistry& Assets() { return m_assetRegistry; }

    // IToolContext.
    bool RunTool(const std::string& commandLine, uint32_t& exitCode, const char* folder) override;
    bool RunToolInto(const std::string& commandLine, const char* folder, IProcessOutput& output,
                     ProcessOutcome& outcome) override;
    // The current folder when the compilers can write their statistics files
    // there (empty), else the build folder: a tool started in a folder the
    // user cannot write still gets its statistics.
    std::string GetStatisticsDir() const override;
    void Log(const std::string& text, bool line, bool error) override;
    std::string GetSourceDir() const override { return m_sourceFolder; }
    std::string GetToolsDir() const override { return m_toolsFolder; }
    std::string GetMAXServer() const override { return m_maxServer; }
    std::string GetShaderAsmDir() const override { return m_shaderAsmFolder; }
    int GetExportStatistics() const override { return m_exportStatistics; }

    // IWorkspaceContext.
    std::string GetWorkingDir() const override { return m_workingFolder; }
    std::string GetBuildDir() const override { return m_buildFolder; }
    std::string GetCurrentModName() const override;
    SourceControlClient& SourceControl() override { return m_sourceControl; }
    SourceControlLog* MainFrameLog() override;
    bool IsCancelled() const override { return m_cancel.IsSet(); }
    void RequestCancel() override { m_cancel.Set(); }
    bool ResetCancel() override { return m_cancel.Reset(); }
    void BeginOperation() override;
    void EndOperation() override;
    std::unique_ptr<DbArchive>& ArchiveSlot() override { return m_openArchive; }
    IUserPrompt& Prompt() override { return *m_prompt; }
    bool ExplainRebuilds() const override;

    // Which records and templates refer to which files, read once per run
    // and kept current by the file commands.
    ReferenceIndex& References() { return *m_referenceIndex; }

private:
    void RecomputeSourceFolder();
    void OpenBuildCache();
    void WriteLine(const std::string& text);
    // True when text is one path below the working or the build folder.
    bool NamesWorkspaceFile(const std::string& text) const;

    IFrameHost* m_frame = nullptr;
    std::string m_startFolder;
    std::string m_documentsFolder;
    InstallLayout m_layout;
    bool m_network = false;
    bool m_quiet = false;
    std::string m_userName;
    std::string m_database;
    std::string m_iniPath;
    std::string m_workingFolder;
    std::string m_buildFolder;
    std::string m_toolsFolder;
    std::string m_maxServer;
    std::string m_shaderAsmFolder;
    std::string m_sourceFolder;
    int m_splashEnable = 1;
    int m_splashMute = 0;
    ManualResetEvent m_cancel;
    std::vector<DefaultFile> m_defaults;
    SourceControlClient m_sourceControl;
    std::vector<std::string> m_modList;
    int m_currentMod = -1;
    std::vector<std::string> m_additionalBuildDirs;
    int m_exportStatistics = 1;
    int m_buildJobs = 0;
    int m_keepCompilersRunning = 1;
    std::unique_ptr<CompilerWorkers> m_compilerWorkers;
    std::unique_ptr<DbArchive> m_openArchive;
    std::unique_ptr<ReferenceIndex> m_referenceIndex;
    std::unique_ptr<BuildDriver> m_buildDriver;
    CacheOptions m_cacheOptions;
    std::unique_ptr<BuildCache> m_buildCache;
    bool m_cacheDisabled = false;
    // Taken out of the environment once, at the first configuration.
    std::optional<CacheCredentials> m_environmentCredentials;
    bool m_environmentCredentialsTaken = false;
    AssetRegistry m_assetRegistry;

    std::ostream* m_out;
    std::ostream* m_compactErrorOut = nullptr;
    std::string m_compactSubject;
    std::unique_ptr<ConsolePrompt> m_consolePrompt;
    std::unique_ptr<ContextSourceControlLog> m_quietSourceControlLog;
    IUserPrompt* m_prompt;
    std::mutex m_outMutex;
    std::function<bool(CModwrightApp&)> m_windowedLogin;
    std::string m_requestedMod;
};

} // namespace mw
