// GAME::Archive on archives made in the test: reading, extraction, hostile
// names and links, and damaged files.
#include "platform/FileSystem.h"
#include "platform/engine/Archive.h"
#include "platform/engine/ResourceArchiveFile.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <zlib.h>

namespace mw {
namespace {

using GAME::ResourceArchiveFile;
using GAME::ResourceArchiveEntry;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

constexpr uint64_t kSomeTime = 133000000000000000ull; // 2022

std::string MakeArchive(const std::vector<std::pair<std::string, std::string>>& entries)
{
    ResourceArchiveFile archive;
    for (const auto& [name, bytes] : entries)
        archive.Put(name, bytes, kSomeTime, 6);
    return archive.Serialize();
}

std::vector<std::string> EntryNames(const GAME::Archive& archive)
{
    std::vector<std::string> names;
    for (int i = 0; i < archive.GetNumFiles(); ++i)
    {
        GAME::FileEntry entry = archive.GetFileEntry(i);
        names.push_back(entry.name ? entry.name : "(null)");
    }
    return names;
}

TEST(ArchiveReader, ListsFindsAndExtractsEntriesWithTheirTimes)
{
    TempFolder temp;
    std::string repetitive(50000, 'r');
    WriteFile(temp / "a.arc", MakeArchive({{"Ogre/ogre.msh", repetitive}, {"ui/Logo.TEX", "logo"}, {"empty.txt", ""}}));

    GAME::Archive archive;
    ASSERT_TRUE(archive.Open((temp / "a.arc").c_str(), 1)) << archive.LastError();
    EXPECT_EQ(EntryNames(archive), (std::vector<std::string>{"Ogre/ogre.msh", "ui/Logo.TEX", "empty.txt"}));
    EXPECT_EQ(archive.GetFileEntry(0).size, 50000u);
    EXPECT_EQ(archive.GetFileEntry(7).name, nullptr);

    std::vector<int> found;
    EXPECT_EQ(archive.FindMatchingFilesEnd(found, ".tex"), 1);
    EXPECT_EQ(archive.FindMatchingFilesEnd(found, ".MSH"), 1);
    EXPECT_EQ(found, (std::vector<int>{1, 0}));

    std::string destination = temp / "out/";
    EnsureFolders(destination);
    for (int i = 0; i < archive.GetNumFiles(); ++i)
        EXPECT_TRUE(archive.ExtractFileToDisk(i, destination.c_str())) << archive.LastError();
    EXPECT_EQ(ReadFile(destination + "Ogre/ogre.msh"), repetitive);
    EXPECT_EQ(ReadFile(destination + "ui/Logo.TEX"), "logo");
    EXPECT_TRUE(IsFile(destination + "empty.txt"));
    FileTime time;
    ASSERT_TRUE(GetLastWriteTime(destination + "Ogre/ogre.msh", time));
    EXPECT_EQ(time.value / 10000000, kSomeTime / 10000000);

    // An existing folder of another letter case is reused, not doubled.
    EXPECT_TRUE(archive.ExtractFileToDisk(1, (temp / "out").c_str()));
    std::vector<FolderEntry> listing;
    ListFolder(destination, listing);
    EXPECT_EQ(listing.size(), 3u);

    archive.Close(false);
    EXPECT_EQ(archive.GetNumFiles(), 0);
    EXPECT_FALSE(archive.Open((temp / "missing.arc").c_str(), 1));
}

TEST(ArchiveReader, UnsafeNamesAreShownWithoutNameAndNeverExtracted)
{
    TempFolder temp;
    std::string absolute = temp / "absolute.txt";
    std::vector<std::string> hostile = {"../escape.txt", absolute, "a/../../up.txt", "c:drive.txt", "a//b.txt",
                                        "..\\back.txt", "dot/./x.txt", "bell\a.txt"};
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& name : hostile)
        entries.push_back({name, "payload"});
    WriteFile(temp / "hostile.arc", MakeArchive(entries));
    std::string destination = temp / "deep/inside/";
    EnsureFolders(destination);

