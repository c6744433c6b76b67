// Running the real executables for end-to-end tests.
#include "Run.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/ProfileFile.h"

#include <cstdlib>

namespace mw::test {
namespace {

void CopyTree(const std::string& from, const std::string& to)
{
    EnsureFolders(to + "/");
    std::vector<FolderEntry> entries;
    ListFolder(from, entries);
    for (const FolderEntry& entry : entries)
    {
        if (entry.isFolder)
            CopyTree(from + "/" + entry.name, to + "/" + entry.name);
        else
            CopyFileKeepTime(from + "/" + entry.name, to + "/" + entry.name);
    }
}

} // namespace

std::string CopyExampleWorkspace(const std::string& target)
{
    CopyTree(std::string(MW_EXAMPLES_DIR) + "/Working", target + "Working");
    EnsureFolders(target + "Build/");
    std::string ini = target + "Tools.ini";
    WriteProfileString("Login", "localdir", target + "Working/", ini);
    WriteProfileString("Login", "builddir", target + "Build/", ini);
    // The programs in tools/ are built next to modwright: that folder is a working tools folder.
    WriteProfileString("Login", "toolsdir", ParentPath(MODWRIGHT_EXE) + "/", ini);
    return ini;
}

SampleWorkspaceTest::SampleWorkspaceTest() : ini(CopyExampleWorkspace(temp.Path())) {}

RunResult SampleWorkspaceTest::Cli(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"-ini", ini});
    return RunProgram(MODWRIGHT_CLI_EXE, arguments, temp.Path());
}

std::string SampleWorkspaceTest::Read(const std::string& relative) const
{
    return ReadFile(temp / "Working/" + relative);
}

} // namespace mw::test
