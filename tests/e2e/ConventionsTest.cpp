// The conventions of a command-line program, on the real executables:
// --version and --help, usage errors that name themselves, output that
// cannot be written, and settings files that cannot be used.
#include "Run.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw::test {
namespace {

using ConventionsTest = SampleWorkspaceTest;

TEST_F(ConventionsTest, BothProgramsTellTheirVersion)
{
    for (const char* program : {MODWRIGHT_EXE, MODWRIGHT_CLI_EXE})
    {
        std::string name = program == std::string(MODWRIGHT_EXE) ? "modwright" : "modwright-cli";
        RunResult version = RunProgram(program, {"--version"}, temp.Path());
        EXPECT_EQ(version.exitStatus, 0) << name;
        EXPECT_EQ(version.out, name + " " + MW_EXPECTED_VERSION + "\n");
        EXPECT_EQ(version.err, "");
        RunResult help = RunProgram(program, {"--help"}, temp.Path());
        EXPECT_EQ(help.exitStatus, 0) << name;
        EXPECT_EQ(help.out.rfind(name + " " + MW_EXPECTED_VERSION + "\n\nusage: " + name + " ", 0), 0u) << help.out;
    }
}

TEST_F(ConventionsTest, UsageErrorsNameThemselvesAndPrintNothingOnStandardOutput)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--frob"}, "unknown option '--frob'"},
        {{"-ini"}, "option '-ini' needs a value"},
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"archive-list"}, "archive-list needs an archive"},
        {{"archive-dump", "a.arz"}, "archive-dump needs an archive and a record name"},
        {{"move-record", "--dry-run", "a.dbr"}, "move-record needs the old and the new path"},
        {{"-ini", ini, "compile-db", "--frob"}, "unknown option '--frob' for compile-db"},
        {{"-ini", ini, "compile-db", "a/", "b/"}, "unexpected argument 'b/' for compile-db"},
        {{"-ini", ini, "db-sync", "extra"}, "unexpected argument 'extra' for db-sync"},
        {{"-ini", ini, "build", "--frob"}, "unknown option '--frob' for build"},
        {{"-ini", ini, "build-archives", "--force"}, "unknown option '--force' for build-archives"},
    };
    for (const auto& [arguments, message] : cases)
    {
        RunResult run = RunProgram(MODWRIGHT_CLI_EXE, arguments, temp.Path());
        EXPECT_EQ(run.exitStatus, 2) << message;
        EXPECT_EQ(run.out, "") << message;
        EXPECT_EQ(run.err.rfind(message + "\nusage: modwright-cli ", 0), 0u) << run.err;
    }
    // Nothing ran: no build output appeared.
    EXPECT_FALSE(PathExists(temp / "Build/database"));
}

#ifndef _WIN32
// Runs program with its standard output on /dev/full.
RunResult RunIntoFullDevice(const std::string& program, std::vector<std::string> arguments, const std::string& folder)
{
    arguments.insert(arguments.begin(), {"-c", "exec \"$0\" \"$@\" >/dev/full", program});
    return RunProgram("/bin/sh", arguments, folder);
}

TEST_F(ConventionsTest, OutputThatCannotBeWrittenFailsTheRun)
{
    ASSERT_EQ(Cli({"compile-db"}).exitStatus, 0);
    const std::pair<std::string, std::vector<std::string>> runs[] = {
        {MODWRIGHT_CLI_EXE, {"--version"}},
        {MODWRIGHT_CLI_EXE, {"archive-list", Archive()}},
        {MODWRIGHT_CLI_EXE, {"-ini", ini, "compile-db"}},
        {MODWRIGHT_EXE, {"-quiet", "-ini", ini}},
    };
    for (const auto& [program, arguments] : runs)
    {
        RunResult run = RunIntoFullDevice(program, arguments, temp.Path());
        EXPECT_EQ(run.exitStatus, 1) << program << " " << arguments.back() << ": " << run.err;
        EXPECT_NE(run.err.find("error writing to standard output: "), std::string::npos) << run.err;
    }
}
#endif

TEST_F(ConventionsTest, ASettingsFileThatCannotBeUsedIsNamedAndLeftAlone)
{
    // UTF-16 text, as some editors save it, and a folder in the file's place.
    std::string utf16;
    for (char c : std::string("[Login]\r\nbuilddir=x\r\n"))
        utf16 += std::string(1, c) + '\0';
    WriteFile(ini, "\xFF\xFE" + utf16);
    RunResult garbled = Cli({"compile-db"});
    EXPECT_EQ(garbled.exitStatus, 1);
    EXPECT_NE(garbled.err.find("The settings file " + ini + " is not a text file of sections and keys"),
              std::string::npos)
        << garbled.err;
    EXPECT_EQ(garbled.err.find("not set"), std::string::npos) << garbled.err;
    EXPECT_EQ(ReadFile(ini), "\xFF\xFE" + utf16);
    RunResult quiet = RunProgram(MODWRIGHT_EXE, {"-quiet", "-ini", ini}, temp.Path());
    EXPECT_EQ(quiet.exitStatus, 1);
    EXPECT_NE(quiet.out.find("The settings file " + ini + " is not a text file"), std::string::npos) << quiet.out;

    std::string folderIni = temp / "FolderIni";
    EnsureFolders(folderIni + "/");
    RunResult folder = RunProgram(MODWRIGHT_CLI_EXE, {"-ini", folderIni, "compile-db"}, temp.Path());
    EXPECT_EQ(folder.exitStatus, 1);
    EXPECT_NE(folder.err.find("The settings file " + folderIni + " is a folder"), std::string::npos) << folder.err;
}

TEST_F(ConventionsTest, ASettingsFileKeepsItsByteOrderMarkAndLineEnds)
{
    std::string text = "\xEF\xBB\xBF[Login]\nlocaldir=" + temp / "Working/" + "\nbuilddir=" + temp / "Build/" + "\n";
    WriteFile(ini, text);
    RunResult compile = Cli({"compile-db"});
    EXPECT_EQ(compile.exitStatus, 0) << compile.err;
    EXPECT_TRUE(IsFile(Archive()));
    // The login values were written back in the file's own manner.
    std::string after = ReadFile(ini);
    EXPECT_EQ(after.rfind("\xEF\xBB\xBF[Login]\n", 0), 0u) << after;
    EXPECT_EQ(after.find('\r'), std::string::npos) << after;
    EXPECT_NE(after.find("\nusername=\n"), std::string::npos) << after;
}

} // namespace
} // namespace mw::test
