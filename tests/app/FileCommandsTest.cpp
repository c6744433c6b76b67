// File and folder commands of the tabs, the options write-back, the
// windowed login loop and the Status Report, on real folders.
#include "app/CModwrightApp.h"
#include "app/FileCommands.h"
#include "app/FileReorganiser.h"
#include "app/ImportRecord.h"
#include "app/UserStates.h"
#include "dbtools/DatabaseCompile.h"
#include "app/OptionSettings.h"
#include "app/StatusReport.h"
#include "app/WindowedLogin.h"
#include "platform/PathRules.h"
#include "platform/FileSystem.h"
#include "platform/NativePaths.h"
#include "platform/ProfileFile.h"
#include "support/FakeWorkspace.h"
#include "support/ScriptedBackend.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sstream>

namespace mw {
namespace {

using test::ReadFile;
using test::WriteFile;

class FileCommandsTest : public ::testing::Test
{
protected:
    FileCommandsTest() : workspace(temp.Path(), temp / "build/")
    {
        auto scripted = std::make_unique<test::ScriptedBackend>();
        backend = scripted.get();
        workspace.SourceControl().SetBackend(std::move(scripted));
        workspace.SourceControl().SetClientDirectory(temp.Path());
        workspace.SourceControl().SetUserName("me");
    }
    std::vector<std::string> MessageTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& message : workspace.prompt.messages)
            texts.push_back(message.text);
        return texts;
    }
    test::TempFolder temp;
    test::FakeWorkspace workspace;
    test::ScriptedBackend* backend = nullptr;
};

TEST_F(FileCommandsTest, NewRecordTakesTheFirstNameSourceControlDoesNotKnow)
{
    WriteFile(temp / "database/records/New Record.dbr", "");
    std::string path = NewEmptyFile(workspace, "database/records/", "Record", "dbr");
    EXPECT_EQ(path, "database/records/New Record (2).dbr");
    EXPECT_TRUE(IsFile(temp / "database/records/New Record (2).dbr"));
    EXPECT_EQ(NewEmptyFile(workspace, "database/records/", "Template", "tpl"), "database/records/New Template.tpl");
    EXPECT_TRUE(workspace.prompt.messages.empty());
}

TEST_F(FileCommandsTest, DeleteAsksOnceAndDeletesOnlyOnYes)
{
    // The views delete through the reorganiser; in network mode it deletes
    // through source control, as these files are.
    FileReorganiser reorganiser(workspace, true, false);
    EXPECT_FALSE(reorganiser.DeleteFiles({}));
    EXPECT_TRUE(workspace.prompt.messages.empty());

    WriteFile(temp / "source/a.txt", "a");
    WriteFile(temp / "source/b.txt", "b");
    EXPECT_FALSE(reorganiser.DeleteFiles({"source/a.txt"}));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Are you sure you want to delete the file 'a.txt'?"}));
    EXPECT_EQ(workspace.prompt.messages[0].caption, "Confirm File Delete");
    EXPECT_TRUE(IsFile(temp / "source/a.txt"));

    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    EXPECT_TRUE(reorganiser.DeleteFiles({"source/a.txt", "source/b.txt"}));
    EXPECT_EQ(MessageTexts().back(), "Are you sure you want to delete these 2 files?");
    EXPECT_FALSE(PathExists(temp / "source/a.txt"));
    EXPECT_FALSE(PathExists(temp / "source/b.txt"));
}

TEST_F(FileCommandsTest, PasteNeverOverwritesAndCopiedRecordsRememberTheirSource)
{
    WriteFile(temp / "database/a/x.dbr", "templateName,t.tpl,\n");
    SetReadOnly(temp / "database/a/x.dbr", true);
    EXPECT_EQ(CopyCandidateName("x.dbr", 2), "Copy (2) of x.dbr");
    auto created = PasteFiles(workspace, {"database/a/x.dbr"}, "database/b/");
    auto again = PasteFiles(workspace, {"database/a/x.dbr"}, "database/b/");
    auto third = PasteFiles(workspace, {"database/a/x.dbr"}, "database/b/");
    EXPECT_EQ(created, (std::vector<std::string>{"database/b/x.dbr"}));
    EXPECT_EQ(again, (std::vector<std::string>{"database/b/Copy of x.dbr"}));
    EXPECT_EQ(third, (std::vector<std::string>{"database/b/Copy (2) of x.dbr"}));
    bool readOnly = true;
    ASSERT_TRUE(GetReadOnly(temp / "database/b/x.dbr", readOnly));
    EXPECT_FALSE(readOnly);
    EXPECT_NE(ReadFile(temp / "database/b/x.dbr").find("fileNameHistoryEntry,a\\x.dbr,"), std::string::npos);
    EXPECT_TRUE(workspace.prompt.messages.empty());
}

