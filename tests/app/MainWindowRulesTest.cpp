// The rules behind the main window: command enabling, the Mod menu, the
// output pane's lines and log queue, the worker thread and the batch
// confirmation.
#include "app/AdvancedActions.h"
#include "app/CommandTable.h"
#include "app/OutputLineRules.h"
#include "app/OutputLog.h"
#include "app/SourceControlBatch.h"
#include "app/WorkerThread.h"
#include "platform/ManualResetEvent.h"
#include "support/FakeWorkspace.h"
#include "support/ScriptedBackend.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <thread>

namespace mw {
namespace {

TEST(CommandRules, WorkerAndSettingsCommandsAreDisabledWhileBusyAndStopOnlyThen)
{
    CommandState idle{false, true, true};
    CommandState busy{true, true, true};
    for (int id : {CommandId::kBuild, CommandId::kSync, CommandId::kFileCheckIn, CommandId::kOptions,
                   CommandId::kImportRecord, CommandId::kNewMod, CommandId::kSelectModNone + 3})
    {
        EXPECT_TRUE(IsCommandEnabled(id, idle)) << id;
        EXPECT_FALSE(IsCommandEnabled(id, busy)) << id;
    }
    EXPECT_FALSE(IsCommandEnabled(CommandId::kStop, idle));
    EXPECT_TRUE(IsCommandEnabled(CommandId::kStop, busy));
    EXPECT_TRUE(IsCommandEnabled(CommandId::kRefresh, busy));
    EXPECT_EQ(StopMenuText(true, "Build"), "Stop Build");
    EXPECT_EQ(StopMenuText(false, "Build"), "Stop");
}

TEST(CommandRules, NetworkCommandsNeedNetworkModeAndMissingOperationsStayDisabled)
{
    CommandState local{false, false, true};
    EXPECT_FALSE(IsCommandEnabled(CommandId::kSync, local));
    EXPECT_FALSE(IsCommandEnabled(CommandId::kDatabaseSync, local));
    EXPECT_FALSE(IsCommandEnabled(CommandId::kTemplatron, local));
    EXPECT_TRUE(IsCommandEnabled(CommandId::kCheckRecords, local));
    EXPECT_FALSE(IsCommandEnabled(CommandId::kBuildArchives, CommandState{false, true, false}));
}

TEST(CommandRules, BusyTextsOnlyForTheListedCommands)
{
    EXPECT_EQ(BusyMessage(CommandId::kBuild), "Busy in OnBuildBuild. Tell Orlo!");
    EXPECT_EQ(BusyMessage(CommandId::kRebuildAll), "Busy in OnBuildRebuildAll. Tell Orlo!");
    EXPECT_EQ(BusyMessage(CommandId::kDatabaseSync), "Busy in OnDatabaseSync. Tell Orlo!");
    EXPECT_EQ(BusyMessage(CommandId::kTemplatron), "Busy in OnDatabaseInvoketemplatron. Tell Orlo!");
    EXPECT_EQ(BusyMessage(CommandId::kFindReferences), "Busy in OnDatabaseFindreferences. Tell Orlo!");
    EXPECT_EQ(BusyMessage(CommandId::kUpdateReferences), "Busy in OnDatabaseUpdatereferences. Tell Orlo!");
    EXPECT_EQ(BusyMessage(CommandId::kSync), "");
    EXPECT_EQ(BusyMessage(CommandId::kCheckRecords), "");
    EXPECT_EQ(BusyMessage(CommandId::kFileCheckOut), "");
}

TEST(CommandRules, ModMenuListsNoneThenModsWithTheCurrentOneChecked)
{
    auto items = ModMenuItems({"Frost", "Sand"}, 1);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].id, 5000);
    EXPECT_EQ(items[0].text, "None");
    EXPECT_FALSE(items[0].checked);
    EXPECT_EQ(items[2].id, 5002);
    EXPECT_TRUE(items[2].checked);
    EXPECT_TRUE(ModMenuItems({"Frost"}, -1)[0].checked);
    EXPECT_EQ(ModIndexOfCommand(5000), -1);
    EXPECT_EQ(ModIndexOfCommand(5002), 1);
    EXPECT_TRUE(IsDatabaseSyncPassword("qorvintl"));
    EXPECT_FALSE(IsDatabaseSyncPassword("Qorvintl"));
}

