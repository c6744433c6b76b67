// The application object.
#include "CModwrightApp.h"

#include "ConsolePrompt.h"
#include "ContextSourceControlLog.h"
#include "IFrameHost.h"
#include "ToolsetFiles.h"
#include "assets/AssetTypes.h"
#include "assets/BuildDriver.h"
#include "buildcache/BuildCache.h"
#include "buildcache/HttpCacheStore.h"
#include "dbarchive/DbArchive.h"
#include "dbtools/ReferenceIndex.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Environment.h"
#include "platform/KnownFolders.h"
#include "platform/CompilerWorkers.h"
#include "platform/ProcessRunner.h"
#include "platform/NativePaths.h"
#include "platform/PathRules.h"
#include "platform/ProfileFile.h"
#include "platform/sourcecontrol/NetworkBackendFactory.h"

#include <iostream>

namespace mw {
namespace {
const char* const kSeparatorLine = "---------------------------------------------------";
} // namespace

AppEnvironment ProcessEnvironment(std::ostream& out, IUserPrompt& prompt)
{
    AppEnvironment environment;
    environment.startFolder = CurrentFolder();
    environment.documentsFolder = DocumentsFolder();
    environment.programFolder = ExecutableFolder();
    environment.out = &out;
    environment.prompt = &prompt;
    // Read once and dropped: every compiler and tool started later inherits
    // this environment.
    environment.networkPassword = TakeEnvironmentVariable(kNetworkPasswordVariable).value_or(std::string());
    return environment;
}

CModwrightApp::CModwrightApp(AppEnvironment environment)
    : m_startFolder(environment.startFolder), m_documentsFolder(environment.documentsFolder),
      m_layout(FindInstallLayout(environment.programFolder.empty() ? ExecutableFolder() : environment.programFolder)),
      m_out(environment.out ? environment.out : &std::cout), m_prompt(environment.prompt)
{
    m_referenceIndex = std::make_unique<ReferenceIndex>();
    if (!m_prompt)
    {
        m_consolePrompt = std::make_unique<ConsolePrompt>(*m_out);
        m_prompt = m_consolePrompt.get();
    }
    m_buildDriver = std::make_unique<BuildDriver>(*this, m_assetRegistry);
    m_compilerWorkers = std::make_unique<CompilerWorkers>(m_layout.helperFolder);
    m_sourceControl.SetNetworkBackendFactory([password = environment.networkPassword](const std::string& database) {
        return MakeNetworkBackend(database, password);
    });
}

CModwrightApp::~CModwrightApp() = default;

bool CModwrightApp::InitInstance(const std::vector<std::string>& arguments)
{
    ParseCommandLine(arguments);
    m_cancel.Reset();
    if (m_iniPath.empty())
    {
        // Without a home folder the default would land at the root of the file system.
        if (m_documentsFolder.empty())
        {
            Log("There is no home folder to keep Tools.ini in: set HOME, or give -ini PATH", true, true);
            return false;
        }
        m_iniPath = ToNativeSeparators(m_documentsFolder + "/My Games/Verdanis - Sunward" + "/Tools.ini");
    }
    // A settings file that exists but cannot be used would otherwise read as
    // an empty one ("build folder not set") and be written over at the end.
    std::string iniProblem = ProfileFileProblem(m_iniPath);
    if (!iniProblem.empty())
    {
        std::string text = Format("The settings file %s %s", m_iniPath.c_str(), iniProblem.c_str());
        if (m_quiet || m_compactErrorOut)
            Log(text, true, true);
        else
            m_prompt->Show(text, "", PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    // Logging in with windows is the main window's business; quiet mode logs in here.
    if (m_network && m_quiet && !LogInQuiet())
        return false;
    if (m_network && !m_quiet && m_windowedLogin && !m_windowedLogin(*this))
        return false;
    ReadConfiguration();
    if (!WriteLoginSettings())
        Log(Format("Couldn't write the settings file %s", m_iniPath.c_str()), true, true);
    if (m_assetRegistry.TypeCount() == 0)
        RegisterAssetTypes(m_assetRegistry, *this);
    LoadDefaultsTable();
    RefreshModList();
    return RestoreMod();
}

void CModwrightApp::ParseCommandLine(const std::vector<std::string>& arguments)
{
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        bool hasValue = i + 1 < arguments.size();
        if (argument == "-network")
            m_network = true;
        else if (argument == "-quiet")
            m_quiet = true;
        else if (argument == "-explain")
            m_buildDriver->SetExplain(true);
        else if (argument == "-ini")
        {
            Log("Processing ini parameter", true, false);
            if (hasValue)
                m_iniPath = arguments[++i];
        }
        else if (argument == "-username")
        {
            Log("Processing username parameter", true, false);
            if (hasValue)
                m_userName = arguments[++i];
        }
        else if (argument == "-database")
        {
            Log("Processing database parameter", true, false);
            if (hasValue)
                m_database = arguments[++i];
        }
        else if (argument == "-mod" && hasValue)
            m_requestedMod = arguments[++i];
    }
    m_buildDriver->SetNetwork(m_network);
}

bool CModwrightApp::LogInQuiet()
{
    if (m_userName.empty())
        m_userName = ReadProfileString("Login", "username", "", m_iniPath);
    if (m_database.empty())
        m_database = ReadProfileString("Login", "database", "", m_iniPath);
    Log(Format("Attempting to log in; User: %s Database: %s", m_userName.c_str(), m_database.c_str()), true, false);
    // No window will take the source-control library's messages (why a
    // login or a sync failed): they go to the log.
    m_quietSourceControlLog = std::make_unique<ContextSourceControlLog>(*this);
    m_sourceControl.SetLog(m_quietSourceControlLog.get());
    // The server checks the user's credentials while connecting.
    m_sourceControl.SetUserName(m_userName);
    if (!m_sourceControl.Connect(m_database))
    {
        m_prompt->Show("Couldn't connect to server.", "", PromptButtons::Ok, PromptIcon::Error);
        Log("Error logging into database.  Invalid username or database specified.", true, true);
        return false;
    }
    m_sourceControl.SetUserName(m_userName);
    Log("Successfully logged into database...", true, false);
    return true;
}

void CModwrightApp::SetBuildJobs(int jobs)
{
    m_buildJobs = jobs < 0 ? 0 : jobs;
    m_buildDriver->SetJobs(m_buildJobs);
}

void CModwrightApp::ReadConfiguration()
{
    m_splashEnable = ReadProfileInt("SplashScreen", "splashenable", 1, m_iniPath);
    m_splashMute = ReadProfileInt("SplashScreen", "splashmute", 0, m_iniPath);
    m_exportStatistics = ReadProfileInt("Build", "ExportStatistics", 1, m_iniPath);
    SetBuildJobs(ReadProfileInt("Build", "Jobs", 0, m_iniPath));
    m_keepCompilersRunning = ReadProfileInt("Build", "KeepCompilersRunning", 1, m_iniPath);
    SetLocalDir(ReadProfileString("Login", "localdir", "", m_iniPath), false);
    SetBuildDir(ReadProfileString("Login", "builddir", "", m_iniPath));
    SetToolsDir(ReadProfileString("Login", "toolsdir", "", m_iniPath));
    m_maxServer = ReadProfileString("Login", "3dsmaxserver", "", m_iniPath);
    m_shaderAsmFolder = ReadProfileString("Login", "shaderasmdir", "", m_iniPath);
    SetAdditionalBuildDirs(ReadProfileString("Login", "additionalbuilddirs", "", m_iniPath));
    m_cacheOptions = ReadCacheOptions(m_iniPath);
    OpenBuildCache();
}

void CModwrightApp::SetCacheOptions(const CacheOptions& options)
{
    m_cacheOptions = options;
    OpenBuildCache();
}

void CModwrightApp::DisableBuildCache()
{
    m_cacheDisabled = true;
    m_buildDriver->SetCache(nullptr);
    m_buildCache.reset();
}

void CModwrightApp::OpenBuildCache()
{
    // The environment's credentials leave it at once, whether a cache uses
    // them or not, so that no compiler inherits them.
    if (!m_environmentCredentialsTaken)
    {
        m_environmentCredentials = TakeEnvironmentCredentials();
        m_environmentCredentialsTaken = true;
    }
    m_buildDriver->SetCache(nullptr);
    m_buildCache.reset();
    if (m_cacheDisabled)
        return;
    BuildCacheSettings settings = ToCacheSettings(m_cacheOptions);
    if (settings.localFolder.empty() && settings.localProblem.empty() && settings.shared.empty())
        return;
    CacheCredentials credentials;
    HttpAddress address;
    if (ParseHttpAddress(settings.shared, address))
    {
        if (address.hadCredentials)
            Log("WARNING The user name and password in the shared cache address are ignored; give them in "
                "MODWRIGHT_CACHE_USER and MODWRIGHT_CACHE_PASSWORD or a netrc file",
                true, false);
        credentials = m_environmentCredentials ? *m_environmentCredentials : NetrcCredentials(address.host);
    }
    std::string problem;
    m_buildCache = BuildCache::Open(settings, credentials, problem);
    if (!m_buildCache)
    {
        Log("WARNING Build cache off: " + problem, true, false);
        return;
    }
    m_buildDriver->SetCache(m_buildCache.get());
}

bool CModwrightApp::WriteLoginSettings()
{
    EnsureFolders(ParentPath(m_iniPath));
    bool ok = WriteProfileString("Login", "username", m_userName, m_iniPath);
    return WriteProfileString("Login", "database", m_database, m_iniPath) && ok;
}

bool CModwrightApp::WriteOptionSettings()
{
    EnsureFolders(ParentPath(m_iniPath));
    bool ok = WriteProfileString("Login", "localdir", m_workingFolder, m_iniPath);
    ok = WriteProfileString("Login", "builddir", m_buildFolder, m_iniPath) && ok;
    ok = WriteProfileString("Login", "toolsdir", m_toolsFolder, m_iniPath) && ok;
    ok = WriteProfileString("Login", "3dsmaxserver", m_maxServer, m_iniPath) && ok;
    ok = WriteProfileString("SplashScreen", "splashenable", std::to_string(m_splashEnable), m_iniPath) && ok;
    ok = WriteProfileString("SplashScreen", "splashmute", std::to_string(m_splashMute), m_iniPath) && ok;
    ok = WriteProfileString("Build", "ExportStatistics", std::to_string(m_exportStatistics), m_iniPath) && ok;
    ok = WriteProfileString("Build", "Jobs", std::to_string(m_buildJobs), m_iniPath) && ok;
    ok = WriteProfileString("Build", "KeepCompilersRunning", std::to_string(m_keepCompilersRunning), m_iniPath) && ok;
    ok = WriteProfileString("Login", "additionalbuilddirs", JoinAdditionalBuildDirs(), m_iniPath) && ok;
    ok = WriteCacheOptions(m_cacheOptions, m_iniPath) && ok;
    return ok;
}

void CModwrightApp::LoadDefaultsTable()
{
    m_defaults.clear();
    // The start folder's Defaults/ when it has one, else the one that comes with the tool.
    std::string folder = m_startFolder + "/Defaults/";
    if (!IsFolder(folder))
        folder = m_layout.dataFolder + "Defaults/";
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries))
        return;
    for (const FolderEntry& entry : entries)
    {
        size_t dot = entry.name.rfind('.');
        if (entry.isFolder || dot == std::string::npos)
            continue;
        m_defaults.push_back(DefaultFile{entry.name.substr(0, dot), entry.name.substr(dot + 1), folder + entry.name});
    }
}

