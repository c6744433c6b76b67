// The process runner against TestTool, a program built for these tests.
#include "platform/CommandLine.h"
#include "platform/CompilerWorkers.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/PathRules.h"
#include "platform/ProcessRunner.h"
#include "platform/WorkerProtocol.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#endif

namespace mw {
namespace {

const std::string kTestTool = TEST_TOOL_EXE;

struct Chunk
{
    std::string text;
    bool error;
};

class CollectingOutput : public IProcessOutput
{
public:
    void OnOutput(const std::string& chunk, bool error) override { chunks.push_back(Chunk{chunk, error}); }
    std::string All(bool error) const
    {
        std::string all;
        for (const Chunk& chunk : chunks)
            if (chunk.error == error)
                all += chunk.text;
        return all;
    }
    std::vector<Chunk> chunks;
};

TEST(CommandLine, SplitsWithTheQuotingRules)
{
    using V = std::vector<std::string>;
    struct Case
    {
        std::string line;
        V arguments;
    };
    const Case cases[] = {
        {"", {}},
        {"  tool  a\tb  ", {"tool", "a", "b"}},
        {"\"C:\\Program Files\\x.exe\" -in \"a b.tga\"", {"C:\\Program Files\\x.exe", "-in", "a b.tga"}},
        {"a\\\\b c\\d", {"a\\\\b", "c\\d"}},
        {"\"a\\\"b\"", {"a\"b"}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"\"\"", {""}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"x\"y z\"w", {"xy zw"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitCommandLine(c.line), c.arguments) << c.line;
}

// Each run below is made twice: in a process of its own, and on a worker
// (TestTool serves as one, as the compilers do), where it must end alike.
class ProcessRunnerRuns : public ::testing::TestWithParam<bool>
{
protected:
    ProcessRunnerRuns()
    {
        if (GetParam())
            runner.SetWorkers(&workers);
    }

    CompilerWorkers workers{ParentPath(kTestTool)};
    ProcessRunner runner{ParentPath(kTestTool)};
};

INSTANTIATE_TEST_SUITE_P(, ProcessRunnerRuns, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "OnAWorker" : "InAProcessOfItsOwn";
                         });

TEST_P(ProcessRunnerRuns, OutputArrivesInChunksAndTheExitCodeComesBack)
{
    CollectingOutput output;
    ProcessOutcome outcome;
    ASSERT_TRUE(runner.Run("\"" + kTestTool + "\" --out 5000 --exit 3", nullptr, output, outcome));
    EXPECT_EQ(outcome.exitCode, 3u);
    EXPECT_FALSE(outcome.endedEarly);
    EXPECT_GE(output.chunks.size(), 5u);
    for (const Chunk& chunk : output.chunks)
    {
        EXPECT_LE(chunk.text.size(), ProcessRunner::kChunkSize);
        EXPECT_FALSE(chunk.error);
    }
    std::string all = output.All(false);
    ASSERT_EQ(all.size(), 5000u);
    EXPECT_EQ(all.substr(0, 3), "abc");
    EXPECT_EQ(all[4999], char('a' + 4999 % 26));
}

TEST_P(ProcessRunnerRuns, StandardErrorIsFlaggedAndNothingWrittenBeforeTheEndIsLost)
{
    CollectingOutput output;
    ProcessOutcome outcome;
    ASSERT_TRUE(runner.Run(kTestTool + " --err oops --say done", nullptr, output, outcome));
    EXPECT_EQ(output.All(true), "oops");
    EXPECT_EQ(output.All(false), "done\n");
    EXPECT_EQ(outcome.exitCode, 0u);
}

TEST_P(ProcessRunnerRuns, ArgumentsFolderAndCrashes)
{
    test::TempFolder temp;
    CollectingOutput output;
    ProcessOutcome outcome;
    ASSERT_TRUE(runner.Run(kTestTool + " --cwd --args \"a b\" c\\d \"\"", temp.Path().c_str(), output, outcome));
    std::string folder = temp.Path().substr(0, temp.Path().size() - 1);
    EXPECT_EQ(output.All(false), folder + "\n[a b]\n[c\\d]\n[]\n");
    CollectingOutput here;
    ASSERT_TRUE(runner.Run(kTestTool + " --cwd", nullptr, here, outcome));
    EXPECT_EQ(here.All(false), std::filesystem::current_path().generic_string() + "\n");
    CollectingOutput nowhere;
    EXPECT_FALSE(runner.Run(kTestTool + " --say x", (temp / "no-such-folder").c_str(), nowhere, outcome));
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(nowhere.chunks.empty());

    CollectingOutput crash;
    ASSERT_TRUE(runner.Run(kTestTool + " --say before --crash", nullptr, crash, outcome));
    EXPECT_TRUE(outcome.endedEarly);
#ifdef _WIN32
    EXPECT_EQ(outcome.exitCode, 0xC000001Du); // illegal instruction
#else
    EXPECT_EQ(outcome.exitCode, 128u + 6u);
#endif
    EXPECT_EQ(crash.All(false), "before\n");

    // exit(-1) is an exit with a status, however the system spells it.
    CollectingOutput minusOne;
    ASSERT_TRUE(runner.Run(kTestTool + " --exit -1", nullptr, minusOne, outcome));
    EXPECT_FALSE(outcome.endedEarly);
#ifdef _WIN32
    EXPECT_EQ(outcome.exitCode, 0xFFFFFFFFu);
#else
    EXPECT_EQ(outcome.exitCode, 255u);
#endif
}

TEST(ProcessRunner, ProgramsAreFoundInTheFolderTheOwnFolderAndPathWithExeNames)
{
    test::TempFolder temp;
    ProcessRunner runner(ParentPath(kTestTool));
    std::string name = ShortName(kTestTool);
    EXPECT_EQ(runner.FindProgram(name, temp.Path()), kTestTool);
    EXPECT_EQ(runner.FindProgram(name + ".exe", temp.Path()), kTestTool);
    EXPECT_EQ(runner.FindProgram(ToLowerAscii(name) + ".EXE", ParentPath(kTestTool)), kTestTool);
#ifdef _WIN32
    EXPECT_NE(runner.FindProgram("cmd", temp.Path()), "");
#else
    EXPECT_NE(runner.FindProgram("sh", temp.Path()), "");
#endif
    EXPECT_EQ(runner.FindProgram("no-such-program-here", temp.Path()), "");

    // A program that cannot be started: false, exit code 0, no output.
    CollectingOutput output;
    ProcessOutcome outcome;
    outcome.exitCode = 9;
    EXPECT_FALSE(runner.Run("no-such-program-here --x", nullptr, output, outcome));
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_TRUE(output.chunks.empty());
#ifndef _WIN32
    // A file that is not executable is not a program.
    test::WriteFile(temp / "plain.exe", "x");
    EXPECT_EQ(runner.FindProgram("plain.exe", temp.Path()), "");
#endif
}

TEST(ProcessRunner, ANamedProgramThatIsMissingComesFromTheFallbackFolder)
{
    ProcessRunner plain{std::string()};
    std::string missing = "/no/such/tools/" + ShortName(kTestTool) + ".exe";
    EXPECT_EQ(plain.FindProgram(missing, std::string()), "");
    ProcessRunner withFallback{std::string()};
    withFallback.SetFallbackFolder(ParentPath(kTestTool));
    EXPECT_EQ(withFallback.FindProgram(missing, std::string()), kTestTool);
    EXPECT_EQ(withFallback.FindProgram("/no/such/tools/NoSuchCompiler.exe", std::string()), "");
}

#ifndef _WIN32
// A program planted in the folder the tool starts in is never run for a bare name.
TEST(ProcessRunner, BareNamesAreNotLookedUpInTheProcessCurrentFolder)
{
    test::TempFolder temp;
    std::string planted = temp / "mw-planted-program";
    test::WriteFile(planted, "#!/bin/sh\necho planted\n");
    ASSERT_EQ(::chmod(planted.c_str(), 0755), 0);
    std::string before = CurrentFolder();
    ASSERT_EQ(::chdir(temp.Path().c_str()), 0);
    ProcessRunner runner{std::string()};
    std::string found = runner.FindProgram("mw-planted-program", std::string());
    CollectingOutput output;
    ProcessOutcome outcome;
    bool ran = runner.Run("mw-planted-program", nullptr, output, outcome);
    EXPECT_EQ(::chdir(before.c_str()), 0);
    EXPECT_EQ(found, "");
    EXPECT_FALSE(ran);
    EXPECT_TRUE(output.chunks.empty());
    // Named explicitly, the folder is searched.
    EXPECT_EQ(runner.FindProgram("mw-planted-program", temp.Path()), ResolvePath(planted));
    EXPECT_NE(runner.FindProgram("./mw-planted-program", temp.Path()), "");
}
#endif

TEST(WorkerProtocol, RequestsComeBackAsSentAndCutOnesAreRefused)
{
    std::vector<std::string> arguments{"-stat", "", std::string("a\0b", 3), std::string(70000, 'x')};
    std::string body = worker::EncodeRequest("/work/folder", arguments);
    std::string folder;
    std::vector<std::string> decoded;
    ASSERT_TRUE(worker::DecodeRequest(body, folder, decoded));
    EXPECT_EQ(folder, "/work/folder");
    EXPECT_EQ(decoded, arguments);
    for (size_t cut : {size_t(0), size_t(3), size_t(10), body.size() - 1})
        EXPECT_FALSE(worker::DecodeRequest(std::string_view(body).substr(0, cut), folder, decoded)) << cut;
    // A length that runs past the end, however large.
    std::string huge;
    worker::PutU32(huge, 0xFFFFFFFFu);
    EXPECT_FALSE(worker::DecodeRequest(huge + "abc", folder, decoded));
}

#ifndef _WIN32
// Stops the program once it has written something.
class StopAfterOutput : public CollectingOutput
{
public:
    bool StopRequested() override { return !chunks.empty(); }
};

TEST(CompilerWorkers, OneWorkerTakesRunAfterRunAndANewOneFollowsItsEnd)
{
    CompilerWorkers workers(ParentPath(kTestTool));
    ProcessRunner runner(ParentPath(kTestTool));
    runner.SetWorkers(&workers);
    ProcessOutcome outcome;
    auto say = [&](const std::string& text) {
        CollectingOutput output;
        EXPECT_TRUE(runner.Run(kTestTool + " --say " + text, nullptr, output, outcome));
        EXPECT_EQ(output.All(false), text + "\n");
        EXPECT_EQ(outcome.exitCode, 0u);
    };
    for (const char* text : {"one", "two", "three"})
        say(text);
    EXPECT_EQ(workers.Started(), 1);

    // A program that ends itself in a compile reports its exit code.
    CollectingOutput quit;
    ASSERT_TRUE(runner.Run(kTestTool + " --say bye --quit 7", nullptr, quit, outcome));
    EXPECT_EQ(quit.All(false), "bye\n");
    EXPECT_EQ(outcome.exitCode, 7u);
    EXPECT_FALSE(outcome.endedEarly);
    say("after-quit");
    EXPECT_EQ(workers.Started(), 2);

    StopAfterOutput stop;
    ASSERT_TRUE(runner.Run(kTestTool + " --say going --sleep 30000", nullptr, stop, outcome));
    EXPECT_TRUE(outcome.stopped);
    EXPECT_TRUE(outcome.endedEarly);
    say("after-stop");
    EXPECT_EQ(workers.Started(), 3);

    workers.EndIdle();
    say("after-end");
    EXPECT_EQ(workers.Started(), 4);
}

TEST(CompilerWorkers, OnlyTheFoldersAnsweringProgramsAreServedAndAReplacedOneIsStartedAnew)
{
    test::TempFolder temp;
    CompilerWorkers workers(temp.Path());
    EXPECT_FALSE(workers.Serves(kTestTool));
    ProcessRunner runner{std::string()};
    runner.SetWorkers(&workers);
    ProcessOutcome outcome;

    // A program that does not answer as a worker is run as before, and not tried again.
    std::string plain = temp / "plain";
    test::WriteFile(plain, "#!/bin/sh\necho \"[$*]\"\n");
    ASSERT_EQ(::chmod(plain.c_str(), 0755), 0);
    for (const char* argument : {"a", "b"})
    {
        CollectingOutput output;
        ASSERT_TRUE(runner.Run(plain + " " + argument, nullptr, output, outcome));
        EXPECT_EQ(output.All(false), "[" + std::string(argument) + "]\n");
    }
    EXPECT_EQ(workers.Started(), 1);

    std::string tool = temp / "tool";
    std::filesystem::copy_file(kTestTool, tool);
    auto run = [&] {
        CollectingOutput output;
        ASSERT_TRUE(runner.Run(tool + " --say x", nullptr, output, outcome));
        EXPECT_EQ(output.All(false), "x\n");
    };
    run();
    run();
    EXPECT_EQ(workers.Started(), 2);
    std::filesystem::copy_file(kTestTool, temp / "tool.new");
    std::filesystem::rename(temp / "tool.new", tool);
    run();
    EXPECT_EQ(workers.Started(), 3);
}
// A tool killed in the middle of a compile leaves no worker behind once that
// compile is over, as a compiler started for it would end with its compile:
// the output or reply it then writes has no reader, and no request follows.
TEST(CompilerWorkers, NoneOutlivesTheCompileOfAToolThatIsKilled)
{
    int pidPipe[2];
    ASSERT_EQ(::pipe(pidPipe), 0);
    pid_t tool = ::fork();
    ASSERT_GE(tool, 0);
    if (tool == 0)
    {
        ::close(pidPipe[0]);
        CompilerWorkers workers(ParentPath(kTestTool));
        ProcessRunner runner(ParentPath(kTestTool));
        runner.SetWorkers(&workers);
        CollectingOutput output;
        ProcessOutcome outcome;
        runner.Run(kTestTool + " --pid", nullptr, output, outcome);
        std::string pid = output.All(false);
        if (::write(pidPipe[1], pid.data(), pid.size()) != ssize_t(pid.size()))
            ::_exit(1);
        ::close(pidPipe[1]);
        // Killed while the worker sleeps in this compile.
        runner.Run(kTestTool + " --sleep 1000 --say late", nullptr, output, outcome);
        ::_exit(0);
    }
    ::close(pidPipe[1]);
    char text[32] = {};
    ssize_t got = ::read(pidPipe[0], text, sizeof text - 1);
    ::close(pidPipe[0]);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(tool, SIGKILL);
    ::waitpid(tool, nullptr, 0);
    ASSERT_GT(got, 0);
    pid_t worker = pid_t(std::atol(text));
    ASSERT_GT(worker, 0);
    ASSERT_NE(worker, tool);
    // Gone, or a zombie no one reaps: either way no longer running.
    auto running = [worker] {
        std::string stat;
        std::ifstream in("/proc/" + std::to_string(worker) + "/stat");
        if (!std::getline(in, stat))
            return false;
        size_t close = stat.rfind(')');
        return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
    };
    bool ended = false;
    for (int i = 0; i < 300 && !ended; ++i)
    {
        ended = !running();
        if (!ended)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(ended) << "worker " << worker << " still runs";
}
#endif

} // namespace
} // namespace mw