TEST(OutputLines, LongLinesKeepTheirEndAndEveryLineIsTrimmed)
{
    std::string text301 = std::string(300, 'a') + "Z";
    std::string fitted = FitOutputLine(text301);
    EXPECT_EQ(fitted.size(), 300u);
    EXPECT_EQ(fitted, std::string(294, 'a') + " ... Z");

    std::string text400 = std::string(350, 'b') + "0123456789abcdefghijklmnopqrstuvwxyz0123456789ABCD";
    fitted = FitOutputLine(text400);
    EXPECT_EQ(fitted.size(), 300u);
    EXPECT_EQ(fitted.substr(275), " ... uvwxyz0123456789ABCD");
    EXPECT_EQ(FitOutputLine(std::string(300, 'c')), std::string(300, 'c'));
    EXPECT_EQ(FitOutputLine("  \tBuild time 0:01 \r"), "Build time 0:01");
    EXPECT_EQ(FitOutputLine("   "), "");
}

TEST(OutputLines, TextIsCutAtLineFeedsWithoutATrailingEmptyLine)
{
    EXPECT_EQ(SplitLogText("one\ntwo\n"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(SplitLogText("one\n\nthree"), (std::vector<std::string>{"one", "", "three"}));
    EXPECT_TRUE(SplitLogText("").empty());
    EXPECT_EQ(SplitLogText("\n"), (std::vector<std::string>{""}));
    EXPECT_EQ(CopiedLinesText({"a", "b"}), "a\t\nb\t\n");
}

TEST(OutputLogQueue, ClearPendingClearsBeforeTheNextMessageOnly)
{
    OutputLog log;
    log.Log("first", true, false);
    log.SetClearPending();
    EXPECT_TRUE(log.IsClearPending());
    auto events = log.TakeEvents();
    ASSERT_EQ(events.size(), 1u);

    log.Log("second\nthird\n", true, true);
    EXPECT_FALSE(log.IsClearPending());
    events = log.TakeEvents();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, OutputEvent::Kind::Clear);
    EXPECT_EQ(events[1].text, "second");
    EXPECT_TRUE(events[2].error);

    // An empty message still clears, but adds no line.
    log.SetClearPending();
    log.Log("", true, false);
    events = log.TakeEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, OutputEvent::Kind::Clear);
}

TEST(OutputLogQueue, LinesFromAWorkerArriveInOrderAndNotifyOncePerBatch)
{
    OutputLog log;
    std::atomic<int> notifications{0};
    log.SetNotify([&] { ++notifications; });
    std::vector<std::string> seen;
    std::thread worker([&] {
        for (int i = 0; i < 2000; ++i)
            log.Log("line " + std::to_string(i), true, false);
    });
    while (seen.size() < 2000)
        for (const OutputEvent& event : log.TakeEvents())
            seen.push_back(event.text);
    worker.join();
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(seen[size_t(i)], "line " + std::to_string(i));
    EXPECT_GE(notifications.load(), 1);
    EXPECT_LE(notifications.load(), 2000);
}

TEST(Worker, RefusesASecondOperationAndReportsItsEnd)
{
    WorkerThread worker;
    ManualResetEvent release;
    std::atomic<int> finished{0};
    worker.SetOnFinished([&] { ++finished; });
    ASSERT_TRUE(worker.Start("Build", [&] { release.Wait(5000); }));
    EXPECT_TRUE(worker.IsRunning());
    EXPECT_FALSE(worker.Start("Rebuild All", [] {}));
    EXPECT_EQ(worker.OperationName(), "Build");
    EXPECT_FALSE(worker.WaitForEnd(10));
    release.Set();
    EXPECT_TRUE(worker.WaitForEnd(5000));
    EXPECT_FALSE(worker.IsRunning());
    ASSERT_TRUE(worker.Start("Sync", [] {}));
    EXPECT_TRUE(worker.WaitForEnd(5000));
    EXPECT_EQ(worker.OperationName(), "Sync");
    worker.SetOnFinished(nullptr);
    EXPECT_GE(finished.load(), 1);
}