    GAME::Archive archive;
    ASSERT_TRUE(archive.Open((temp / "hostile.arc").c_str(), 1));
    ASSERT_EQ(archive.GetNumFiles(), int(hostile.size()));
    std::vector<int> found;
    EXPECT_EQ(archive.FindMatchingFilesEnd(found, ".txt"), 0);
    for (int i = 0; i < archive.GetNumFiles(); ++i)
    {
        EXPECT_EQ(archive.GetFileEntry(i).name, nullptr) << hostile[size_t(i)];
        EXPECT_EQ(archive.GetFileEntry(i).size, 7u);
        EXPECT_FALSE(archive.ExtractFileToDisk(i, destination.c_str())) << hostile[size_t(i)];
    }
    EXPECT_FALSE(PathExists(temp / "deep/escape.txt"));
    EXPECT_FALSE(PathExists(temp / "up.txt"));
    EXPECT_FALSE(PathExists(absolute));
    std::vector<FolderEntry> listing;
    ListFolder(destination, listing);
    EXPECT_TRUE(listing.empty());
}

TEST(ArchiveReader, ExtractionNeverFollowsLinks)
{
    TempFolder temp;
    std::string outside = temp / "outside/";
    std::string destination = temp / "dest/";
    EnsureFolders(outside);
    EnsureFolders(destination);
    WriteFile(outside + "target.txt", "precious");
    std::error_code linkError;
    std::filesystem::create_directory_symlink(outside, destination + "linkdir", linkError);
    if (!linkError)
        std::filesystem::create_symlink(outside + "target.txt", destination + "file.txt", linkError);
    // Windows lets only privileged users make links (and Wine none at all).
    if (linkError)
        GTEST_SKIP() << "no links can be made here: " << linkError.message();
    WriteFile(temp / "links.arc", MakeArchive({{"linkdir/new.txt", "x"}, {"file.txt", "overwritten"}, {"LINKDIR/b/c.txt", "y"}}));

    GAME::Archive archive;
    ASSERT_TRUE(archive.Open((temp / "links.arc").c_str(), 1));
    for (int i = 0; i < archive.GetNumFiles(); ++i)
        EXPECT_FALSE(archive.ExtractFileToDisk(i, destination.c_str())) << archive.GetFileEntry(i).name;
    EXPECT_FALSE(PathExists(outside + "new.txt"));
    EXPECT_FALSE(PathExists(outside + "b"));
    EXPECT_EQ(ReadFile(outside + "target.txt"), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink(destination + "file.txt"));
    // The links go before the folder is removed, so its removal cannot follow them.
    std::filesystem::remove(destination + "linkdir");
    std::filesystem::remove(destination + "file.txt");
}

uint32_t Adler(std::string_view bytes)
{
    return uint32_t(adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
}

void PutU32(std::string& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + size_t(i)] = char(value >> (8 * i));
}

// Rewrites the table checksum so that a changed table passes that check.
void Reseal(std::string& image)
{
    size_t tableOffset = size_t(uint8_t(image[16])) | size_t(uint8_t(image[17])) << 8 | size_t(uint8_t(image[18])) << 16;
    PutU32(image, 24, Adler(std::string_view(image).substr(tableOffset)));
}

TEST(ArchiveReader, DamagedFilesFailToOpenOrToExtractButNeverCrash)
{
    TempFolder temp;
    const std::string good = MakeArchive({{"one.txt", std::string(3000, 'a') + "tail"}, {"two.bin", "0123456789"}});
    const size_t tableOffset = good.size() - (2 * 31 + 7 + 7);
    std::string path = temp / "d.arc";
    std::string destination = temp / "out/";
    EnsureFolders(destination);
    GAME::Archive archive;

    for (size_t length = 0; length < good.size(); ++length)
    {
        WriteFile(path, good.substr(0, length));
        EXPECT_FALSE(archive.Open(path.c_str(), 1)) << "truncated to " << length;
    }
    // Any change to the header or the table is caught on opening; a change
    // to entry data is caught when that entry is extracted.
    for (size_t at = 0; at < good.size(); ++at)
    {
        std::string damaged = good;
        damaged[at] = char(damaged[at] ^ 0x5A);
        WriteFile(path, damaged);
        bool opened = archive.Open(path.c_str(), 1);
        if (at < ResourceArchiveFile::kHeaderSize || at >= tableOffset)
        {
            EXPECT_FALSE(opened) << "byte " << at;
            continue;
        }
        ASSERT_TRUE(opened) << "byte " << at;
        bool extracted = archive.ExtractFileToDisk(0, destination.c_str()) && archive.ExtractFileToDisk(1, destination.c_str());
        EXPECT_FALSE(extracted) << "byte " << at;
    }

    struct Patch
    {
        const char* what;
        size_t offsetInRecord; // within the first table record (name "one.txt")
        uint32_t value;
    };
    const size_t record = tableOffset + 2 + 7;
    for (const Patch& patch : {Patch{"huge size", 12, 0xFFFFFFFFu}, Patch{"offset past the table", 0, 0x7FFFFFF0u},
                               Patch{"stored size past the table", 8, 0x10000000u}, Patch{"unknown method", 28, 7u}})
    {
        std::string damaged = good;
        if (patch.offsetInRecord == 28)
            damaged[record + 28] = char(patch.value);
        else
            PutU32(damaged, record + patch.offsetInRecord, patch.value);
        Reseal(damaged);
        WriteFile(path, damaged);
        EXPECT_FALSE(archive.Open(path.c_str(), 1)) << patch.what;
    }

    std::string wrongCount = good;
    PutU32(wrongCount, 8, 1000000);
    WriteFile(path, wrongCount);
    EXPECT_FALSE(archive.Open(path.c_str(), 1));
    EXPECT_FALSE(archive.LastError().empty());
}

TEST(ArchiveEntries, EachEntryIsCompressedAsIfAlone)
{
    // Entries are compressed one after another, at changing levels: each
    // must come out as zlib compresses it on its own, whatever came before.
    ResourceArchiveFile archive;
    std::vector<std::string> contents;
    std::vector<int> levels;
    for (int i = 0; i < 40; ++i)
    {
        std::string bytes;
        for (int j = 0; j < (i * 977) % 20000 + 1; ++j)
            bytes += char(i % 3 == 0 ? (j * 7919 + i) % 251 : 'a' + (j / (i + 1)) % 5);
        contents.push_back(bytes);
        levels.push_back(i < 20 ? 6 : i % 9 + 1);
        ASSERT_TRUE(archive.Put("e" + std::to_string(i), bytes, 0, levels.back()));
    }
    for (size_t i = 0; i < contents.size(); ++i)
    {
        uLongf length = compressBound(uLong(contents[i].size()));
        std::string alone(length, '\0');
        ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(alone.data()), &length,
                            reinterpret_cast<const Bytef*>(contents[i].data()), uLong(contents[i].size()), levels[i]),
                  Z_OK);
        alone.resize(length);
        const ResourceArchiveEntry& entry = archive.Entries()[i];
        if (alone.size() < contents[i].size())
            EXPECT_EQ(entry.stored, alone) << "entry " << i;
        else
            EXPECT_EQ(entry.stored, contents[i]) << "entry " << i;
    }
}