TEST_F(FileCommandsTest, MovedRecordKeepsItsOldPathInItsHistory)
{
    WriteFile(temp / "database/old/shield.dbr", "templateName,t.tpl,\n");
    std::string moved = MoveRecord(workspace, "database/old/shield.dbr", "database/new/");
    EXPECT_EQ(moved, "database/new/shield.dbr");
    EXPECT_FALSE(PathExists(temp / "database/old/shield.dbr"));
    EXPECT_NE(ReadFile(temp / "database/new/shield.dbr").find("fileNameHistoryEntry,old\\shield.dbr,"),
              std::string::npos);

    // Never over an existing file.
    WriteFile(temp / "database/old/shield.dbr", "other");
    EXPECT_EQ(MoveRecord(workspace, "database/old/shield.dbr", "database/new/"), "");
    EXPECT_EQ(ReadFile(temp / "database/old/shield.dbr"), "other");
    EXPECT_EQ(workspace.prompt.messages.size(), 1u);
}

TEST_F(FileCommandsTest, CheckOutAndEditOnAFileAnotherUserHolds)
{
    WriteFile(temp / "database/x.dbr", "");
    backend->heldBy["database/x.dbr"] = "ann";
    EXPECT_FALSE(CheckOutForEdit(workspace, "database/x.dbr", true));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"The file is currently checked out by ann."}));
    EXPECT_TRUE(backend->calls.empty());

    backend->heldBy["database/x.dbr"] = "me";
    EXPECT_TRUE(CheckOutForEdit(workspace, "database/x.dbr", true));
    EXPECT_TRUE(backend->calls.empty());
}

TEST_F(FileCommandsTest, CheckOutAndEditAsksInNetworkModeAndReportsAFailedCheckOut)
{
    WriteFile(temp / "database/x.dbr", "");
    EXPECT_FALSE(CheckOutForEdit(workspace, "database/x.dbr", true));
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{"Would you like to check out the file and edit it?"}));
    EXPECT_TRUE(backend->calls.empty());

    backend->checkOutResults["database/x.dbr"] = 7;
    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    EXPECT_FALSE(CheckOutForEdit(workspace, "database/x.dbr", true));
    EXPECT_EQ(MessageTexts().back(), "Error checking out file");
    EXPECT_TRUE(workspace.HasLine("Checkout Error for file: database/x.dbr (Error 7)."));

    backend->checkOutResults.clear();
    EXPECT_TRUE(CheckOutForEdit(workspace, "database/x.dbr", false));
}

TEST_F(FileCommandsTest, FolderCommandsReportFailures)
{
    EnsureFolders(temp / "source");
    EXPECT_TRUE(CreateFolder(workspace, "source/", "Maps"));
    EXPECT_TRUE(IsFolder(temp / "source/Maps"));
    EXPECT_FALSE(CreateFolder(workspace, "source/", "a/b"));
    EXPECT_EQ(MessageTexts().back(), "Error creating folder a/b.");

    WriteFile(temp / "source/Maps/m.txt", "");
    EXPECT_EQ(RenameFolder(workspace, "source/Maps/", "Levels"), "source/Levels/");
    EXPECT_TRUE(IsFile(temp / "source/Levels/m.txt"));
    EnsureFolders(temp / "source/Maps");
    EXPECT_EQ(RenameFolder(workspace, "source/Levels/", "Maps"), "");
    EXPECT_EQ(MessageTexts().back(), "Couldn't rename Levels to Maps.");
    EXPECT_TRUE(IsFile(temp / "source/Levels/m.txt"));
    RemoveEmptyFolder(temp / "source/Maps");
    EXPECT_EQ(RenameFolder(workspace, "source/Levels/", "Maps"), "source/Maps/");

    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    EXPECT_TRUE(FileReorganiser(workspace, true, false).DeleteFolder("source/Maps/"));
    EXPECT_EQ(MessageTexts().back(), "Are you sure you want to delete the folder 'source/Maps' and its contents?");
    EXPECT_FALSE(PathExists(temp / "source/Maps"));
}