class BatchTest : public ::testing::Test
{
protected:
    BatchTest() : workspace(temp.Path(), temp / "build/")
    {
        auto scripted = std::make_unique<test::ScriptedBackend>();
        backend = scripted.get();
        workspace.SourceControl().SetBackend(std::move(scripted));
        workspace.SourceControl().SetClientDirectory(temp.Path());
        workspace.SourceControl().SetUserName("me");
    }
    std::vector<std::string> Files(int count)
    {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i)
        {
            paths.push_back("database/r" + std::to_string(i) + ".dbr");
            test::WriteFile(temp / paths.back(), "x");
        }
        return paths;
    }
    test::TempFolder temp;
    test::FakeWorkspace workspace;
    test::ScriptedBackend* backend = nullptr;
};

TEST_F(BatchTest, FiveFilesAskNothingSixAskFirst)
{
    EXPECT_TRUE(ConfirmBatch(workspace.prompt, BatchAction::CheckIn, 5));
    EXPECT_TRUE(workspace.prompt.messages.empty());
    EXPECT_FALSE(ConfirmBatch(workspace.prompt, BatchAction::CheckIn, 6));
    ASSERT_EQ(workspace.prompt.messages.size(), 1u);
    EXPECT_EQ(workspace.prompt.messages[0].text, "You are attempting to check in 6 files. Proceed with check in?");
    EXPECT_EQ(workspace.prompt.messages[0].caption, "Check In");
    workspace.prompt.answers.push_back(PromptAnswer::Yes);
    EXPECT_TRUE(ConfirmBatch(workspace.prompt, BatchAction::CheckOut, 7));
    EXPECT_EQ(workspace.prompt.messages[1].text, "You are attempting to check out 7 files. Proceed with check out?");
}

TEST_F(BatchTest, CheckOutFollowsTheRuleAndStopsWhenCancelled)
{
    auto paths = Files(4);
    backend->heldBy[paths[1]] = "other";
    std::vector<size_t> progress;
    int failures = RunBatch(workspace, BatchAction::CheckOut, paths, [&](size_t done, size_t total) {
        progress.push_back(done);
        EXPECT_EQ(total, 4u);
        if (done == 2)
            workspace.RequestCancel();
    });
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(backend->calls, (std::vector<std::string>{"out " + paths[0]}));
    EXPECT_TRUE(workspace.HasLine("File " + paths[1] + " checked out by another user."));
    EXPECT_EQ(progress, (std::vector<size_t>{1, 2}));
    EXPECT_FALSE(workspace.IsCancelled());
}

TEST(AdvancedFolderActions, FileMasks)
{
    struct Case
    {
        const char* name;
        const char* mask;
        bool matches;
    } cases[] = {
        {"sword.dbr", "*.*", true},     {"README", "*.*", true},       {"sword.DBR", "*.dbr", true},
        {"sword.dbr", "*.tpl", false},  {"a.tex", "?.tex", true},      {"ab.tex", "?.tex", false},
        {"sword.dbr", "s*d.d*", true},  {"sword.dbr", "*.tpl;*.dbr", true}, {"x", "", true},
        {"abcabd", "*abd", true},       {"abcab", "*abd", false},
    };
    for (const Case& test : cases)
        EXPECT_EQ(MatchesFileMask(test.name, test.mask), test.matches) << test.name << " " << test.mask;
}

struct RefusingBackend : test::ScriptedBackend
{
    bool AddFile(const std::string& path) override { return path != "database/refused.dbr"; }
};

TEST_F(BatchTest, AddingStopsAtTheFirstFailure)
{
    workspace.SourceControl().SetBackend(std::make_unique<RefusingBackend>());
    workspace.SourceControl().SetClientDirectory(temp.Path());
    auto paths = Files(3);
    std::vector<std::string> list{paths[0], "database/refused.dbr", paths[2]};
    EXPECT_EQ(AddFilesUntilFailure(workspace, list), 1u);
    ASSERT_EQ(workspace.prompt.messages.size(), 1u);
    EXPECT_EQ(workspace.prompt.messages[0].text, "Error adding 'database/refused.dbr'.");
    EXPECT_EQ(FilesMatchingMask(workspace.SourceControl(), "database/", "r1*"),
              (std::vector<std::string>{"database/r1.dbr"}));
}

} // namespace
} // namespace mw
