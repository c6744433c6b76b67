// A tool started in a folder its user cannot write (a shell in /usr, a
// desktop entry started in the install folder): the compilers still write
// their statistics files, into the build folder, and old ones are removed.
#include "Run.h"
#include "platform/FileSystem.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace mw::test {
namespace {

using StartFolderTest = SampleWorkspaceTest;

void OpenToEveryone(const std::string& root)
{
    namespace fs = std::filesystem;
    fs::permissions(root, fs::perms::all);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root))
        fs::permissions(entry.path(), fs::perms::all);
}

TEST_F(StartFolderTest, StatisticsGoToTheBuildFolderWhenTheStartFolderIsNotWritable)
{
    std::string readOnly = temp / "readonly";
    EnsureFolders(readOnly + "/");
    std::string cache = temp / "cache";
    EnsureFolders(cache + "/");
    OpenToEveryone(temp.Path());
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                               std::filesystem::perms::group_read | std::filesystem::perms::group_exec |
                                               std::filesystem::perms::others_read |
                                               std::filesystem::perms::others_exec);
    // The superuser writes anywhere: the run drops to the unprivileged account.
    std::vector<std::string> command = {"-c", "cd \"$0\" && exec \"$@\"", readOnly};
    if (::geteuid() == 0)
    {
        if (!IsFile("/usr/bin/setpriv"))
            GTEST_SKIP() << "setpriv is needed to run as an unprivileged user";
        command.insert(command.end(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    command.insert(command.end(), {MODWRIGHT_CLI_EXE, "-ini", ini, "build"});
    std::vector<std::string> environment = {"XDG_CACHE_HOME=" + cache};

    RunResult first = RunProgram("/bin/sh", command, temp.Path(), environment);
    EXPECT_EQ(first.exitStatus, 0) << first.out << first.err;
    EXPECT_EQ(first.out.find("cannot write statistics file"), std::string::npos) << first.out;
    EXPECT_TRUE(IsFile(temp / "Build/TextureBuildStatistics.csv")) << first.out;
    EXPECT_FALSE(PathExists(readOnly + "/TextureBuildStatistics.csv"));

    // The next build removes the old files before it compiles (here nothing).
    RunResult second = RunProgram("/bin/sh", command, temp.Path(), environment);
    EXPECT_EQ(second.exitStatus, 0) << second.out << second.err;
    EXPECT_FALSE(PathExists(temp / "Build/TextureBuildStatistics.csv"));
}

} // namespace
} // namespace mw::test
