// ArcPack run for real with the command lines the tool gives it, its
// archives read back through GAME::Archive.
#include "ToolRun.h"

#include "platform/FileSystem.h"
#include "platform/engine/Archive.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace mw {
namespace {

using test::ReadFile;
using test::RunToolCommand;
using test::TempFolder;
using test::ToolsFolder;
using test::WriteFile;

#ifdef _WIN32
constexpr int kArcPackFailure = -1; // exit(-1)
#else
constexpr int kArcPackFailure = 255; // exit(-1)
#endif

// name -> contents of every entry, extracted through the engine reader.
std::map<std::string, std::string> ReadBack(const std::string& archivePath, const TempFolder& temp)
{
    std::map<std::string, std::string> contents;
    GAME::Archive archive;
    if (!archive.Open(archivePath.c_str(), 1))
    {
        ADD_FAILURE() << archivePath << ": " << archive.LastError();
        return contents;
    }
    std::string out = temp / "readback/";
    DeleteFolderTree(out);
    EnsureFolders(out);
    for (int i = 0; i < archive.GetNumFiles(); ++i)
    {
        GAME::FileEntry entry = archive.GetFileEntry(i);
        EXPECT_TRUE(entry.name && archive.ExtractFileToDisk(i, out.c_str()));
        contents[entry.name] = ReadFile(out + entry.name);
        EXPECT_EQ(entry.size, contents[entry.name].size());
    }
    return contents;
}

class ArcPackTest : public ::testing::Test
{
protected:
    // Runs an ArcPack command line from the tools folder, as the tool does.
    test::ToolResult ArcPack(const std::string& arguments) { return RunToolCommand("ArcPack " + arguments, ToolsFolder()); }

