// The file-system boundary on real files in a temporary folder.
#include "platform/FileSystem.h"
#include "platform/FileRemoval.h"
#include "platform/PathRules.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/mount.h>
#include <sys/wait.h>
#endif
#include <unistd.h>

namespace mw {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

TEST(FileSystem, MissingPathsResolveCaseInsensitivelyWithEitherSeparator)
{
    TempFolder temp;
    WriteFile(temp / "database/templates/base.tpl", "x");
    std::string typed = temp.Path() + "Database\\Templates\\Base.tpl";
    EXPECT_EQ(ResolvePath(typed), temp.Path() + "database/templates/base.tpl");
    EXPECT_TRUE(IsFile(typed));
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(typed, bytes));
    EXPECT_EQ(bytes, "x");

    // Creation resolves the existing prefix and creates the rest as written.
    EXPECT_TRUE(EnsureFolders(temp.Path() + "DATABASE\\NewFolder\\Sub\\"));
    EXPECT_TRUE(IsFolder(temp / "database/NewFolder/Sub"));

    // Copy, rename and delete resolve the same way.
    EXPECT_TRUE(CopyFileKeepTime(temp.Path() + "DATABASE/TEMPLATES/BASE.TPL", temp.Path() + "Database/copy.tpl"));
    EXPECT_EQ(ReadFile(temp / "database/copy.tpl"), "x");
    EXPECT_TRUE(RenamePath(temp.Path() + "DataBase/Copy.tpl", temp.Path() + "database/moved.tpl"));
    EXPECT_TRUE(IsFile(temp / "database/moved.tpl"));
    EXPECT_TRUE(RemoveFile(temp.Path() + "DATABASE/MOVED.TPL"));
    EXPECT_FALSE(PathExists(temp / "database/moved.tpl"));
}

