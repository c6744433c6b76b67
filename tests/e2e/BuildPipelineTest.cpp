// The whole build of the sample workspace with the real compilers and
// ArcPack, through modwright -quiet and modwright-cli.
#include "Run.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/ProfileFile.h"
#include "platform/engine/Archive.h"
#include "support/BuildTree.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <set>

namespace mw::test {
namespace {

// The entry names of a resource archive, read back the way the game does.
std::set<std::string> ArchiveEntries(const std::string& path)
{
    std::set<std::string> names;
    GAME::Archive archive;
    EXPECT_TRUE(archive.Open(path.c_str(), 1)) << path << ": " << archive.LastError();
    for (int i = 0; i < archive.GetNumFiles(); ++i)
    {
        GAME::FileEntry entry = archive.GetFileEntry(i);
        names.insert(entry.name ? entry.name : "?");
    }
    archive.Close(false);
    return names;
}

// The same time on every file below root, so that two copies of a workspace
// give the same database archive.
void SetTreeTime(const std::string& root, FileTime time)
{
    std::vector<std::string> files;
    ListTree(root, "", files);
    for (const std::string& file : files)
        SetLastWriteTime(root + file, time);
}

class BuildPipelineTest : public SampleWorkspaceTest
{
protected:
    RunResult Quiet(std::vector<std::string> extra = {})
    {
        std::vector<std::string> arguments = {"-quiet", "-ini", ini};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunProgram(MODWRIGHT_EXE, arguments, temp.Path());
    }
    std::string Res(const std::string& relative) const { return temp / "Build/resources/" + relative; }
};

TEST_F(BuildPipelineTest, QuietBuildCompilesPacksAndReadsBack)
{
    RunResult run = Quiet();
    ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
    EXPECT_EQ(run.out.find("error(s)"), std::string::npos);
    for (const char* output : {"creatures/ogre.msh", "creatures/ogre.anm", "textures/stone.tex", "textures/grass.tex",
                               "sky/sky.tex", "ui/logo.tex", "fonts/blocky.fnt", "maps/world.map", "shaders/basic.ssh",
                               "text/readme.txt", "sounds/click.wav", "sounds/theme.mp3", "data/table.bin",
                               "effects/sparks.pfx", "quests/intro.qst"})
        EXPECT_TRUE(IsFile(Res(output))) << output;
    EXPECT_EQ(ArchiveEntries(Res("creatures.arc")), (std::set<std::string>{"ogre.anm", "ogre.msh"}));
    EXPECT_EQ(ArchiveEntries(Res("sounds.arc")), (std::set<std::string>{"click.wav", "theme.mp3"}));
    GAME::Archive archive;
    ASSERT_TRUE(archive.Open(Res("textures.arc").c_str(), 1));
    std::vector<int> found;
    ASSERT_EQ(archive.FindMatchingFilesEnd(found, "stone.tex"), 1);
    uint64_t size = 0;
    ASSERT_TRUE(GetFileSize(Res("textures/stone.tex"), size));
    EXPECT_EQ(archive.GetFileEntry(found[0]).size, size);
    EXPECT_TRUE(IsFile(temp / "Build/database/database.arz"));

    // Nothing changed: no compiler runs the second time.
    RunResult again = Quiet();
    EXPECT_EQ(again.exitStatus, 0);
    EXPECT_EQ(again.out.find(Res("creatures/ogre.msh") + "\n"), std::string::npos) << again.out;
    EXPECT_EQ(again.out.find("TexForge"), std::string::npos);

    // -explain says why the one touched texture is compiled again.
    TouchFile(temp / "Working/source/textures/stone.tga", 5);
    RunResult explained = Quiet({"-explain"});
    EXPECT_EQ(explained.exitStatus, 0);
    EXPECT_NE(explained.out.find(Res("textures/stone.tex") + "\n\nexplain: source file " +
                                 temp / "Working/source\\textures\\stone.tga newer than the output by "),
              std::string::npos)
        << explained.out;
    EXPECT_EQ(explained.out.find(Res("textures/grass.tex") + "\n"), std::string::npos);
}

TEST_F(BuildPipelineTest, BrokenAssetsFailAfterTheErrorCountLine)
{
    WriteFile(temp / "Working/assets/ui/logo.tex", "AST garbage");
    WriteFile(temp / "Working/source/textures/stone.tga", "not an image");
    RunResult run = Quiet();
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.out.find("\n\n\n\n2 error(s) 0 warning(s)\n\nBuild time 0:"), std::string::npos) << run.out;
    // The failed texture has no output that a later build could take for current.
    EXPECT_FALSE(IsFile(Res("textures/stone.tex")));
    EXPECT_TRUE(IsFile(Res("textures/grass.tex")));
}

TEST_F(BuildPipelineTest, QuietModeDeletesOutputWhoseSourceIsGone)
{
    ASSERT_EQ(Quiet().exitStatus, 0);
    ASSERT_TRUE(RemoveFile(temp / "Working/assets/text/readme.txt"));
    ASSERT_TRUE(RemoveFile(temp / "Working/database/records/items/crown.dbr"));
    RunResult run = Quiet();
    ASSERT_EQ(run.exitStatus, 0) << run.out;
    EXPECT_NE(run.out.find("Deleting: " + temp / "Build/Resources\\text\\readme.txt\n"), std::string::npos);
    EXPECT_NE(run.out.find("BinaryArchive - Deleting: " + temp / "Working/database\\records\\items\\crown.dbr\n"),
              std::string::npos);
    EXPECT_FALSE(PathExists(Res("text/readme.txt")));
    EXPECT_TRUE(ArchiveEntries(Res("text.arc")).empty());
    RunResult list = RunProgram(MODWRIGHT_CLI_EXE, {"archive-list", Archive()}, temp.Path());
    EXPECT_EQ(list.out.find("crown"), std::string::npos);
    EXPECT_NE(list.out.find("sword"), std::string::npos);
}

TEST_F(BuildPipelineTest, MissingFoldersStopBeforeAnyWork)
{
    // Without a tools folder the compilers beside the program build.
    WriteProfileString("Login", "toolsdir", "", ini);
    RunResult quiet = Quiet();
    EXPECT_EQ(quiet.exitStatus, 0) << quiet.out;
    // The folder is named in the system's form (a drive and backslashes on Windows).
    std::string named = "No tools folder is set: using the compilers in ";
    size_t at = quiet.out.find(named);
    ASSERT_NE(at, std::string::npos) << quiet.out;
    std::string folder = quiet.out.substr(at + named.size(), quiet.out.find('\n', at) - at - named.size());
    EXPECT_EQ(ToForwardSlashes(folder).find(ToForwardSlashes(ParentPath(MODWRIGHT_EXE)).substr(1)) != std::string::npos,
              true)
        << folder;
    RunResult cli = Cli({"build", "--force"});
    EXPECT_EQ(cli.exitStatus, 0) << cli.err;

    WriteProfileString("Login", "builddir", "", ini);
    RunResult compile = Cli({"compile-db"});
    EXPECT_EQ(compile.exitStatus, 1);
    EXPECT_NE(compile.err.find("The build folder is not set"), std::string::npos);
    EXPECT_FALSE(PathExists(temp / "database"));
}

TEST_F(BuildPipelineTest, CliBuildExplainsAndListsWithoutDeleting)
{
    RunResult build = Cli({"build", "--explain"});
    ASSERT_EQ(build.exitStatus, 0) << build.out << build.err;
    EXPECT_NE(build.out.find(Res("ui/logo.tex") + "\nexplain: output missing\n"), std::string::npos);
    std::string swordCopy = temp / "Build/database/records/items/sword.dbr";
    EXPECT_NE(build.out.find(swordCopy + "\nexplain: build copy missing\nexplain: not in the database archive\n"),
              std::string::npos)
        << build.out;

    TouchFile(temp / "Working/source/ui/logo.tga", 5);
    TouchFile(temp / "Working/database/records/items/sword.dbr", 5);
    RunResult again = Cli({"build", "--explain"});
    EXPECT_NE(again.out.find("explain: source file " + temp / "Working/source\\ui\\logo.tga newer than the output by "),
              std::string::npos)
        << again.out;
    EXPECT_NE(again.out.find(swordCopy + "\nexplain: record newer than its build copy by "), std::string::npos);
    EXPECT_NE(again.out.find("explain: record newer than its archive entry by "), std::string::npos);

    WriteFile(Res("ui/stale.tex"), "old");
    RunResult listed = Cli({"delete-unassociated"});
    EXPECT_EQ(listed.exitStatus, 0);
    EXPECT_NE(listed.out.find("Unassociated: " + temp / "Build/Resources\\ui\\stale.tex\n"), std::string::npos);
    EXPECT_NE(listed.out.find("1 unassociated file(s) and 0 record(s); nothing deleted"), std::string::npos);
    EXPECT_TRUE(IsFile(Res("ui/stale.tex")));
    RunResult deleted = Cli({"delete-unassociated", "--yes"});
    EXPECT_EQ(deleted.exitStatus, 0) << deleted.err;
    EXPECT_FALSE(PathExists(Res("ui/stale.tex")));
}

TEST_F(BuildPipelineTest, CliArchiveCommands)
{
    ASSERT_EQ(Cli({"build-assets"}).exitStatus, 0);
    ASSERT_TRUE(RemoveFile(Res("ui.arc")));
    WriteFile(Res("xpack/extra/note.txt"), "x");
    WriteFile(Res(".svn/entries"), "x");
    RunResult fresh = Cli({"build-archives", "--fresh"});
    EXPECT_EQ(fresh.exitStatus, 0) << fresh.err;
    EXPECT_EQ(ArchiveEntries(Res("ui.arc")), std::set<std::string>{"logo.tex"});
    EXPECT_EQ(ArchiveEntries(Res("xpack/extra.arc")), std::set<std::string>{"note.txt"});
    EXPECT_FALSE(PathExists(Res(".svn.arc")));
    EXPECT_FALSE(PathExists(Res("xpack.arc")));

    ASSERT_TRUE(RemoveFile(Res("sounds/click.wav")));
    EXPECT_EQ(Cli({"compact"}).exitStatus, 0);
    EXPECT_EQ(ArchiveEntries(Res("sounds.arc")), std::set<std::string>{"theme.mp3"});

    RunResult stats = Cli({"resource-stats"});
    EXPECT_EQ(stats.exitStatus, 0) << stats.err;
    EXPECT_NE(stats.out.find(Res("sounds.arc") + ": 1 files"), std::string::npos) << stats.out;
}

TEST_F(BuildPipelineTest, ArchiveCommandsRefuseOtherFiles)
{
    std::string bogus = temp / "bogus.arz";
    std::string bytes(4096, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7919 + 13) & 0xFF);
    bytes[0] = 4;
    bytes[1] = 0;
    WriteFile(bogus, bytes);
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"archive-list", bogus}, {"archive-stats", bogus}, {"archive-dump", bogus, "x.dbr"}})
    {
        RunResult run = Cli(arguments);
        EXPECT_EQ(run.exitStatus, 1) << arguments[0];
        EXPECT_NE(run.err.find(bogus + " is not a database archive ("), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("Number of Records"), std::string::npos);
    }
    WriteFile(bogus, "short");
    EXPECT_EQ(Cli({"archive-list", bogus}).err, bogus + " is not a database archive (too short)\n");

    // An entry whose body lies outside the file is not loaded, and the
    // statistics count what was loaded, not what the header claims.
    ASSERT_EQ(Cli({"compile-db"}).exitStatus, 0);
    std::string image = ReadFile(Archive());
    auto u32 = [&](size_t at) {
        return uint32_t(uint8_t(image[at])) | uint32_t(uint8_t(image[at + 1])) << 8 |
               uint32_t(uint8_t(image[at + 2])) << 16 | uint32_t(uint8_t(image[at + 3])) << 24;
    };
    size_t index = u32(4);
    size_t bodyOffset = index + 8 + u32(index + 4);
    image[bodyOffset + 3] = char(0x7F);
    std::string damaged = temp / "damaged.arz";
    WriteFile(damaged, image);
    RunResult stats = Cli({"archive-stats", damaged});
    EXPECT_EQ(stats.exitStatus, 0) << stats.err;
    EXPECT_NE(stats.out.find("Number of Records in archive: 7\n"), std::string::npos) << stats.out;

    RunResult unknown = Cli({"bogus"});
    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_EQ(unknown.err.rfind("unknown command 'bogus'\nusage: ", 0), 0u);
}

