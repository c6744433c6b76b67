// The application object: command line, Tools.ini, folders, mods, Sync, quiet output.
#include "app/CModwrightApp.h"
#include "platform/NativePaths.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/sourcecontrol/LocalSourceControlBackend.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sstream>

namespace mw {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

class AppTest : public ::testing::Test
{
protected:
    std::unique_ptr<CModwrightApp> MakeApp()
    {
        AppEnvironment environment;
        environment.startFolder = temp.Path() + "start";
        environment.documentsFolder = temp.Path() + "docs";
        environment.out = &out;
        environment.prompt = &prompt;
        return std::make_unique<CModwrightApp>(environment);
    }

    TempFolder temp;
    std::ostringstream out;
    test::ScriptedPrompt prompt;
};

TEST_F(AppTest, IniAsLastArgumentKeepsTheDefaultIniPath)
{
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-quiet", "-ini"}));
#ifdef _WIN32
    EXPECT_EQ(app->GetIniPath(), ToNativeSeparators(temp.Path()) + "docs\\My Games\\Verdanis - Sunward\\Tools.ini");
#else
    EXPECT_EQ(app->GetIniPath(), temp.Path() + "docs/My Games/Verdanis - Sunward/Tools.ini");
#endif
    EXPECT_EQ(out.str(), "Processing ini parameter\n\n");
    // Start-up writes the login keys, creating the ini file's folders.
    EXPECT_EQ(ReadFile(temp / "docs/My Games/Verdanis - Sunward/Tools.ini"), "[Login]\r\nusername=\r\ndatabase=\r\n");
}

TEST_F(AppTest, SwitchesAreCaseSensitiveAndValuesTakenAsGiven)
{
    auto app = MakeApp();
    app->ParseCommandLine({"-Quiet", "-NETWORK", "-username", " bob ", "-database", "-quiet", "stray"});
    EXPECT_FALSE(app->IsQuiet());
    EXPECT_FALSE(app->IsNetwork());
    EXPECT_EQ(app->GetUserName(), " bob ");
    EXPECT_EQ(app->GetDatabase(), "-quiet");
}

TEST_F(AppTest, ToolsIniIsReadWithDefaultsAndSeparatorRules)
{
    std::string ini = temp / "Tools.ini";
    WriteFile(ini, "[Login]\nlocaldir=/w\ntoolsdir=/tools\nbuilddir=/b/\nadditionalbuilddirs=/x;;/y/;\n"
                   "3dsmaxserver=host:1\nshaderasmdir=/asm\n[Build]\nExportStatistics=0\n");
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-ini", ini}));
    EXPECT_EQ(app->GetWorkingDir(), "/w\\");
    EXPECT_EQ(app->GetToolsDir(), "/tools\\");
    EXPECT_EQ(app->GetBuildDir(), "/b/");
    EXPECT_EQ(app->GetAdditionalBuildDirs(), (std::vector<std::string>{"/x\\", "/y/"}));
    EXPECT_EQ(app->JoinAdditionalBuildDirs(), "/x\\;/y/");
    EXPECT_EQ(app->GetMAXServer(), "host:1");
    EXPECT_EQ(app->GetShaderAsmDir(), "/asm");
    EXPECT_EQ(app->GetExportStatistics(), 0);
    EXPECT_EQ(app->GetSplashEnable(), 1);
    EXPECT_EQ(app->GetSourceDir(), "/w\\source\\");
    EXPECT_EQ(app->SourceControl().GetClientDirectory(), "/w\\");

    // The options write-back keeps the other lines and never writes shaderasmdir.
    ASSERT_TRUE(app->WriteOptionSettings());
    auto again = MakeApp();
    ASSERT_TRUE(again->InitInstance({"-ini", ini}));
    EXPECT_EQ(again->GetAdditionalBuildDirs(), app->GetAdditionalBuildDirs());
    EXPECT_EQ(ReadProfileString("Login", "shaderasmdir", "", ini), "/asm");
    EXPECT_NE(ReadFile(ini).find("additionalbuilddirs=/x\\;/y/\n"), std::string::npos);
}

TEST_F(AppTest, QuietNetworkLoginUsesCommandLineValuesAndWritesThemBack)
{
    std::string ini = temp / "Tools.ini";
    WriteFile(ini, "[Login]\nusername=fromini\ndatabase=inidb\n");
    auto app = MakeApp();
    std::string connectedTo;
    app->SourceControl().SetNetworkBackendFactory([&](const std::string& database) {
        connectedTo = database;
        return std::make_unique<LocalSourceControlBackend>();
    });
    ASSERT_TRUE(app->InitInstance({"-network", "-quiet", "-username", "carol", "-database", "svn://127.0.0.1/db",
                                   "-ini", ini}));
    EXPECT_EQ(connectedTo, "svn://127.0.0.1/db");
    EXPECT_EQ(app->SourceControl().GetUserName(), "carol");
    EXPECT_NE(out.str().find("Attempting to log in; User: carol Database: svn://127.0.0.1/db\n\n"
                             "Successfully logged into database...\n\n"),
              std::string::npos);
    EXPECT_EQ(ReadProfileString("Login", "username", "", ini), "carol");
    EXPECT_EQ(ReadProfileString("Login", "database", "", ini), "svn://127.0.0.1/db");
}

TEST_F(AppTest, QuietNetworkLoginFailureEndsStartUp)
{
#ifdef _WIN32
    GTEST_SKIP() << "the Windows build has no network mode yet";
#endif
    std::string ini = temp / "Tools.ini";
    WriteFile(ini, "[Login]\nusername=dave\ndatabase=nowhere\n");
    auto app = MakeApp();
    EXPECT_FALSE(app->InitInstance({"-network", "-quiet", "-ini", ini}));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "Couldn't connect to server.");
    EXPECT_EQ(prompt.messages[0].icon, PromptIcon::Error);
    // Why, before the tool's own line: a database that is no URL.
    EXPECT_EQ(out.str(), "Processing ini parameter\n\nAttempting to log in; User: dave Database: nowhere\n\n"
                         "Couldn't connect to nowhere: \"nowhere\" is not a repository URL (svn://, svn+ssh://, "
                         "http://, https:// or file:// and the repository's path)\n\n"
                         "Error logging into database.  Invalid username or database specified.\n\n");
}