bool CModwrightApp::UseOwnCompilersWithoutToolsFolder()
{
    if (!m_toolsFolder.empty())
        return true;
    if (!HoldsCompilers(m_layout.helperFolder))
        return false;
    SetToolsDir(m_layout.helperFolder);
    Log(Format("No tools folder is set: using the compilers in %s", ToNativeSeparators(m_toolsFolder).c_str()), true, false);
    return true;
}

int CModwrightApp::RunQuiet()
{
    UseOwnCompilersWithoutToolsFolder();
    // Without these folders a build would write relative to wherever the
    // program was started: stop before anything is done.
    if (m_buildFolder.empty() || m_toolsFolder.empty())
    {
        Log(Format("The %s folder is not set: give %s in the [Login] section of %s",
                   m_buildFolder.empty() ? "build" : "tools", m_buildFolder.empty() ? "builddir" : "toolsdir",
                   m_iniPath.c_str()),
            true, true);
        return 1;
    }
    // Nobody is there to answer: unassociated files are deleted without asking.
    m_buildDriver->SetUnassociatedPolicy(BuildDriver::UnassociatedPolicy::YesToAll);
    m_buildDriver->SetOutcomeLogged(false);
    Log("Starting quiet mode processing...", true, false);
    int syncResult = Sync();
    int errors = m_buildDriver->BuildAll(false, true);
    return (syncResult == 0 && errors == 0) ? 0 : 1;
}