TEST(FileSystem, ListingIsSortedCaseInsensitivelyWithoutDotEntries)
{
    TempFolder temp;
    for (const char* name : {"b.txt", "A.txt", "c", "B2.txt"})
        WriteFile(temp / name, "");
    CreateFolder(temp / "Sub");
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(temp.Path(), entries));
    std::vector<std::string> names;
    for (const FolderEntry& entry : entries)
        names.push_back(entry.name + (entry.isFolder ? "/" : ""));
    EXPECT_EQ(names, (std::vector<std::string>{"A.txt", "b.txt", "B2.txt", "c", "Sub/"}));
    EXPECT_FALSE(ListFolder(temp / "missing", entries));

    // The sort gives LessNoCase's order: names equal but for case, prefixes,
    // characters between the capitals and the small letters, bytes above 127.
    std::vector<std::string> tricky = {"abc", "ABC", "Abc", "ab", "AB_", "ab_", "aB[", "a\xc3\xa9", "a\xc3\x89",
                                       "Z", "z", "_", "a", "", "abcd", "ABCD", "ab c", "AB-C"};
    std::vector<FolderEntry> sorted;
    for (const std::string& name : tricky)
        sorted.push_back(FolderEntry{name, false});
    SortFolderEntries(sorted);
    std::sort(tricky.begin(), tricky.end(), [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
    names.clear();
    for (const FolderEntry& entry : sorted)
        names.push_back(entry.name);
    EXPECT_EQ(names, tricky);
}

TEST(FileSystem, FileTimesRoundTripAsFileTime)
{
    TempFolder temp;
    WriteFile(temp / "f", "1");
    // 2020-01-01 00:00:00 UTC, plus 1234500 ns.
    FileTime time = FileTimeFromUnix(1577836800, 1234500);
    EXPECT_EQ(time.value, 132223104000000000ULL + 12345);
    ASSERT_TRUE(SetLastWriteTime(temp / "f", time));
    FileTime read;
    ASSERT_TRUE(GetLastWriteTime(temp / "f", read));
    EXPECT_EQ(read.value, time.value);
    EXPECT_EQ(FileTime::FromParts(read.Low(), read.High()).value, time.value);

    // A copy keeps the source's last-write time.
    ASSERT_TRUE(CopyFileKeepTime(temp / "f", temp / "g"));
    FileTime copied;
    ASSERT_TRUE(GetLastWriteTime(temp / "g", copied));
    EXPECT_EQ(copied.value, time.value);
}

TEST(FileSystem, ReadOnlyFilesRefuseReplacementUntilMadeWritable)
{
    TempFolder temp;
    WriteFile(temp / "r.dbr", "old");
    ASSERT_TRUE(SetReadOnly(temp / "r.dbr", true));
    bool readOnly = false;
    ASSERT_TRUE(GetReadOnly(temp / "r.dbr", readOnly));
    EXPECT_TRUE(readOnly);
    EXPECT_FALSE(WriteFileAtomic(temp / "r.dbr", "new"));
    EXPECT_FALSE(CopyFileKeepTime(temp / "r.dbr", temp / "r.dbr"));
    EXPECT_EQ(ReadFile(temp / "r.dbr"), "old");
    ASSERT_TRUE(MakeWritable(temp / "r.dbr"));
    EXPECT_TRUE(WriteFileAtomic(temp / "r.dbr", "new"));
    EXPECT_EQ(ReadFile(temp / "r.dbr"), "new");
}

TEST(FileSystem, AtomicWritesLeaveNoTemporaryFilesAndKeepMode)
{
    TempFolder temp;
    WriteFile(temp / "keep.sh", "#!");
#ifndef _WIN32
    ::chmod((temp / "keep.sh").c_str(), 0755);
#endif
    ASSERT_TRUE(WriteTextFileAtomic(temp / "keep.sh", "a\nb\r\nc"));
    EXPECT_EQ(ReadFile(temp / "keep.sh"), "a\r\nb\r\nc");
#ifndef _WIN32
    struct stat info;
    ASSERT_EQ(::stat((temp / "keep.sh").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0755u);
#endif
    std::vector<FolderEntry> entries;
    ListFolder(temp.Path(), entries);
    EXPECT_EQ(entries.size(), 1u);
    // A folder that does not exist: the write fails and nothing is created.
    EXPECT_FALSE(WriteFileAtomic(temp / "no/such/file", "x"));
}

TEST(FileSystem, BuiltFilesAreWrittenFromPiecesAndSwappedIn)
{
    TempFolder temp;
    std::string path = temp / "database.arz";
    // A new file, then a replacement, each from pieces of which some are empty.
    ASSERT_TRUE(WriteBuiltFileAtomic(path, {"he", "", "ader"}));
    EXPECT_EQ(ReadFile(path), "header");
#ifndef _WIN32
    ::chmod(path.c_str(), 0640);
    // A reader that opened the old file keeps reading the old bytes.
    std::FILE* reader = std::fopen(path.c_str(), "rb");
    ASSERT_NE(reader, nullptr);
#endif
    // More pieces than one system call takes, some of them large.
    std::vector<std::string> parts;
    std::string expected;
    for (int i = 0; i < 3000; ++i)
    {
        parts.push_back(std::string(size_t(i % 7 == 0 ? 70000 : i % 5), char('a' + i % 26)));
        expected += parts.back();
    }
    std::vector<std::string_view> pieces(parts.begin(), parts.end());
    ASSERT_TRUE(WriteBuiltFileAtomic(path, pieces));
    EXPECT_TRUE(ReadFile(path) == expected);
#ifndef _WIN32
    char old[7] = {};
    EXPECT_EQ(std::fread(old, 1, 6, reader), 6u);
    EXPECT_STREQ(old, "header");
    std::fclose(reader);
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
#endif
    std::vector<FolderEntry> entries;
    ListFolder(temp.Path(), entries);
    EXPECT_EQ(entries.size(), 1u) << "a temporary or the old file was left behind";
    // The large file replaced in turn: its blocks are freed beside the
    // caller, but its name is gone when the write returns.
    ASSERT_TRUE(WriteBuiltFileAtomic(path, {"small"}));
    EXPECT_EQ(ReadFile(path), "small");
    ListFolder(temp.Path(), entries);
    EXPECT_EQ(entries.size(), 1u) << "the old large file was left behind";
    // A read-only file is refused and stays as it was.
    ASSERT_TRUE(SetReadOnly(path, true));
    EXPECT_FALSE(WriteBuiltFileAtomic(path, {"refused"}));
    EXPECT_EQ(ReadFile(path), "small");
    MakeWritable(path);
}

#ifndef _WIN32
TEST(FileSystem, BuiltOutputsOfUnchangedBytesKeepTheirFileAndRenewTheirTime)
{
    TempFolder temp;
    std::string path = temp / "a.tex";
    auto inode = [](const std::string& file) {
        struct stat info{};
        ::lstat(file.c_str(), &info);
        return info.st_ino;
    };
    ASSERT_TRUE(WriteBuiltOutput(path, "texture"));
    ino_t first = inode(path);
    ASSERT_TRUE(SetLastWriteTime(path, FileTimeFromUnix(1000000000, 0)));
    // The same bytes: the file stays, with a new time (it counts as built now).
    ASSERT_TRUE(WriteBuiltOutput(path, "texture"));
    EXPECT_EQ(inode(path), first);
    FileInfo info;
    ASSERT_TRUE(GetFileInfo(path, info));
    EXPECT_GT(info.lastWrite.value, FileTimeFromUnix(1000000000, 0).value);
    // Other bytes of the same size, and of another size, are written.
    ASSERT_TRUE(WriteBuiltOutput(path, "TEXTURE"));
    EXPECT_EQ(ReadFile(path), "TEXTURE");
    ASSERT_TRUE(WriteBuiltOutput(path, "tex"));
    EXPECT_EQ(ReadFile(path), "tex");
    // A second name of the file keeps the old bytes; a link is replaced
    // without touching what it points to.
    std::string other = temp / "elsewhere.tex";
    ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
    ASSERT_TRUE(WriteBuiltOutput(path, "tex"));
    EXPECT_NE(inode(path), inode(other));
    ASSERT_TRUE(SetLastWriteTime(other, FileTimeFromUnix(1000000000, 0)));
    std::string linked = temp / "linked.tex";
    ASSERT_EQ(::symlink(other.c_str(), linked.c_str()), 0);
    ASSERT_TRUE(WriteBuiltOutput(linked, "tex"));
    EXPECT_FALSE(IsSymbolicLink(linked));
    ASSERT_TRUE(GetFileInfo(other, info));
    EXPECT_EQ(info.lastWrite.value, FileTimeFromUnix(1000000000, 0).value);
    // A read-only output is refused even when its bytes would not change.
    ASSERT_TRUE(SetReadOnly(path, true));
    EXPECT_FALSE(WriteBuiltOutput(path, "tex"));
    EXPECT_FALSE(WriteBuiltOutput(path, "other"));
    EXPECT_EQ(ReadFile(path), "tex");
    MakeWritable(path);
}
#endif

#ifndef _WIN32
TEST(FileSystem, ASavedFilesSpareIsRewrittenOnlyWhenNobodyReadsIt)
{
    TempFolder temp;
    std::string path = temp / "database.arz";
    std::string spare = temp / ".database.arz.mwtmp.spare.arz";
    auto inode = [](const std::string& file) {
        struct stat info{};
        ::lstat(file.c_str(), &info);
        return info.st_ino;
    };
    // A new file leaves no spare; a replaced one is kept as the spare.
    ASSERT_TRUE(WriteBuiltFileKeepingSpare(path, {"first version"}));
    EXPECT_FALSE(IsFile(spare));
    ::chmod(path.c_str(), 0640);
    ino_t first = inode(path);
    ASSERT_TRUE(WriteBuiltFileKeepingSpare(path, {"second ", "version"}));
    EXPECT_EQ(ReadFile(spare), "first version");
    EXPECT_EQ(inode(spare), first);
    // The next save rewrites the spare, shorter than before, and swaps it in.
    ASSERT_TRUE(WriteBuiltFileKeepingSpare(path, {"third"}));
    EXPECT_EQ(ReadFile(path), "third");
    EXPECT_EQ(inode(path), first);
    EXPECT_EQ(ReadFile(spare), "second version");
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    // A reader of the version that became the spare keeps reading it: that
    // spare is left to the reader and new files are written, until the
    // reader is done.
    std::FILE* reader = std::fopen(path.c_str(), "rb");
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(WriteBuiltFileKeepingSpare(path, {"fourth"}));
    ASSERT_TRUE(WriteBuiltFileKeepingSpare(path, {"fifth version"}));
    EXPECT_EQ(ReadFile(path), "fifth version");
    EXPECT_EQ(ReadFile(spare), "third");
    char old[6] = {};
    EXPECT_EQ(std::fread(old, 1, 5, reader), 5u);
    EXPECT_STREQ(old, "third");
    std::fclose(reader);
    ASSERT_TRUE(WriteBuiltFileKeepingSpare(path, {"sixth"}));
    EXPECT_EQ(inode(path), first);
    EXPECT_EQ(ReadFile(spare), "fifth version");

    // A link planted as the spare is neither followed nor written through.
    std::string target = temp / "elsewhere";
    WriteFile(target, "keep");
    ASSERT_EQ(::unlink(spare.c_str()), 0);
    ASSERT_EQ(::symlink(target.c_str(), spare.c_str()), 0);
    ASSERT_TRUE(WriteBuiltFileKeepingSpare(path, {"seventh"}));
    EXPECT_EQ(ReadFile(path), "seventh");
    EXPECT_EQ(ReadFile(target), "keep");

    // The spares go with the process; only the file and the link's target stay.
    RemoveSpareFiles();
    std::vector<FolderEntry> entries;
    ListFolder(temp.Path(), entries);
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_EQ(ReadFile(path), "seventh");
}
#endif

#ifndef _WIN32
// Two programs saving the same file at once: each save leaves one whole
// version, never a mix of two.
TEST(FileSystem, SavesOfTwoProgramsAtOnceEachLeaveAWholeVersion)
{
    TempFolder temp;
    std::string path = temp / "database.arz";
    // Version i of program c: the letter c, 100000 + i * 1000 times.
    auto save = [&](char c, int rounds) {
        bool ok = true;
        for (int i = 0; i < rounds; ++i)
            ok = WriteBuiltFileKeepingSpare(path, {std::string(size_t(100000 + i * 1000), c)}) && ok;
        return ok;
    };
    ASSERT_TRUE(save('a', 1));
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(save('b', 60) ? 0 : 1);
    EXPECT_TRUE(save('a', 60));
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    std::string bytes = ReadFile(path);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.find_first_not_of(bytes[0]), std::string::npos) << "two versions mixed";
    EXPECT_EQ((bytes.size() - 100000) % 1000, 0u);
    RemoveSpareFiles();
    std::vector<FolderEntry> entries;
    ListFolder(temp.Path(), entries);
    EXPECT_LE(entries.size(), 2u) << "temporary files were left behind";
}

// On a small tmpfs mounted by the test (needs root; skipped otherwise).
TEST(FileSystem, ASaveTheDiskCannotHoldLeavesTheFileAsItWasAndNoSpare)
{
    TempFolder temp;
    std::string mount = temp / "disk";
    ASSERT_TRUE(EnsureFolders(mount + "/"));
    if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    std::string path = mount + "/database.arz";
    const std::string second(300000, '2');
    ASSERT_TRUE(WriteBuiltFileKeepingSpare(path, {std::string(300000, '1')}));
    ASSERT_TRUE(WriteBuiltFileKeepingSpare(path, {second}));
    // Neither the spare grown nor a new file fits beside the file.
    EXPECT_FALSE(WriteBuiltFileKeepingSpare(path, {std::string(800000, '3')}));
    EXPECT_TRUE(ReadFile(path) == second);
    std::vector<FolderEntry> entries;
    ListFolder(mount + "/", entries);
    EXPECT_EQ(entries.size(), 1u) << "a spare or a temporary file was left taking space";
    // With the space the spare took given back, a smaller save fits.
    ASSERT_TRUE(WriteBuiltFileKeepingSpare(path, {std::string(600000, '4')}));
    EXPECT_EQ(ReadFile(path), std::string(600000, '4'));
    RemoveSpareFiles();
    ::umount2(mount.c_str(), MNT_DETACH);
}
#endif

TEST(FileSystem, AtomicWritesReplaceFilesWhoseNamesJustFit)
{
    TempFolder temp;
    // 255 bytes is the longest name; the last one mostly of two-byte characters.
    for (const std::string& name : {std::string(241, 'n'), std::string(255, 'n'), std::string(250, 'n'),
                                    std::string(2, 'n') + [] {
                                        std::string accents;
                                        for (int i = 0; i < 120; ++i)
                                            accents += "\xc3\xa9";
                                        return accents;
                                    }() + "x.dbr"})
    {
        SCOPED_TRACE(name.size());
        ASSERT_TRUE(WriteFileAtomic(temp / name, "first"));
        ASSERT_TRUE(WriteFileAtomic(temp / name, "second"));
        EXPECT_EQ(ReadFile(temp / name), "second");
        ASSERT_TRUE(RemoveFile(temp / name));
    }
    std::vector<FolderEntry> entries;
    ListFolder(temp.Path(), entries);
    EXPECT_TRUE(entries.empty());
    std::string prefix = AtomicTempPrefix(std::string(199, 'n') + "\xc3\xa9" + "tail");
    EXPECT_EQ(prefix, "." + std::string(199, 'n') + ".mwtmp.");
}

TEST(FileSystem, DeleteFolderTreeRemovesReadOnlyFilesToo)
{
    TempFolder temp;
    WriteFile(temp / "tree/a/b.txt", "b");
    WriteFile(temp / "tree/c.txt", "c");
    SetReadOnly(temp / "tree/a/b.txt", true);
    EXPECT_TRUE(DeleteFolderTree(temp.Path() + "TREE"));
    EXPECT_FALSE(PathExists(temp / "tree"));
}

// Links are a POSIX test: Windows needs a privilege to make them.
#ifndef _WIN32
TEST(FileSystem, DeleteFolderTreeRemovesLinksWithoutFollowingThem)
{
    TempFolder temp;
    WriteFile(temp / "outside/keep.txt", "keep");
    WriteFile(temp / "tree/a.txt", "a");
    ASSERT_EQ(::symlink((temp / "outside").c_str(), (temp / "tree/link").c_str()), 0);
    ASSERT_EQ(::symlink((temp / "outside").c_str(), (temp / "toplink").c_str()), 0);
    EXPECT_TRUE(DeleteFolderTree(temp / "tree"));
    EXPECT_FALSE(PathExists(temp / "tree"));
    EXPECT_TRUE(DeleteFolderTree(temp / "toplink"));
    EXPECT_FALSE(PathExists(temp / "toplink"));
    EXPECT_EQ(ReadFile(temp / "outside/keep.txt"), "keep");
}
#endif

TEST(FileSystem, PathsBeyondTheOldWindowsLengthLimitWork)
{
    TempFolder temp;
    std::string folder = temp.Path();
    for (int i = 0; i < 12; ++i)
        folder += "a-rather-long-folder-name-" + std::to_string(i) + "/";
    ASSERT_GT(folder.size(), 300u);
    ASSERT_TRUE(EnsureFolders(folder));
    ASSERT_TRUE(WriteFileAtomic(folder + "Record.dbr", "x"));
    EXPECT_TRUE(WriteFileAtomic(folder + "record.DBR", "yz"));
    EXPECT_EQ(ReadFile(folder + "RECORD.dbr"), "yz");
    FileInfo info;
    ASSERT_TRUE(GetFileInfo(folder + "Record.dbr", info));
    EXPECT_EQ(info.size, 2u);
    ASSERT_TRUE(SetReadOnly(folder + "Record.dbr", true));
    EXPECT_FALSE(WriteFileAtomic(folder + "Record.dbr", "refused"));
    ASSERT_TRUE(MakeWritable(folder + "Record.dbr"));
    EXPECT_TRUE(RenamePath(folder + "Record.dbr", folder + "Moved.dbr"));
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(folder, entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "Moved.dbr");
    EXPECT_TRUE(DeleteFolderTree(temp / "a-rather-long-folder-name-0"));
    EXPECT_FALSE(PathExists(temp / "a-rather-long-folder-name-0"));
}

TEST(FileSystem, EnsureFoldersTellsWhetherTheFolderExists)
{
    TempFolder temp;
    EXPECT_TRUE(EnsureFolders(temp / "x/y/z/"));
    EXPECT_TRUE(EnsureFolders(temp / "x/y/z"));
    WriteFile(temp / "file", "");
    EXPECT_FALSE(EnsureFolders(temp / "file/"));
}

} // namespace
} // namespace mw