TEST(OptionsAndStartUp, ConfirmedOptionsAreStoredWithSeparatorsAndWrittenBack)
{
    test::TempFolder temp;
    std::ostringstream out;
    test::ScriptedPrompt prompt;
    AppEnvironment environment;
    environment.startFolder = temp / "start";
    environment.documentsFolder = temp / "docs";
    environment.out = &out;
    environment.prompt = &prompt;
    CModwrightApp app(environment);
    std::string ini = temp / "Tools.ini";
    ASSERT_TRUE(app.InitInstance({"-ini", ini}));
    EXPECT_TRUE(NeedsFirstStartSetup(app));
    ProposeFirstStartDefaults(app);
    // Proposed and stored folders are written the way the system writes paths.
#ifdef _WIN32
    const std::string sep = "\\";
#else
    const std::string sep = "/";
#endif
    EXPECT_EQ(app.GetBuildDir(), ToNativeSeparators(temp.Path()) + "docs" + sep + "My Games" + sep + "Verdanis - Sunward" + sep);
    EXPECT_EQ(app.GetWorkingDir(), app.GetBuildDir() + "Working" + sep);
    // The start folder holds no compilers: the proposal is the folder of the tool's own.
    EXPECT_EQ(ToForwardSlashes(app.GetToolsDir()), ToForwardSlashes(app.GetHelperDir()));
    EXPECT_NE(app.GetToolsDir(), temp / "start\\");

    OptionSettings settings = ReadOptionSettings(app);
    // A folder typed with either separator, with or without a trailing one.
    settings.toolsFolder = "/opt\\tools";
    settings.buildFolder = "/srv/build\\";
    settings.additionalBuildFolders = "/x;;/y\\z";
    settings.exportStatistics = false;
    settings.maxServer = "ignored:1";
    ASSERT_TRUE(ApplyOptionSettings(app, settings));
    EXPECT_EQ(app.GetToolsDir(), sep + "opt" + sep + "tools" + sep);
    EXPECT_EQ(ReadProfileString("Login", "toolsdir", "", ini), sep + "opt" + sep + "tools" + sep);
    EXPECT_EQ(ReadProfileString("Login", "builddir", "", ini), sep + "srv" + sep + "build" + sep);
    EXPECT_EQ(ReadProfileString("Login", "additionalbuilddirs", "", ini), sep + "x" + sep + ";" + sep + "y" + sep + "z" + sep);
    // Reading them back for the dialog shows the same form.
    EXPECT_EQ(ReadOptionSettings(app).toolsFolder, app.GetToolsDir());
    EXPECT_EQ(ReadProfileString("Build", "ExportStatistics", "", ini), "0");
    // The local form has no MAX server field.
    EXPECT_EQ(app.GetMAXServer(), "");
    EXPECT_FALSE(NeedsFirstStartSetup(app));
}

struct ScriptedLoginWindow : ILoginWindow
{
    bool AskLogin(std::string& userName, std::string& server) override
    {
        shown.push_back(userName + "@" + server);
        if (answers.empty())
            return false;
        userName = answers.front().first;
        server = answers.front().second;
        answers.erase(answers.begin());
        return true;
    }
    void ShowSplash() override { events.push_back("splash"); }
    void CloseSplash() override { events.push_back("close"); }
    std::vector<std::string> shown;
    std::vector<std::pair<std::string, std::string>> answers;
    std::vector<std::string> events;
};

TEST(OptionsAndStartUp, LoginDialogRepeatsUntilConnectedOrCancelled)
{
    test::TempFolder temp;
    std::ostringstream out;
    test::ScriptedPrompt prompt;
    AppEnvironment environment;
    environment.startFolder = temp / "start";
    environment.documentsFolder = temp / "docs";
    environment.out = &out;
    environment.prompt = &prompt;
    std::string ini = temp / "Tools.ini";
    WriteFile(ini, "[Login]\nusername=bob\ndatabase=old\n");

    CModwrightApp app(environment);
    int connects = 0;
    app.SourceControl().SetNetworkBackendFactory([&](const std::string& database) {
        ++connects;
        return database == "good" ? std::make_unique<LocalSourceControlBackend>() : nullptr;
    });
    ScriptedLoginWindow window;
    window.answers = {{"bob", "bad"}, {"ann", "good"}};
    app.SetWindowedLogin([&](CModwrightApp& self) { return LogInWindowed(self, window); });
    ASSERT_TRUE(app.InitInstance({"-network", "-ini", ini}));
    EXPECT_EQ(window.shown, (std::vector<std::string>{"bob@old", "bob@bad"}));
    EXPECT_EQ(window.events, (std::vector<std::string>{"splash", "close", "splash"}));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "Couldn't connect to server.");
    EXPECT_EQ(app.SourceControl().GetUserName(), "ann");
    EXPECT_EQ(ReadProfileString("Login", "database", "", ini), "good");

    CModwrightApp cancelled(environment);
    ScriptedLoginWindow none;
    cancelled.SetWindowedLogin([&](CModwrightApp& self) { return LogInWindowed(self, none); });
    EXPECT_FALSE(cancelled.InitInstance({"-network", "-ini", ini}));
}