void CModwrightApp::ExitInstance()
{
    m_sourceControl.Disconnect();
    m_defaults.clear();
    m_assetRegistry.CloseAll();
}

void CModwrightApp::SetLocalDir(const std::string& path, bool checkTemplates)
{
    m_workingFolder = WithTrailingSeparator(path);
    m_sourceControl.SetClientDirectory(m_workingFolder);
    RecomputeSourceFolder();
    // Extracting the templates from the tools folder's archive comes with mod installation.
    (void)checkTemplates;
}

void CModwrightApp::SetBuildDir(const std::string& path) { m_buildFolder = WithTrailingSeparator(path); }

void CModwrightApp::SetToolsDir(const std::string& path) { m_toolsFolder = WithTrailingSeparator(path); }

void CModwrightApp::SetAdditionalBuildDirs(const std::string& joined)
{
    m_additionalBuildDirs.clear();
    for (const std::string& piece : SplitText(joined, ';'))
        if (!piece.empty())
            m_additionalBuildDirs.push_back(WithTrailingSeparator(piece));
}

std::string CModwrightApp::JoinAdditionalBuildDirs() const
{
    std::string joined;
    for (size_t i = 0; i < m_additionalBuildDirs.size(); ++i)
        joined += (i ? ";" : "") + m_additionalBuildDirs[i];
    return joined;
}

