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
    EXPECT_NE(run.out.find("Done.\n\nBuild time 0:"), std::string::npos);
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
    EXPECT_NE(run.out.find("Done.\n\n\n\n1 error(s) 0 warning(s)\n\nBuild time 0:"), std::string::npos);
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