TEST_F(AppTest, AnUnwritableIniIsReportedNotIgnored)
{
    // A file stands where the ini file's folder should be.
    WriteFile(temp / "blocked", "");
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-ini", temp / "blocked/Tools.ini"}));
    EXPECT_NE(out.str().find("Couldn't write the settings file " + temp / "blocked/Tools.ini"), std::string::npos);
}

TEST_F(AppTest, ModsAreListedAndSelectedByIndexOrExactName)
{
    EnsureFolders(temp / "w/CustomMaps/Frost/");
    EnsureFolders(temp / "w/CustomMaps/Alpine/");
    std::string ini = temp / "Tools.ini";
    WriteProfileString("Login", "localdir", temp / "w", ini);
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-ini", ini}));
    std::string working = temp.Path() + "w\\";
    EXPECT_EQ(app->GetModList(), (std::vector<std::string>{"Alpine", "Frost"}));
    EXPECT_EQ(app->GetSourceDir(), working + "source\\");
    app->SelectModByName("Frost");
    EXPECT_EQ(app->GetCurrentModIndex(), 1);
    EXPECT_EQ(app->GetSourceDir(), working + "CustomMaps\\Frost\\source\\");
    app->SelectModByName("frost");
    EXPECT_EQ(app->GetCurrentModIndex(), 1);
    EXPECT_EQ(app->GetSourceDir(), working + "CustomMaps\\Frost\\source\\");
    EXPECT_EQ(app->GetModPrefix(), "CustomMaps/Frost/");
    app->SelectMod(-1);
    EXPECT_EQ(app->GetSourceDir(), working + "source\\");
    EXPECT_EQ(app->GetModPrefix(), "");
}

TEST_F(AppTest, ModNameOfARecordPath)
{
    auto app = MakeApp();
    app->SetLocalDir("C:\\W\\", false);
    EXPECT_EQ(app->ModNameOfPath("C:\\W\\CustomMaps\\Frost\\database\\records\\a.dbr"), "Frost");
    EXPECT_EQ(app->ModNameOfPath("C:\\W\\database\\records\\a.dbr"), "");
    EXPECT_EQ(app->ModNameOfPath("C:\\W\\CustomMaps\\Frost\\records\\a.dbr"), "");
}

TEST_F(AppTest, ACancelledSyncStillReportsItsTimeAndResetsTheEvent)
{
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-quiet", "-ini", temp / "Tools.ini"}));
    out.str("");
    app->RequestCancel();
    EXPECT_EQ(app->Sync(), 0);
    EXPECT_FALSE(app->IsCancelled());
    const std::string dashes(51, '-');
    EXPECT_EQ(out.str(), dashes + "\nSyncing...\n\nSync cancelled by user\n\n\n\nSync time 0:00\n\n" + dashes + "\n");
}