int CModwrightApp::Sync()
{
    uint64_t start = TickCountMs();
    BeginOperation();
    Log("Syncing...", true, false);
    int result = m_sourceControl.SyncPath(nullptr, false, &m_cancel);
    if (m_cancel.IsSet())
        Log("Sync cancelled by user", true, false);
    Log("", true, false);
    Log("Sync time " + FormatMinutesSeconds(TickCountMs() - start), true, false);
    EndOperation();
    m_cancel.Reset();
    return result;
}

bool CModwrightApp::Reconnect(const std::string& database, const std::string& userName)
{
    m_sourceControl.SetUserName(userName);
    if (!m_sourceControl.Connect(database))
    {
        m_prompt->Show("Couldn't connect to server.", "", PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    m_sourceControl.SetUserName(userName);
    return true;
}

void CModwrightApp::SetFrame(IFrameHost* frame)
{
    m_frame = frame;
    m_sourceControl.SetLog(frame);
}

SourceControlLog* CModwrightApp::MainFrameLog() { return m_frame; }

void CModwrightApp::RefreshModList()
{
    m_sourceControl.GetFolders("custommaps/", m_modList);
    if (m_currentMod >= int(m_modList.size()))
        m_currentMod = -1;
    RecomputeSourceFolder();
}

void CModwrightApp::SelectMod(int index)
{
    m_currentMod = index;
    RecomputeSourceFolder();
}

void CModwrightApp::SelectModByName(const std::string& name)
{
    for (size_t i = 0; i < m_modList.size(); ++i)
        if (m_modList[i] == name)
            m_currentMod = int(i);
    RecomputeSourceFolder();
}

bool CModwrightApp::RememberCurrentMod()
{
    return WriteProfileString("Login", "mod", GetCurrentModName(), m_iniPath);
}

bool CModwrightApp::RestoreMod()
{
    if (!m_requestedMod.empty())
    {
        SelectModByName(m_requestedMod);
        if (GetCurrentModName() != m_requestedMod)
        {
            Log(Format("Unknown mod: %s", m_requestedMod.c_str()), true, true);
            return false;
        }
        return true;
    }
    std::string remembered = ReadProfileString("Login", "mod", "", m_iniPath);
    if (remembered.empty())
        return true;
    SelectModByName(remembered);
    if (GetCurrentModName() != remembered)
        Log(Format("The mod %s chosen last time no longer exists; no mod is selected.", remembered.c_str()), true,
            false);
    return true;
}

std::string CModwrightApp::GetCurrentModName() const
{
    if (m_currentMod < 0 || m_currentMod >= int(m_modList.size()))
        return std::string();
    return m_modList[size_t(m_currentMod)];
}

void CModwrightApp::RecomputeSourceFolder()
{
    std::string mod = GetCurrentModName();
    m_sourceFolder = mod.empty() ? m_workingFolder + "source\\" : m_workingFolder + "CustomMaps\\" + mod + "\\" + "source\\";
}

std::string CModwrightApp::ModNameOfPath(const std::string& path) const
{
    // The working folder's length minus one characters are cut, so the
    // relative path keeps a leading separator.
    size_t cut = m_workingFolder.empty() ? 0 : m_workingFolder.size() - 1;
    std::string relative = ToForwardSlashes(path.size() > cut ? path.substr(cut) : std::string());
    size_t database = relative.find("/database/");
    if (database == std::string::npos || database == 0)
        return std::string();
    size_t slash = relative.rfind('/', database - 1);
    if (slash == std::string::npos)
        return std::string();
    return relative.substr(slash + 1, database - slash - 1);
}

std::string CModwrightApp::ToolsetPath(const std::string& name) const
{
    return ToolsetFilePath(m_startFolder, m_toolsFolder, m_layout.dataFolder, name);
}

bool CModwrightApp::NamesWorkspaceFile(const std::string& text) const
{
    if (text.empty() || text.find('\n') != std::string::npos)
        return false;
    for (const std::string* folder : {&m_workingFolder, &m_buildFolder})
    {
        bool matched = false;
        if (!folder->empty())
            StripPathPrefix(text, *folder, &matched);
        if (matched)
            return true;
    }
    return false;
}

bool CModwrightApp::ExplainRebuilds() const { return m_buildDriver->Explain(); }

void CModwrightApp::BeginOperation()
{
    if (m_frame)
        m_frame->ClearOutput();
    else if (m_quiet && !m_compactErrorOut)
        WriteLine(kSeparatorLine);
}

void CModwrightApp::EndOperation()
{
    // The compilers kept running for this operation's compiles end with it,
    // so none outlives the work it was started for.
    m_compilerWorkers->EndIdle();
    if (m_frame)
        m_frame->SetClearPending();
    else if (m_quiet && !m_compactErrorOut)
        WriteLine(kSeparatorLine);
}

void CModwrightApp::WriteLine(const std::string& text)
{
    std::lock_guard<std::mutex> lock(m_outMutex);
    *m_out << text << '\n';
    m_out->flush();
}

void CModwrightApp::Log(const std::string& text, bool line, bool error)
{
    if (m_frame)
    {
        m_frame->Log(text, line, error);
        return;
    }
    std::lock_guard<std::mutex> lock(m_outMutex);
    if (m_compactErrorOut)
    {
        if (!error)
        {
            // The file the log works on; an explain line keeps it.
            if (NamesWorkspaceFile(text))
                m_compactSubject = text;
            else if (text.rfind("explain: ", 0) != 0)
                m_compactSubject.clear();
            *m_out << text << '\n';
            m_out->flush();
            return;
        }
        // Standard error alone must tell what failed: an error line that does
        // not name the file the log was working on gets it in front.
        if (!m_compactSubject.empty() && text.find(ShortName(m_compactSubject)) == std::string::npos)
            *m_compactErrorOut << m_compactSubject << ": ";
        *m_compactErrorOut << text << '\n';
        m_compactErrorOut->flush();
        return;
    }
    *m_out << text << '\n';
    if (line)
        *m_out << '\n';
    m_out->flush();
}

bool CModwrightApp::RunTool(const std::string& commandLine, uint32_t& exitCode, const char* folder)
{
    // Every chunk the program writes is one message; standard error's in red.
    struct LogOutput : IProcessOutput
    {
        explicit LogOutput(CModwrightApp& app) : app(app) {}
        void OnOutput(const std::string& chunk, bool error) override { app.Log(chunk, true, error); }
        CModwrightApp& app;
    } output(*this);
    ProcessOutcome outcome;
    if (!RunToolInto(commandLine, folder, output, outcome))
    {
        exitCode = 0;
        return false;
    }
    if (outcome.endedEarly)
        Log("Early termination of application", true, false);
    exitCode = outcome.exitCode;
    return true;
}

bool CModwrightApp::RunToolInto(const std::string& commandLine, const char* folder, IProcessOutput& output,
                                ProcessOutcome& outcome)
{
    // A compiler the tools folder lacks is taken from beside the tool, so an
    // installed tool works with any tools folder, or none set up yet; the
    // same for compiles that run beside each other.
    ProcessRunner runner(m_layout.helperFolder);
    runner.SetFallbackFolder(m_layout.helperFolder);
    if (m_keepCompilersRunning)
        runner.SetWorkers(m_compilerWorkers.get());
    std::string statisticsFolder;
    if (!folder)
    {
        statisticsFolder = GetStatisticsDir();
        if (!statisticsFolder.empty())
            folder = statisticsFolder.c_str();
    }
    return runner.Run(commandLine, folder, output, outcome);
}

std::string CModwrightApp::GetStatisticsDir() const
{
    if (m_buildFolder.empty() || CanCreateFileIn(CurrentFolder()))
        return std::string();
    return m_buildFolder;
}

} // namespace mw