TEST(StatusReportRows, OnlyThisUsersAssetsWaitingForReviewOrRevision)
{
    test::TempFolder temp;
    WriteFile(temp / "assets/a.tex", "2 me");
    WriteFile(temp / "assets/b.tex", "3 you");
    WriteFile(temp / "assets/c.tex", "4 me");
    WriteFile(temp / "assets/sub/d.msh", "3 me");
    WriteFile(temp / "assets/sub/junk.txt", "junk");
    auto reader = [](const std::string& path, int& status, std::string& user) {
        std::istringstream in(ReadFile(path));
        return bool(in >> status >> user);
    };
    auto rows = CollectStatusReport(temp.Path(), "me", reader);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "a.tex");
    EXPECT_EQ(rows[0].status, "Waiting for Review");
    EXPECT_EQ(rows[1].name, "sub/d.msh");
    EXPECT_EQ(rows[1].status, "Revise");
    EXPECT_EQ(PrintDateText(8, 12, 2026, 9, 5, 3), "08/12/2026  09:05:03");
    EXPECT_EQ(PageNumberText(2), "Page : 2");
    EXPECT_EQ(ReviewStatusText(5), "Final Approval");
}

TEST(ImportRecordFromArchives, RecordIsWrittenFromTheFirstArchiveThatHoldsItAndNeverOverAFile)
{
    test::TempFolder temp;
    // A built game database in an additional build folder.
    WriteFile(temp / "game/database/Templates/t.tpl",
              "Group { name = \"All Groups\" type = \"list\"\n"
              "Variable { name = \"a\" class = \"variable\" type = \"int\" defaultValue = \"\" }\n}\n");
    WriteFile(temp / "game/database/records/sword.dbr", "templateName,%TEMPLATE_DIR%Database\\Templates\\t.tpl,\na,7,\n");
    std::ostringstream out;
    test::ScriptedPrompt prompt;
    AppEnvironment environment;
    environment.startFolder = temp / "start";
    environment.documentsFolder = temp / "docs";
    environment.out = &out;
    environment.prompt = &prompt;
    std::string ini = temp / "Tools.ini";
    WriteFile(ini, "[Login]\nlocaldir=" + temp / "game/" + "\nbuilddir=" + temp / "gamebuild/" +
                       "\nadditionalbuilddirs=" + temp / "missing/;" + temp / "gamebuild/" + "\n");
    CModwrightApp game(environment);
    ASSERT_TRUE(game.InitInstance({"-quiet", "-ini", ini}));
    ASSERT_EQ(CompileDatabase(game, "database/", true, false), 0);

    // The mod's workspace imports from it.
    WriteFile(ini, "[Login]\nlocaldir=" + temp / "mod/" + "\nadditionalbuilddirs=" + temp / "missing/;" +
                       temp / "gamebuild/" + "\n");
    CModwrightApp app(environment);
    ASSERT_TRUE(app.InitInstance({"-quiet", "-ini", ini}));
    auto archives = ImportRecordArchives(app);
    ASSERT_EQ(archives.size(), 2u);
    EXPECT_EQ(ListArchiveRecords(archives), (std::vector<std::string>{"records\\sword.dbr"}));
    EXPECT_EQ(ImportRecord(app, archives, "records\\sword.dbr"), "database/records/sword.dbr");
    std::string text = ReadFile(temp / "mod/database/records/sword.dbr");
    EXPECT_NE(text.find("a,7,"), std::string::npos);
    EXPECT_TRUE(prompt.messages.empty());

    WriteFile(temp / "mod/database/records/sword.dbr", "mine");
    EXPECT_EQ(ImportRecord(app, archives, "records\\sword.dbr"), "");
    EXPECT_EQ(ReadFile(temp / "mod/database/records/sword.dbr"), "mine");
    EXPECT_EQ(ImportRecord(app, archives, "records\\nothere.dbr"), "");
    ASSERT_EQ(prompt.messages.size(), 2u);
    EXPECT_EQ(prompt.messages[1].text, "Error importing database record");

    EXPECT_EQ(UserStatePairs("ann\nidle\nbob\nlocking\nstray\n"),
              (std::vector<std::pair<std::string, std::string>>{{"ann", "idle"}, {"bob", "locking"}}));
}

} // namespace
} // namespace mw