TEST(ArchiveNames, NormalizeKeepsRelativeNamesAndRefusesTheRest)
{
    struct Case
    {
        const char* in;
        const char* out;
    };
    for (const Case& c : {Case{"./Ogre/ogre.msh", "Ogre/ogre.msh"}, Case{".\\Ogre\\ogre.msh", "Ogre/ogre.msh"},
                          Case{"a//b", "a/b"}, Case{"a/./b", "a/b"}, Case{"../x", ""}, Case{"a/../b", ""},
                          Case{"/abs", ""}, Case{"\\abs", ""}, Case{"c:x", ""}, Case{".", ""}, Case{"dir/", ""},
                          Case{"", ""}})
        EXPECT_EQ(ResourceArchiveFile::NormalizeName(c.in), c.out) << c.in;
}

TEST(ArchiveNames, NamesDifferingOnlyInCaseShareOneEntryThroughPutsRemovesAndSorts)
{
    ResourceArchiveFile archive;
    archive.Put("Ogre/ogre.msh", "one", 1, 6);
    archive.Put("b.txt", "b", 1, 6);
    archive.Put("ogre/OGRE.MSH", "two", 2, 6);
    ASSERT_EQ(archive.Entries().size(), 2u);
    EXPECT_EQ(archive.Entries()[0].name, "ogre/OGRE.MSH");
    EXPECT_EQ(archive.Find("OGRE/ogre.msh"), 0);
    archive.Remove(0);
    EXPECT_EQ(archive.Find("ogre/ogre.msh"), -1);
    EXPECT_EQ(archive.Find("B.TXT"), 0);
    archive.Put("a.txt", "a", 1, 6);
    archive.SortByName();
    EXPECT_EQ(archive.Find("b.txt"), 1);
    EXPECT_EQ(archive.Find("A.txt"), 0);
}

} // namespace
} // namespace mw
