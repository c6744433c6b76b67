// modwright -quiet on a temporary copy of the sample workspace.
#include "Run.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw::test {
namespace {

const std::string kDashes(51, '-');

TEST(QuietMode, SyncsBuildsAndExitsWithTheExactOutput)
{
    TempFolder temp;
    std::string ini = CopyExampleWorkspace(temp.Path());
    RunResult run = RunProgram(MODWRIGHT_EXE, {"-quiet", "-ini", ini}, temp.Path());
    ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
    std::string expectedStart = "Processing ini parameter\n\n"
                                "Starting quiet mode processing...\n\n" +
                                kDashes + "\nSyncing...\n\n\n\nSync time 0:00\n\n" + kDashes + "\n" + kDashes + "\n";
    EXPECT_EQ(run.out.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(run.out.find("Compiling database...\n\n"), std::string::npos);
    EXPECT_NE(run.out.find("BinaryUpdate: " + temp.Path() + "Working/database/records/items/sword.dbr\n\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("Deleting empty resource directories...\n\n"), std::string::npos);
    EXPECT_NE(run.out.find("\n\nBuild time 0:"), std::string::npos);
    EXPECT_EQ(run.out.find("error(s)"), std::string::npos);
    EXPECT_TRUE(IsFile(temp / "Build/database/database.arz"));
    EXPECT_EQ(run.out.substr(run.out.size() - kDashes.size() - 1), kDashes + "\n");
    EXPECT_EQ(run.err, "");
}

TEST(QuietMode, BuildErrorsGiveANonZeroStatus)
{
    TempFolder temp;
    std::string ini = CopyExampleWorkspace(temp.Path());
    WriteFile(temp / "Working/database/records/broken.dbr", "a,1,\n");
    RunResult run = RunProgram(MODWRIGHT_EXE, {"-quiet", "-ini", ini}, temp.Path());
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.out.find("Error building record (Record has no template)\n\n"), std::string::npos);
    EXPECT_NE(run.out.find("\n\n\n\n1 error(s) 0 warning(s)\n\nBuild time 0:"), std::string::npos);
}

TEST(QuietMode, NetworkLoginFailureExitsNonZeroWithTheTwoLines)
{
    TempFolder temp;
    std::string ini = CopyExampleWorkspace(temp.Path());
    RunResult run = RunProgram(MODWRIGHT_EXE, {"-network", "-quiet", "-ini", ini, "-username", "erin", "-database",
                                        "svn://127.0.0.1:9/nothing"},
                        temp.Path());
    EXPECT_NE(run.exitStatus, 0);
    EXPECT_NE(run.out.find("Attempting to log in; User: erin Database: svn://127.0.0.1:9/nothing\n\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("Couldn't connect to server."), std::string::npos);
    EXPECT_NE(run.out.find("Error logging into database.  Invalid username or database specified.\n\n"),
              std::string::npos);
    EXPECT_EQ(run.out.find("Starting quiet mode processing"), std::string::npos);
}

#ifdef _WIN32
TEST(QuietMode, NetworkModeOnWindowsSaysItIsNotThereYet)
{
    TempFolder temp;
    std::string ini = CopyExampleWorkspace(temp.Path());
    RunResult run = RunProgram(MODWRIGHT_EXE, {"-network", "-quiet", "-ini", ini, "-username", "erin", "-database",
                                               "svn://127.0.0.1:9/nothing"},
                               temp.Path());
    EXPECT_NE(run.exitStatus, 0);
    EXPECT_NE(run.err.find("Network mode (-network) is not available in the Windows build yet"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.out.find("Starting quiet mode processing"), std::string::npos);
}
#endif

TEST(QuietMode, WithoutQuietThisBuildExplainsItselfAndFails)
{
    TempFolder temp;
    std::string ini = CopyExampleWorkspace(temp.Path());
    RunResult run = RunProgram(MODWRIGHT_EXE, {"-ini", ini}, temp.Path());
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_NE(run.err.find("-quiet"), std::string::npos);
}

} // namespace
} // namespace mw::test

namespace mw::test {
namespace {

TEST(QuietMode, TheWholeOutputOfASmallBuildIsExact)
{
    TempFolder temp;
    WriteFile(temp / "Working/database/Templates/t.tpl",
              "Group { name = \"All Groups\" type = \"list\"\n"
              "Variable { name = \"a\" class = \"variable\" type = \"int\" defaultValue = \"\" } }\n");
    WriteFile(temp / "Working/database/one.dbr", "templateName,Database\\Templates\\t.tpl,\na,5,\n");
    EnsureFolders(temp / "Build/");
    std::string ini = temp / "Tools.ini";
    WriteProfileString("Login", "localdir", temp / "Working", ini);
    WriteProfileString("Login", "builddir", temp / "Build", ini);
    WriteProfileString("Login", "toolsdir", temp / "Tools", ini);
    RunResult run = RunProgram(MODWRIGHT_EXE, {"-quiet", "-ini", ini}, temp.Path());
    ASSERT_EQ(run.exitStatus, 0) << run.out;
    // Folders read from Tools.ini get a trailing backslash; paths built from them mix separators.
    std::string work = temp / "Working\\";
    std::string build = temp / "Build\\";
    std::string expected = "Processing ini parameter\n\n"
                           "Starting quiet mode processing...\n\n" +
                           kDashes + "\nSyncing...\n\n\n\nSync time 0:00\n\n" + kDashes + "\n" + kDashes +
                           "\nCompiling assets...\n\nDone.\n\n"
                           "Compiling database...\n\n" + build + "database/one.dbr\n\n" + "BinaryUpdate: " + work +
                           "database/one.dbr\n\n" + "Closed " + build + "database\\database.arz\n\n" +
                           "Done.\n\nDeleting unassociated resources...\n\nOpened " + build +
                           "database\\database.arz for reading\n\nClosed " + build +
                           "database\\database.arz\n\nDeleting empty resource directories...\n\n"
                           "Build time 0:00\n\n" + kDashes + "\n";
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.err, "");

    // A second run opens the archive and rebuilds nothing.
    RunResult again = RunProgram(MODWRIGHT_EXE, {"-quiet", "-ini", ini}, temp.Path());
    EXPECT_EQ(again.exitStatus, 0);
    EXPECT_NE(again.out.find("Compiling database...\n\nOpened " + build + "database\\database.arz for reading\n\n"
                             "Closed "),
              std::string::npos);
    EXPECT_EQ(again.out.find("BinaryUpdate"), std::string::npos);
}

} // namespace
} // namespace mw::test
