// Listing the built archives' contents for the file browser.
#include "BrowsableFiles.h"

#include "ImportRecord.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/engine/Archive.h"

namespace mw {
namespace {

std::vector<std::string> SplitExtensions(const std::string& extensions)
{
    std::vector<std::string> list;
    for (std::string piece : SplitText(extensions, ','))
    {
        size_t start = piece.find_first_not_of(" .");
        size_t end = piece.find_last_not_of(' ');
        if (start == std::string::npos)
            continue;
        list.push_back(ToLowerAscii(piece.substr(start, end - start + 1)));
    }
    return list;
}

void AddArchiveEntries(const std::string& archivePath, const std::vector<std::string>& extensions,
                       std::vector<BrowsableFile>& files)
{
    GAME::Archive archive;
    if (!archive.Open(archivePath.c_str(), 1))
        return;
    std::vector<int> indexes;
    if (extensions.empty())
    {
        for (int i = 0; i < archive.GetNumFiles(); ++i)
            indexes.push_back(i);
    }
    else
    {
        for (const std::string& extension : extensions)
        {
            std::vector<int> matching;
            archive.FindMatchingFilesEnd(matching, ("." + extension).c_str());
            indexes.insert(indexes.end(), matching.begin(), matching.end());
        }
    }
    for (int index : indexes)
    {
        GAME::FileEntry entry = archive.GetFileEntry(index);
        if (entry.name)
            files.push_back(BrowsableFile{archivePath, entry.name});
    }
    archive.Close(false);
}

void AddResourceFolders(const std::string& root, const std::vector<std::string>& extensions,
                        std::vector<BrowsableFile>& files)
{
    for (const char* folder : {"Resources/", "Resources/XPack/", "Audio/", "Text/"})
    {
        std::vector<FolderEntry> entries;
        if (!ListFolder(root + folder, entries))
            continue;
        for (const FolderEntry& entry : entries)
            if (!entry.isFolder && EqualsNoCase(Extension(entry.name), "arc"))
                AddArchiveEntries(root + folder + entry.name, extensions, files);
    }
}

} // namespace

std::string BrowsableFile::Shown() const { return ShortName(archive) + "\\" + ToBackslashes(name); }

std::string BrowsableFile::GamePath() const
{
    if (!EqualsNoCase(Extension(archive), "arc"))
        return name;
    std::string archiveName = ShortName(archive);
    std::string folder = archiveName.substr(0, archiveName.size() - 4);
    std::string parent = ShortName(ParentPath(archive));
    if (EqualsNoCase(parent, "XPack"))
        folder = parent + "/" + folder;
    return folder + "/" + name;
}

std::vector<BrowsableFile> ListBrowsableFiles(const BrowseFolders& folders, const std::string& modName,
                                              const std::string& extensions)
{
    std::vector<std::string> wanted = SplitExtensions(extensions);
    bool records = false;
    for (const std::string& extension : wanted)
        records = records || extension == "dbr";
    std::string root = modName.empty() ? WithTrailingSeparator(folders.startDir)
                                       : folders.buildDir + "CustomMaps/" + modName + "/";
    std::vector<BrowsableFile> files;
    if (records)
    {
        std::vector<std::string> archives = {root + "Database/" + (modName.empty() ? "database" : modName) + ".arz"};
        if (modName.empty())
            for (const std::string& extra : folders.additionalBuildDirs)
                archives.push_back(extra + "Database/database.arz");
        for (const std::string& archive : archives)
            for (const std::string& record : ListArchiveRecords({archive}))
                files.push_back(BrowsableFile{archive, record});
        return files;
    }
    AddResourceFolders(root, wanted, files);
    if (modName.empty())
        for (const std::string& extra : folders.additionalBuildDirs)
            AddResourceFolders(extra, wanted, files);
    return files;
}

} // namespace mw