TEST_F(AppTest, DefaultsTableListsFilesWithAnExtension)
{
    WriteFile(temp / "start/Defaults/Quest.qst", "");
    WriteFile(temp / "start/Defaults/notes.a.txt", "");
    WriteFile(temp / "start/Defaults/README", "");
    EnsureFolders(temp / "start/Defaults/folder.x/");
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-ini", temp / "Tools.ini"}));
    ASSERT_EQ(app->GetDefaults().size(), 2u);
    EXPECT_EQ(app->GetDefaults()[0].baseName, "notes.a");
    EXPECT_EQ(app->GetDefaults()[0].extension, "txt");
    EXPECT_EQ(app->GetDefaults()[1].baseName, "Quest");
    EXPECT_EQ(app->GetDefaults()[1].extension, "qst");
}

} // namespace
} // namespace mw

#include "app/WorkspaceOperations.h"
#include "support/FakeWorkspace.h"

namespace mw {
namespace {

// Records the adds it is asked for; otherwise the local backend.
class RecordingBackend : public LocalSourceControlBackend
{
public:
    explicit RecordingBackend(std::vector<std::string>& added) : m_added(added) {}
    bool AddFile(const std::string& path) override
    {
        m_added.push_back(path);
        return true;
    }
    int GetFileStatus(const std::string& path, FileStatus& status) override
    {
        // Pretend that files named "known*" are already under control.
        return path.find("known") != std::string::npos ? (status = FileStatus(), 0) : 1;
    }

private:
    std::vector<std::string>& m_added;
};

TEST(WorkspaceOperations, NewModFoldersCreatesTheSkeletonAndAddsTheTwoFiles)
{
    test::TempFolder temp;
    test::FakeWorkspace workspace(temp.Path(), temp / "build/");
    std::vector<std::string> added;
    workspace.SourceControl().SetBackend(std::make_unique<RecordingBackend>(added));
    ASSERT_TRUE(NewModFolders(workspace, "Frost"));
    for (const char* folder : {"source", "assets", "database", "source/Quests", "source/Maps", "source/Text"})
        EXPECT_TRUE(IsFolder(temp / "CustomMaps/Frost/" + folder)) << folder;
    EXPECT_EQ(test::ReadFile(temp / "CustomMaps/Frost/source/Text/ModStrings.txt"), "");
    EXPECT_EQ(added, (std::vector<std::string>{"CustomMaps/Frost/source/Quests/Tokens.bin",
                                               "CustomMaps/Frost/source/Text/ModStrings.txt"}));
    added.clear();
    ASSERT_TRUE(NewModFolders(workspace, ""));
    EXPECT_TRUE(IsFile(temp / "source/Quests/Tokens.bin"));
    EXPECT_EQ(added.size(), 2u);
}

TEST(WorkspaceOperations, AddFolderRecursivelyAddsUnknownFilesAndSkipsDotFolders)
{
    test::TempFolder temp;
    test::FakeWorkspace workspace(temp.Path(), temp / "build/");
    std::vector<std::string> added;
    workspace.SourceControl().SetBackend(std::make_unique<RecordingBackend>(added));
    test::WriteFile(temp / "source/a.txt", "");
    test::WriteFile(temp / "source/known.txt", "");
    test::WriteFile(temp / "source/Sub/b.tga", "");
    test::WriteFile(temp / "source/.svn/c", "");
    AddFolderRecursively(workspace, "source/");
    EXPECT_EQ(added, (std::vector<std::string>{"source/a.txt", "source/Sub/b.tga"}));
    added.clear();
    workspace.RequestCancel();
    AddFolderRecursively(workspace, "source/");
    EXPECT_TRUE(added.empty());
}

} // namespace
} // namespace mw

#include "app/IFrameHost.h"

