// ResView run for real with the tool's command line on a built folder.
#include "ToolRun.h"

#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::ReadFile;
using test::RunToolCommand;
using test::TempFolder;
using test::ToolsFolder;
using test::WriteFile;

TEST(ResView, PrintsTheTreeAndKeepsACopyWhateverSeparatorTheBuildFolderEndsWith)
{
    TempFolder temp;
    std::string res = temp / "Build/resources/";
    WriteFile(res + "creatures/ogre.msh", "mesh");
    WriteFile(res + "ui/logo.tex", "texture");
    WriteFile(temp / "Build/database/database.arz", std::string(100, 'z'));
    ASSERT_EQ(RunToolCommand("ArcPack \"" + res + "creatures.arc\" -add . \"" + res + "creatures\" 6", ToolsFolder()).exitCode, 0);

    for (const std::string& build : {temp.Path() + "Build/", temp.Path() + "Build\\"})
    {
        test::ToolResult result = RunToolCommand("\"" + ToolsFolder() + "\\ResView.exe\" \"" + build + "\\ResView\" \"" +
                                                 build + "\\\" resources database audio");
        ASSERT_EQ(result.exitCode, 0) << build << result.err;
        EXPECT_NE(result.out.find("resources/\n  creatures/\n    ogre.msh  4\n"
                                  "  creatures.arc  (resource archive, 1 files, 4 bytes unpacked"),
                  std::string::npos)
            << result.out;
        EXPECT_NE(result.out.find("      ogre.msh  4\n  ui/\n    logo.tex  7\n"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("database/\n  database.arz  (database archive, 100 bytes)\n"), std::string::npos);
        EXPECT_NE(result.out.find("audio: not present\n"), std::string::npos);
        std::string copy = ReadFile(temp / "Build/ResView/ResourceTree.txt");
        EXPECT_NE(copy.find("audio: not present\r\n"), std::string::npos);
        RemoveFile(temp / "Build/ResView/ResourceTree.txt");
    }

    test::ToolResult missing = RunToolCommand("\"" + ToolsFolder() + "ResView.exe\" \"" + temp.Path() + "x\" \"" +
                                              temp.Path() + "NoBuild/\" resources");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos);
    EXPECT_EQ(RunToolCommand("\"" + ToolsFolder() + "ResView.exe\"").exitCode, 1);
}

} // namespace
} // namespace mw