    TempFolder temp;
    std::string res = temp / "Build/resources/";
};

TEST_F(ArcPackTest, BuildUpdateReplaceRemoveAndCompactKeepTheArchiveInStepWithItsFolder)
{
    WriteFile(res + "creatures/Ogre/ogre.msh", "mesh v1");
    WriteFile(res + "creatures/skin.tex", std::string(10000, 's'));
    WriteFile(res + "creatures/.svn/entries", "not packed");
    std::string archive = res + "creatures.arc";

    test::ToolResult add = ArcPack("\"" + res + "creatures.arc\" -add . \"" + res + "creatures\" 6");
    ASSERT_EQ(add.exitCode, 0) << add.err;
    EXPECT_EQ(ReadBack(archive, temp),
              (std::map<std::string, std::string>{{"Ogre/ogre.msh", "mesh v1"}, {"skin.tex", std::string(10000, 's')}}));
    uint64_t packedSize = 0;
    GetFileSize(archive, packedSize);
    EXPECT_LT(packedSize, 1000u);

    // Update stores only what changed and leaves an unchanged archive alone.
    test::ToolResult noop = ArcPack("\"" + res + "creatures.arc\" -update . \"" + res + "creatures\" 6");
    EXPECT_EQ(noop.exitCode, 0);
    EXPECT_NE(noop.out.find("0 stored, 2 unchanged"), std::string::npos) << noop.out;
    WriteFile(res + "creatures/skin.tex", "new skin");
    WriteFile(res + "creatures/Ogre/club.msh", "club");
    test::ToolResult update = ArcPack("\"" + res + "creatures.arc\" -update . \"" + res + "creatures\" 6");
    EXPECT_EQ(update.exitCode, 0);
    EXPECT_NE(update.out.find("2 stored, 1 unchanged, 3 entries"), std::string::npos) << update.out;

    // The replace line of a freshly compiled file: its path relative to the archive folder.
    WriteFile(res + "creatures/Ogre/ogre.msh", "mesh v2");
    test::ToolResult replace = ArcPack("\"" + temp.Path() + "Build/resources/creatures.arc\" -replace \"./Ogre/ogre.msh\" \"" +
                                       temp.Path() + "Build/resources/creatures\" 6");
    EXPECT_EQ(replace.exitCode, 0) << replace.err;
    EXPECT_EQ(ReadBack(archive, temp)["Ogre/ogre.msh"], "mesh v2");

    RemoveFile(res + "creatures/skin.tex");
    test::ToolResult remove = ArcPack("\"" + res + "creatures.arc\" -removeMissing \"" + res + "creatures\"");
    EXPECT_EQ(remove.exitCode, 0) << remove.err;
    test::ToolResult compact = ArcPack("\"" + res + "creatures.arc\" -compact");
    EXPECT_EQ(compact.exitCode, 0) << compact.err;
    EXPECT_EQ(ReadBack(archive, temp),
              (std::map<std::string, std::string>{{"Ogre/club.msh", "club"}, {"Ogre/ogre.msh", "mesh v2"}}));
}

TEST_F(ArcPackTest, TemporariesLeftByAKilledRunOfThisArchiveAreRemovedOnTheNextWrite)
{
    WriteFile(res + "a/one.txt", "one");
    WriteFile(res + ".a.arc.mwtmp.Xy12Zq", std::string(100000, 'k'));
    WriteFile(res + ".ab.arc.mwtmp.Xy12Zq", "another archive's");
    WriteFile(res + ".a.arc.mwtmp.", "not a temporary name");
    ASSERT_EQ(ArcPack("\"" + res + "a.arc\" -add . \"" + res + "a\" 6").exitCode, 0);
    EXPECT_FALSE(PathExists(res + ".a.arc.mwtmp.Xy12Zq"));
    EXPECT_TRUE(PathExists(res + ".ab.arc.mwtmp.Xy12Zq"));
    EXPECT_TRUE(PathExists(res + ".a.arc.mwtmp."));
    WriteFile(res + ".a.arc.mwtmp.Xy12Zq", "again");
    ASSERT_EQ(ArcPack("\"" + res + "a.arc\" -compact").exitCode, 0);
    EXPECT_FALSE(PathExists(res + ".a.arc.mwtmp.Xy12Zq"));
    EXPECT_EQ(ReadBack(res + "a.arc", temp), (std::map<std::string, std::string>{{"one.txt", "one"}}));
}

TEST_F(ArcPackTest, TotalStatsSummarisesEveryMatchingArchive)
{
    WriteFile(res + "a/one.txt", std::string(1000, 'x'));
    WriteFile(res + "xpack/ui/two.txt", "two");
    WriteFile(temp / "Build/Audio/sounds/s.wav", "wave");
    ASSERT_EQ(ArcPack("\"" + res + "a.arc\" -add . \"" + res + "a\" 6").exitCode, 0);
    ASSERT_EQ(ArcPack("\"" + res + "xpack/ui.arc\" -add . \"" + res + "xpack/ui\" 6").exitCode, 0);
    ASSERT_EQ(ArcPack("\"" + temp.Path() + "Build/Audio/sounds.arc\" -add . \"" + temp.Path() + "Build/Audio/sounds\" 0").exitCode, 0);
    WriteFile(res + "junk.arc", "not an archive");

    std::string build = temp / "Build/";
    test::ToolResult stats = ArcPack("-totalStats \"" + build + "fileStats.txt\" \"" + res + "*.arc\" \"" + build +
                                     "Audio\\*.arc\" \"" + res + "xpack/*.arc\"");
    ASSERT_EQ(stats.exitCode, 0) << stats.err;
    std::string text = ReadFile(build + "fileStats.txt");
    EXPECT_NE(text.find(res + "a.arc: 1 files, 1000 bytes, "), std::string::npos) << text;
    EXPECT_NE(text.find(res + "junk.arc: unreadable ("), std::string::npos) << text;
    EXPECT_NE(text.find(build + "Audio\\sounds.arc: 1 files, 4 bytes, 4 stored (100.0%)\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(res + "xpack/ui.arc: 1 files, 3 bytes"), std::string::npos) << text;
    EXPECT_NE(text.find("Total: 3 archives, 3 files, 1007 bytes"), std::string::npos) << text;
}

TEST_F(ArcPackTest, FailuresEndWithMinusOneAndLeaveTheArchiveAsItWas)
{
    WriteFile(res + "creatures/a.txt", "a");
    std::string archive = res + "creatures.arc";

    // A damaged archive is neither replaced nor extended.
    WriteFile(archive, "MWRA garbage that is no archive at all");
    test::ToolResult damaged = ArcPack("\"" + archive + "\" -update . \"" + res + "creatures\" 6");
    EXPECT_EQ(damaged.exitCode, kArcPackFailure);
    EXPECT_NE(damaged.err.find("damaged"), std::string::npos);
    EXPECT_EQ(ReadFile(archive), "MWRA garbage that is no archive at all");

    RemoveFile(archive);
    struct Case
    {
        const char* what;
        std::string arguments;
    };
    for (const Case& c : {Case{"missing file", "\"" + archive + "\" -replace \"./gone.txt\" \"" + res + "creatures\" 6"},
                          Case{"escaping path", "\"" + archive + "\" -replace \"../creatures/a.txt\" \"" + res + "creatures\" 6"},
                          Case{"bad level", "\"" + archive + "\" -add . \"" + res + "creatures\" fast"},
                          Case{"unknown operation", "\"" + archive + "\" -shuffle"},
                          Case{"compact of a missing archive", "\"" + archive + "\" -compact"}})
    {
        test::ToolResult result = ArcPack(c.arguments);
        EXPECT_EQ(result.exitCode, kArcPackFailure) << c.what;
        EXPECT_FALSE(result.err.empty()) << c.what;
        EXPECT_FALSE(PathExists(archive)) << c.what;
    }

    // A folder link that loops back would never end the walk. Windows lets
    // only privileged users make links (and Wine none at all).
    EnsureFolders(res + "looped/a/");
    std::error_code linkError;
    std::filesystem::create_directory_symlink("..", res + "looped/a/back", linkError);
    if (!linkError)
    {
        test::ToolResult looped = ArcPack("\"" + res + "looped.arc\" -add . \"" + res + "looped\" 6");
        EXPECT_EQ(looped.exitCode, kArcPackFailure);
        EXPECT_NE(looped.err.find("nested more than"), std::string::npos) << looped.err;
        EXPECT_FALSE(PathExists(res + "looped.arc"));
        std::filesystem::remove(res + "looped/a/back");
    }

    // A folder removed by the clean-up leaves nothing in its archive.
    ASSERT_EQ(ArcPack("\"" + archive + "\" -add . \"" + res + "creatures\" 6").exitCode, 0);
    DeleteFolderTree(res + "creatures");
    EXPECT_EQ(ArcPack("\"" + archive + "\" -removeMissing \"" + res + "creatures\"").exitCode, 0);
    EXPECT_TRUE(ReadBack(archive, temp).empty());
}

} // namespace
} // namespace mw