namespace mw {
namespace {

class FakeFrame : public IFrameHost
{
public:
    void Log(const std::string& text, bool line, bool error) override
    {
        lines.push_back(text + (line ? "|line" : "") + (error ? "|error" : ""));
    }
    void ClearOutput() override { lines.push_back("<clear>"); }
    void SetClearPending() override { lines.push_back("<pending>"); }
    std::vector<std::string> lines;
};

TEST_F(AppTest, WithAFrameLogAndTheOperationFrameGoToTheWindow)
{
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-quiet", "-ini", temp / "Tools.ini"}));
    out.str("");
    FakeFrame frame;
    app->SetFrame(&frame);
    EXPECT_EQ(app->SourceControl().GetLog(), static_cast<SourceControlLog*>(&frame));
    EXPECT_EQ(app->MainFrameLog(), static_cast<SourceControlLog*>(&frame));
    app->BeginOperation();
    app->Log("hello", true, false);
    app->Log("bad", false, true);
    app->EndOperation();
    EXPECT_EQ(frame.lines, (std::vector<std::string>{"<clear>", "hello|line", "bad|error", "<pending>"}));
    EXPECT_EQ(out.str(), "");
}

TEST_F(AppTest, ReconnectReportsAFailedConnectionInAMessageBox)
{
    auto app = MakeApp();
    EXPECT_FALSE(app->Reconnect("nowhere", "fred"));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "Couldn't connect to server.");
    EXPECT_EQ(prompt.messages[0].caption, "");
    EXPECT_EQ(prompt.messages[0].icon, PromptIcon::Error);
    app->SourceControl().SetNetworkBackendFactory(
        [](const std::string&) { return std::make_unique<LocalSourceControlBackend>(); });
    EXPECT_TRUE(app->Reconnect("svn://127.0.0.1/db", "fred"));
    EXPECT_EQ(app->SourceControl().GetUserName(), "fred");
}

TEST_F(AppTest, QuietBuildOfAnEmptyWorkspaceSucceeds)
{
    std::string ini = temp / "Tools.ini";
    WriteProfileString("Login", "localdir", temp / "w", ini);
    WriteProfileString("Login", "builddir", temp / "b", ini);
    WriteProfileString("Login", "toolsdir", temp / "t", ini);
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-quiet", "-ini", ini}));
    EXPECT_EQ(app->RunQuiet(), 0);
    EXPECT_TRUE(IsFile(temp / "b/database/database.arz"));
    EXPECT_NE(out.str().find("Starting quiet mode processing...\n\n"), std::string::npos);
}

} // namespace
} // namespace mw

namespace mw {
namespace {

TEST_F(AppTest, RunToolLogsEachChunkAndReportsEarlyTermination)
{
    auto app = MakeApp();
    FakeFrame frame;
    app->SetFrame(&frame);
    uint32_t exitCode = 99;
    ASSERT_TRUE(app->RunTool(std::string(TEST_TOOL_EXE) + " --say built --err warned --exit 4", exitCode, nullptr));
    EXPECT_EQ(exitCode, 4u);
    EXPECT_EQ(frame.lines, (std::vector<std::string>{"built\n|line", "warned|line|error"}));

    frame.lines.clear();
    ASSERT_TRUE(app->RunTool(std::string(TEST_TOOL_EXE) + " --crash", exitCode, nullptr));
    EXPECT_EQ(frame.lines, (std::vector<std::string>{"Early termination of application|line"}));

    frame.lines.clear();
    EXPECT_FALSE(app->RunTool("\"" + temp / "missing tool.exe" + "\"", exitCode, temp.Path().c_str()));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(frame.lines.empty());
}

} // namespace
} // namespace mw

#include "app/BuildLineAsset.h"
#include "app/ImportRecord.h"
#include "app/MainWindowTexts.h"
#include "assets/BuildDriver.h"

