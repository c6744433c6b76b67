// modwright -network -quiet against a throwaway svnserve: login, a fresh
// working folder checked out by the sync, the build, the exit status.
#include "SvnServer.h"
#include "e2e/Run.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw::test {
namespace {

class NetworkQuietMode : public ::testing::Test
{
protected:
    NetworkQuietMode() : server(temp / "server/") {}

    void SetUp() override
    {
        ASSERT_TRUE(server.Started()) << server.Error();
        // The sample workspace's records (its assets need the compilers)
        // become the repository's first revision.
        CopyExampleWorkspace(temp / "seed/");
        DeleteFolderTree(temp / "seed/Working/assets");
        std::string output;
        ASSERT_EQ(RunCommand(std::string("svn import -q -m seed --non-interactive --no-auth-cache --username ") +
                                 SvnServer::kAlice + " --password " + SvnServer::kAlicePassword + " --config-dir \"" +
                                 temp / "svn-config" + "\" \"" + temp / "seed/Working" + "\" " + server.Url(),
                             &output),
                  0)
            << output;
        // A working folder that does not exist yet.
        ini = temp / "Tools.ini";
        WriteProfileString("Login", "localdir", temp / "net/Working/", ini);
        WriteProfileString("Login", "builddir", temp / "net/Build/", ini);
        WriteProfileString("Login", "toolsdir", temp / "net/Tools/", ini);
    }

    RunResult Run(const std::string& password)
    {
        // HOME: Subversion's configuration and credential store of this test only.
        return RunProgram(MODWRIGHT_EXE,
                          {"-network", "-quiet", "-username", SvnServer::kAlice, "-database", server.Url(), "-ini", ini},
                          temp.Path(), {"HOME=" + temp.Path(), "MODWRIGHT_SVN_PASSWORD=" + password});
    }

    TempFolder temp;
    SvnServer server;
    std::string ini;
};

TEST_F(NetworkQuietMode, LogsInChecksOutTheWorkingFolderAndBuilds)
{
    RunResult run = Run(SvnServer::kAlicePassword);
    ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Attempting to log in; User: alice Database: " + server.Url() +
                           "\n\nSuccessfully logged into database...\n\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Starting quiet mode processing...\n\n"), std::string::npos);
    EXPECT_NE(run.out.find("Syncing...\n\n"), std::string::npos);
    EXPECT_NE(run.out.find("Added database/records/items/sword.dbr\n\n"), std::string::npos);
    EXPECT_EQ(ReadFile(temp / "net/Working/database/records/items/sword.dbr"),
              ReadFile(temp / "seed/Working/database/records/items/sword.dbr"));
    EXPECT_TRUE(IsFile(temp / "net/Build/database/database.arz"));
    EXPECT_NE(run.out.find("Build time 0:"), std::string::npos);

    // The password is in neither the settings nor the log.
    std::string settings = ReadFile(ini);
    EXPECT_NE(settings.find("username=alice"), std::string::npos);
    EXPECT_EQ(settings.find(SvnServer::kAlicePassword), std::string::npos);
    EXPECT_EQ(run.out.find(SvnServer::kAlicePassword), std::string::npos);

    // A second run finds the working copy and only updates it.
    run = Run(SvnServer::kAlicePassword);
    EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
}

TEST_F(NetworkQuietMode, AWrongPasswordEndsStartUpWithinSeconds)
{
    uint64_t start = TickCountMs();
    RunResult run = Run("not-the-password");
    EXPECT_NE(run.exitStatus, 0);
    EXPECT_LT(TickCountMs() - start, 10000u);
    EXPECT_NE(run.out.find("Error logging into database.  Invalid username or database specified.\n\n"),
              std::string::npos)
        << run.out;
    // Why, in the library's words, before the tool's own lines.
    EXPECT_NE(run.out.find("Couldn't connect to " + server.Url() + " as alice: "), std::string::npos);
    EXPECT_EQ(run.out.find("Starting quiet mode processing"), std::string::npos);
    EXPECT_EQ(run.out.find("not-the-password"), std::string::npos);
    EXPECT_FALSE(IsFolder(temp / "net/Working"));
}

} // namespace
} // namespace mw::test