TEST_F(BuildPipelineTest, AParallelBuildGivesTheFilesOfASerialOne)
{
    TempFolder other;
    std::string otherIni = CopyExampleWorkspace(other.Path());
    FileTime time = FileTimeFromUnix(1600000000, 0);
    SetTreeTime(temp / "Working/", time);
    SetTreeTime(other / "Working/", time);
    RunResult serial = Cli({"build", "-j", "1"});
    ASSERT_EQ(serial.exitStatus, 0) << serial.out << serial.err;
    RunResult parallel = RunProgram(MODWRIGHT_CLI_EXE, {"-ini", otherIni, "build", "-j4"}, other.Path());
    ASSERT_EQ(parallel.exitStatus, 0) << parallel.out << parallel.err;

    std::vector<std::string> serialFiles = ExpectSameBuild(temp / "Build/", other / "Build/");
    EXPECT_GT(serialFiles.size(), 20u);
    EXPECT_EQ(Cli({"build", "-j"}).exitStatus, 2);
}

// The user cache folder is $XDG_CACHE_HOME on POSIX systems only.
#ifndef _WIN32
// Lines of text that start with start.
int CountLinesStartingWith(const std::string& text, const std::string& start)
{
    int count = 0;
    for (const std::string& line : SplitText(text, '\n'))
        count += line.rfind(start, 0) == 0;
    return count;
}