namespace mw {
namespace {

TEST_F(AppTest, TheModChosenLastIsSelectedAgainAndMinusModOverridesIt)
{
    EnsureFolders(temp / "w/CustomMaps/Frost/");
    EnsureFolders(temp / "w/CustomMaps/Alpine/");
    std::string ini = temp / "Tools.ini";
    WriteProfileString("Login", "localdir", temp / "w", ini);
    {
        auto app = MakeApp();
        ASSERT_TRUE(app->InitInstance({"-ini", ini}));
        EXPECT_EQ(app->GetCurrentModName(), "");
        app->SelectModByName("Frost");
        ASSERT_TRUE(app->RememberCurrentMod());
    }
    EXPECT_EQ(ReadProfileString("Login", "mod", "", ini), "Frost");
    auto again = MakeApp();
    ASSERT_TRUE(again->InitInstance({"-quiet", "-ini", ini}));
    EXPECT_EQ(again->GetCurrentModName(), "Frost");
    EXPECT_EQ(again->GetModPrefix(), "CustomMaps/Frost/");

    auto chosen = MakeApp();
    ASSERT_TRUE(chosen->InitInstance({"-quiet", "-ini", ini, "-mod", "Alpine"}));
    EXPECT_EQ(chosen->GetCurrentModName(), "Alpine");
    // A one-off -mod does not replace the remembered choice.
    EXPECT_EQ(ReadProfileString("Login", "mod", "", ini), "Frost");

    // An unknown -mod ends start-up, so quiet mode never builds the wrong mod.
    auto unknown = MakeApp();
    EXPECT_FALSE(unknown->InitInstance({"-quiet", "-ini", ini, "-mod", "Glacier"}));
    EXPECT_NE(out.str().find("Unknown mod: Glacier"), std::string::npos);

    // A remembered mod that was deleted selects none, and says so.
    ASSERT_TRUE(DeleteFolderTree(temp / "w/CustomMaps/Frost/"));
    auto gone = MakeApp();
    ASSERT_TRUE(gone->InitInstance({"-quiet", "-ini", ini}));
    EXPECT_EQ(gone->GetCurrentModName(), "");
    EXPECT_NE(out.str().find("The mod Frost chosen last time no longer exists"), std::string::npos);
}

TEST_F(AppTest, BuildsEndWithAnOutcomeLineAndCompilerLinesLeadToTheirAsset)
{
    std::string ini = temp / "Tools.ini";
    WriteProfileString("Login", "localdir", temp / "w", ini);
    WriteProfileString("Login", "builddir", temp / "b", ini);
    WriteProfileString("Login", "toolsdir", temp / "t", ini);
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-quiet", "-ini", ini}));
    ASSERT_EQ(app->RunQuiet(), 0);
    // The first build writes the (empty) database archive; the next has nothing to do.
    EXPECT_EQ(app->Builder().Outcome().Line(), "Build: 0 compiled, 0 errors, database archive written");
    app->Builder().BuildAll(false, true);
    EXPECT_EQ(app->Builder().Outcome().Line(), "Nothing to build");
    std::string printed = out.str();
    EXPECT_GT(printed.rfind("Nothing to build"), printed.rfind("Build time"));

    EXPECT_EQ(BuildOutcome::LineFor(14, 14, 80, 0, 0, true, false), "Build stopped by user after 14 of 80 assets");
    EXPECT_EQ(BuildOutcome::LineFor(3, 80, 80, 0, 0, false, false), "Build: 3 compiled, 0 errors");
    EXPECT_EQ(BuildOutcome::LineFor(3, 80, 80, 2, 1, false, true), "Build failed: 2 errors, 1 warning (3 assets compiled)");
    EXPECT_EQ(OperationEndMessage("Check Records", "", false, 0), "Check Records finished");
    EXPECT_EQ(OperationEndMessage("Check Records", "", true, 0), "Check Records stopped by user");
    EXPECT_EQ(OperationEndMessage("Check Records", "", false, 2), "Check Records ended with 2 error lines");
    EXPECT_EQ(MainWindowTitle("svn://host/repo", "Frost"), "Modwright - svn://host/repo - Frost");
    EXPECT_EQ(MainWindowTitle("", ""), "Modwright");

    // A compiler's error line belongs to the output path logged above it.
    WriteFile(temp / "w/CustomMaps/Frost/assets/ui/logo.tex", "asset");
    std::string output = app->GetBuildDir() + "custommaps/frost/resources/ui/logo.tex";
    EXPECT_EQ(AssetOfBuildLine(*app, {"Compiling assets...", output, "TexForge: cannot read 'x.tga': file not found"}),
              "custommaps/frost/assets/ui/logo.tex");
    EXPECT_EQ(AssetOfBuildLine(*app, {"Compiling assets...", "TexForge: cannot read 'x.tga'"}), "");
    EXPECT_EQ(AssetOfBuildLine(*app, {app->GetBuildDir() + "resources/ui/gone.tex", "error"}), "");
}

TEST_F(AppTest, ImportRecordAlsoSearchesTheArchivesTheBuildWrote)
{
    EnsureFolders(temp / "w/CustomMaps/Frost/database/");
    std::string ini = temp / "Tools.ini";
    WriteProfileString("Login", "localdir", temp / "w", ini);
    WriteProfileString("Login", "builddir", temp / "b", ini);
    auto app = MakeApp();
    ASSERT_TRUE(app->InitInstance({"-quiet", "-ini", ini}));
    EXPECT_EQ(ImportRecordArchives(*app), (std::vector<std::string>{app->GetBuildDir() + "database\\database.arz"}));
    app->SelectModByName("Frost");
    std::vector<std::string> archives = ImportRecordArchives(*app);
    ASSERT_EQ(archives.size(), 3u);
    EXPECT_EQ(archives[0], temp.Path() + "start\\Database/database.arz");
    EXPECT_EQ(archives[2], app->GetBuildDir() + "CustomMaps/Frost\\database/Frost.arz");
}

} // namespace
} // namespace mw
