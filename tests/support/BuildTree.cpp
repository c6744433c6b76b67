// Reading back what a build left.
#include "BuildTree.h"

#include "TempFolder.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/engine/ResourceArchiveFile.h"

#include <gtest/gtest.h>

namespace mw::test {

void ListTree(const std::string& root, const std::string& relative, std::vector<std::string>& files)
{
    std::vector<FolderEntry> entries;
    ListFolder(root + relative, entries);
    for (const FolderEntry& entry : entries)
    {
        if (entry.isFolder)
            ListTree(root, relative + entry.name + "/", files);
        else
            files.push_back(relative + entry.name);
    }
}

std::string ArchiveContent(const std::string& path)
{
    std::string image = ReadFile(path);
    GAME::ResourceArchiveFile archive;
    std::string error;
    if (!archive.Parse(image, error))
        return "unreadable: " + error;
    std::string content;
    for (const GAME::ResourceArchiveEntry& entry : archive.Entries())
        content += entry.name + " " + std::to_string(entry.size) + " " + std::to_string(entry.checksum) + " " +
                   std::to_string(entry.method) + " " + std::string(entry.stored) + "\n";
    return content;
}

std::vector<std::string> ExpectSameBuild(const std::string& expectedRoot, const std::string& actualRoot)
{
    std::vector<std::string> expectedFiles;
    std::vector<std::string> actualFiles;
    ListTree(expectedRoot, "", expectedFiles);
    ListTree(actualRoot, "", actualFiles);
    EXPECT_EQ(actualFiles, expectedFiles) << actualRoot;
    for (const std::string& file : expectedFiles)
    {
        if (EqualsNoCase(Extension(file), "arc"))
            EXPECT_EQ(ArchiveContent(actualRoot + file), ArchiveContent(expectedRoot + file)) << actualRoot << file;
        else
            EXPECT_EQ(ReadFile(actualRoot + file), ReadFile(expectedRoot + file)) << actualRoot << file;
    }
    return expectedFiles;
}

} // namespace mw::test