TEST_F(BuildPipelineTest, WithoutACacheSectionTheLocalCacheBelowTheUserCacheFolderIsUsed)
{
    // A user cache folder of this test alone; the programs inherit it.
    TempFolder userCache;
    std::string previous = getenv("XDG_CACHE_HOME") ? getenv("XDG_CACHE_HOME") : "";
    setenv("XDG_CACHE_HOME", (userCache / "cache").c_str(), 1);
    ASSERT_EQ(ReadFile(ini).find("[Cache]"), std::string::npos);

    RunResult first = Cli({"build"});
    std::vector<std::string> entries;
    ListTree(userCache / "cache/modwright/build/", "", entries);
    // The second workspace, elsewhere, takes every compiled output from it.
    TempFolder other;
    std::string otherIni = CopyExampleWorkspace(other.Path());
    RunResult second = RunProgram(MODWRIGHT_CLI_EXE, {"-ini", otherIni, "build"}, other.Path());
    RunResult uncached = RunProgram(MODWRIGHT_CLI_EXE, {"-ini", otherIni, "build", "--force", "--no-cache"},
                                    other.Path());
    setenv("XDG_CACHE_HOME", previous.c_str(), 1);

    ASSERT_EQ(first.exitStatus, 0) << first.out << first.err;
    EXPECT_EQ(CountLinesStartingWith(first.out, "From cache: "), 0) << first.out;
    ASSERT_FALSE(entries.empty());
    int misses = int(entries.size());
    EXPECT_NE(first.out.find("Cache: 0 hit(s) " + std::to_string(misses) + " miss(es)\n"), std::string::npos)
        << first.out;
    ASSERT_EQ(second.exitStatus, 0) << second.out << second.err;
    EXPECT_EQ(CountLinesStartingWith(second.out, "From cache: "), misses) << second.out;
    EXPECT_NE(second.out.find("Cache: " + std::to_string(misses) + " hit(s) 0 miss(es)\n"), std::string::npos)
        << second.out;
    std::vector<std::string> files;
    ListTree(temp / "Build/", "", files);
    for (const std::string& file : files)
        if (!EqualsNoCase(Extension(file), "arc") && !EqualsNoCase(Extension(file), "arz"))
        {
            EXPECT_EQ(ReadFile(other / "Build/" + file), ReadFile(temp / "Build/" + file)) << file;
        }
    // --no-cache compiles everything and counts nothing.
    ASSERT_EQ(uncached.exitStatus, 0) << uncached.out << uncached.err;
    EXPECT_EQ(CountLinesStartingWith(uncached.out, "From cache: "), 0);
    EXPECT_EQ(uncached.out.find("Cache: "), std::string::npos);
}
#endif

} // namespace
} // namespace mw::test