#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace mw {
namespace {

TEST(FileSystem, LookupsSeeFilesOtherProgramsCreateAndRemove)
{
    test::TempFolder temp;
    test::WriteFile(temp / "dir/first.txt", "1");
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    // A miss fills the name cache of dir.
    EXPECT_FALSE(PathExists(temp.Path() + "dir/SECOND.TXT"));
    // Another program creates and removes files behind the cache's back.
    int fd = ::open((temp / "dir/second.txt").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_EQ(ResolvePath(temp.Path() + "dir/SECOND.TXT"), temp.Path() + "dir/second.txt");
    ::unlink((temp / "dir/first.txt").c_str());
    EXPECT_FALSE(PathExists(temp.Path() + "dir/FIRST.TXT"));
    // Files this process writes are found at once, in any case.
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(WriteFileAtomic(temp / "dir/new" + std::to_string(i) + ".dbr", "x"));
    for (int i = 0; i < 50; ++i)
        EXPECT_TRUE(IsFile(temp.Path() + "DIR/NEW" + std::to_string(i) + ".DBR")) << i;
    EXPECT_TRUE(OverwriteFileKeepTime(temp / "dir/new0.dbr", temp / "dir/Copy.dbr"));
    EXPECT_EQ(ResolvePath(temp.Path() + "dir/copy.DBR"), temp.Path() + "dir/Copy.dbr");
}

TEST(FileSystem, OverwriteCopiesInPlaceKeepingTimeAndShrinking)
{
    test::TempFolder temp;
    test::WriteFile(temp / "src", "short");
    test::WriteFile(temp / "dst", "a much longer old content");
    FileTime sourceTime = FileTimeFromUnix(1600000000, 0);
    SetLastWriteTime(temp / "src", sourceTime);
    ASSERT_TRUE(OverwriteFileKeepTime(temp / "src", temp / "dst"));
    EXPECT_EQ(test::ReadFile(temp / "dst"), "short");
    FileInfo info;
    ASSERT_TRUE(GetFileInfo(temp / "dst", info));
    EXPECT_EQ(info.lastWrite.value, sourceTime.value);
    EXPECT_EQ(info.size, 5u);
    SetReadOnly(temp / "dst", true);
    EXPECT_FALSE(OverwriteFileKeepTime(temp / "src", temp / "dst"));
}

} // namespace
} // namespace mw

namespace mw {
namespace {

TEST(FileSystem, ResolutionKeepsDotsTrailingSeparatorsAndUnmatchedRests)
{
    test::TempFolder temp;
    test::WriteFile(temp / "Alpha/Beta/file.txt", "x");
    const std::string root = temp.Path();
    struct Case
    {
        std::string typed;
        std::string resolved;
    };
    const Case cases[] = {
        {root + "alpha\\beta\\FILE.TXT", root + "Alpha/Beta/file.txt"},
        {root + "alpha/./BETA/", root + "Alpha/./Beta/"},
        {root + "ALPHA/../alpha/beta", root + "Alpha/../Alpha/Beta"},
        {root + "alpha//beta//file.txt", root + "Alpha/Beta/file.txt"},
        {root + "alpha/missing/File.TXT", root + "Alpha/missing/File.TXT"},
        {root + "Alpha/Beta/file.txt", root + "Alpha/Beta/file.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolvePath(c.typed), c.resolved) << c.typed;
}

} // namespace
} // namespace mw
