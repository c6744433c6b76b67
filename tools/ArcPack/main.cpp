// ArcPack: builds, updates, cleans, compacts, lists, extracts and summarises
// resource archives (.arc). Command lines and format: tools/README.md.
#include "common/CompilerMain.h"
#include "common/ToolOutput.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/engine/Archive.h"
#include "platform/engine/ResourceArchiveFile.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using GAME::ResourceArchiveEntry;
using GAME::ResourceArchiveFile;
using mw::Format;

const char kProgram[] = "ArcPack";
// Failures end with -1, which the tool reads as a negative exit code.
constexpr int kFailure = -1;

void Usage()
{
    std::fputs("usage: ArcPack ARCHIVE -add|-update|-replace PATH FOLDER [LEVEL]\n"
               "       ArcPack ARCHIVE -removeMissing FOLDER\n"
               "       ArcPack ARCHIVE -compact | -list | -extract FOLDER\n"
               "       ArcPack -totalStats OUTPUT PATTERN...\n",
               stderr);
}

std::string Join(const std::string& folder, const std::string& relative)
{
    if (relative.empty())
        return folder;
    if (!folder.empty() && mw::IsSeparator(folder.back()))
        return folder + relative;
    return folder + "/" + relative;
}

// An archive read whole; its entries are views into image.
struct LoadedArchive
{
    std::string image;
    ResourceArchiveFile file;
};

// Reads the archive; a missing one is empty when allowMissing is set.
bool LoadArchive(const std::string& path, bool allowMissing, LoadedArchive& archive)
{
    if (!mw::PathExists(path))
    {
        if (allowMissing)
            return true;
        mw::tools::ReportError(kProgram, Format("archive '%s' does not exist", path.c_str()));
        return false;
    }
    if (!mw::ReadWholeFile(path, archive.image))
    {
        mw::tools::ReportError(kProgram, Format("cannot read '%s': %s", path.c_str(), mw::LastErrorText().c_str()));
        return false;
    }
    std::string error;
    if (!archive.file.Parse(archive.image, error))
    {
        mw::tools::ReportError(kProgram, Format("'%s' is damaged: %s; left unchanged", path.c_str(), error.c_str()));
        return false;
    }
    return true;
}

// A run killed while it wrote leaves its temporary file (as large as the
// archive) beside the archive; the next write of that archive removes it.
void RemoveStaleTemporaries(const std::string& archivePath)
{
    std::string native = mw::ResolvePath(archivePath);
    std::string folder = mw::ParentPath(native);
    std::string prefix = mw::AtomicTempPrefix(mw::ShortName(native));
    std::vector<mw::FolderEntry> entries;
    if (!mw::ListFolder(folder.empty() ? std::string(".") : folder, entries))
        return;
    for (const mw::FolderEntry& entry : entries)
        if (!entry.isFolder && entry.name.size() > prefix.size() && entry.name.compare(0, prefix.size(), prefix) == 0)
            mw::RemoveFile(folder.empty() ? entry.name : folder + "/" + entry.name);
}

bool SaveArchive(const std::string& path, const ResourceArchiveFile& file)
{
    std::string folder = mw::ParentPath(path);
    if (!folder.empty())
        mw::EnsureFolders(folder + "/");
    RemoveStaleTemporaries(path);
    // An archive is built from outputs that stay: swapping it in spares
    // waiting for its blocks to reach the disk.
    std::string bytes = file.Serialize();
    if (mw::WriteBuiltFileAtomic(path, {bytes}))
        return true;
    mw::tools::ReportError(kProgram, Format("cannot write '%s': %s", path.c_str(), mw::LastErrorText().c_str()));
    return false;
}

struct SourceFile
{
    std::string path; // on disk
    std::string name; // entry name
};

// Folders nested deeper than this (a link that loops back, say) are an error.
constexpr int kMaxFolderDepth = 64;

// Every file at folder/relative (one file, or a tree walked in name order);
// names beginning with '.' are skipped below the starting point. False when
// the tree is nested too deep.
bool CollectFiles(const std::string& folder, const std::string& relative, int depth, std::vector<SourceFile>& files)
{
    std::string path = Join(folder, relative);
    if (!mw::IsFolder(path))
    {
        files.push_back({path, relative});
        return true;
    }
    if (depth > kMaxFolderDepth)
    {
        mw::tools::ReportError(kProgram, Format("'%s' is nested more than %d folders deep", path.c_str(), kMaxFolderDepth));
        return false;
    }
    std::vector<mw::FolderEntry> entries;
    mw::ListFolder(path, entries);
    for (const mw::FolderEntry& entry : entries)
    {
        if (entry.name.empty() || entry.name[0] == '.')
            continue;
        if (!CollectFiles(folder, relative.empty() ? entry.name : relative + "/" + entry.name, depth + 1, files))
            return false;
    }
    return true;
}

enum class StoreMode { Add, Update, Replace };

int Store(const std::string& archivePath, StoreMode mode, const std::string& relative, const std::string& folder,
          int level)
{
    std::string start = relative == "." ? std::string() : ResourceArchiveFile::NormalizeName(relative);
    if (relative != "." && start.empty())
    {
        mw::tools::ReportError(kProgram, Format("'%s' is not a path below the archive folder", relative.c_str()));
        return kFailure;
    }
    std::string startPath = Join(folder, start);
    if (!mw::PathExists(startPath))
    {
        mw::tools::ReportError(kProgram, Format("'%s' does not exist", startPath.c_str()));
        return kFailure;
    }
    if (mode == StoreMode::Replace && !mw::IsFile(startPath))
    {
        mw::tools::ReportError(kProgram, Format("'%s' is not a file", startPath.c_str()));
        return kFailure;
    }
    LoadedArchive archive;
    if (!LoadArchive(archivePath, true, archive))
        return kFailure;

    std::vector<SourceFile> files;
    if (!CollectFiles(folder, start, 0, files))
        return kFailure;
    size_t stored = 0, kept = 0, failed = 0;
    for (const SourceFile& source : files)
    {
        if (!ResourceArchiveFile::IsSafeName(source.name))
        {
            mw::tools::ReportError(kProgram, Format("'%s' has a name an archive cannot hold", source.path.c_str()));
            ++failed;
            continue;
        }
        if (mode == StoreMode::Update)
        {
            mw::FileInfo info;
            int existing = archive.file.Find(source.name);
            if (existing >= 0 && mw::GetFileInfo(source.path, info))
            {
                const ResourceArchiveEntry& entry = archive.file.Entries()[size_t(existing)];
                if (entry.size == info.size && entry.time == info.lastWrite.value && entry.name == source.name)
                {
                    ++kept;
                    continue;
                }
            }
        }
        std::string bytes;
        mw::FileTime time;
        if (!mw::ReadWholeFile(source.path, bytes, time))
        {
            mw::tools::ReportError(kProgram,
                                   Format("cannot read '%s': %s", source.path.c_str(), mw::LastErrorText().c_str()));
            ++failed;
            continue;
        }
        if (!archive.file.Put(source.name, bytes, time.value, level))
        {
            mw::tools::ReportError(kProgram, Format("'%s' is larger than an archive entry may be", source.path.c_str()));
            ++failed;
            continue;
        }
        mw::tools::ReportDetail(Format("  %s (%zu bytes)", source.name.c_str(), bytes.size()));
        ++stored;
    }
    if (failed > 0)
    {
        mw::tools::ReportError(kProgram, Format("%zu file(s) could not be stored; '%s' left unchanged", failed,
                                                archivePath.c_str()));
        return kFailure;
    }
    bool unchanged = stored == 0 && mw::PathExists(archivePath);
    if (!unchanged && !SaveArchive(archivePath, archive.file))
        return kFailure;
    mw::tools::ReportProgress(Format("%s: %zu stored, %zu unchanged, %zu entries", archivePath.c_str(), stored, kept,
                                     archive.file.Entries().size()));
    return 0;
}

int RemoveMissing(const std::string& archivePath, const std::string& folder)
{
    // The clean-up of unassociated files removes a resource folder that it
    // emptied; then every entry of its archive is missing.
    if (!mw::IsFolder(folder))
        mw::tools::ReportProgress(Format("archive folder '%s' does not exist: every entry is missing", folder.c_str()));
    LoadedArchive archive;
    if (!LoadArchive(archivePath, false, archive))
        return kFailure;
    size_t removed = 0;
    for (size_t i = archive.file.Entries().size(); i-- > 0;)
    {
        const ResourceArchiveEntry& entry = archive.file.Entries()[i];
        if (ResourceArchiveFile::IsSafeName(entry.name) && mw::IsFile(Join(folder, entry.name)))
            continue;
        mw::tools::ReportDetail(Format("  removed %s", entry.name.c_str()));
        archive.file.Remove(i);
        ++removed;
    }
    if (removed > 0 && !SaveArchive(archivePath, archive.file))
        return kFailure;
    mw::tools::ReportProgress(Format("%s: %zu removed, %zu entries", archivePath.c_str(), removed,
                                     archive.file.Entries().size()));
    return 0;
}

int Compact(const std::string& archivePath)
{
    LoadedArchive archive;
    if (!LoadArchive(archivePath, false, archive))
        return kFailure;
    std::string error;
    if (!archive.file.Recompress(error))
    {
        mw::tools::ReportError(kProgram, Format("'%s' is damaged: %s; left unchanged", archivePath.c_str(), error.c_str()));
        return kFailure;
    }
    archive.file.SortByName();
    std::string bytes = archive.file.Serialize();
    RemoveStaleTemporaries(archivePath);
    if (!mw::WriteFileAtomic(archivePath, bytes))
    {
        mw::tools::ReportError(kProgram, Format("cannot write '%s': %s", archivePath.c_str(), mw::LastErrorText().c_str()));
        return kFailure;
    }
    mw::tools::ReportProgress(Format("%s: compacted from %zu to %zu bytes", archivePath.c_str(), archive.image.size(),
                                     bytes.size()));
    return 0;
}

int List(const std::string& archivePath)
{
    LoadedArchive archive;
    if (!LoadArchive(archivePath, false, archive))
        return kFailure;
    for (const ResourceArchiveEntry& entry : archive.file.Entries())
        std::printf("%10u %10zu %20llu %s\n", entry.size, entry.stored.size(), (unsigned long long)entry.time,
                    entry.name.c_str());
    return 0;
}

int Extract(const std::string& archivePath, const std::string& folder)
{
    GAME::Archive archive;
    if (!archive.Open(archivePath.c_str(), 1))
    {
        mw::tools::ReportError(kProgram, Format("cannot open '%s': %s", archivePath.c_str(), archive.LastError().c_str()));
        return kFailure;
    }
    mw::EnsureFolders(mw::WithTrailingSeparator(folder));
    size_t failed = 0;
    for (int i = 0; i < archive.GetNumFiles(); ++i)
    {
        GAME::FileEntry entry = archive.GetFileEntry(i);
        if (!archive.ExtractFileToDisk(i, folder.c_str()))
        {
            mw::tools::ReportError(kProgram, Format("entry %d (%s) not extracted: %s", i, entry.name ? entry.name : "unsafe name",
                                                    archive.LastError().c_str()));
            ++failed;
            continue;
        }
        mw::tools::ReportDetail(Format("  %s", entry.name));
    }
    return failed ? kFailure : 0;
}

// '*' and '?' in a file-name mask, ignoring ASCII case.
bool MatchesMask(std::string_view name, std::string_view mask)
{
    size_t n = 0, m = 0, starMask = std::string_view::npos, starName = 0;
    while (n < name.size())
    {
        if (m < mask.size() && (mask[m] == '?' || mw::LowerAscii(mask[m]) == mw::LowerAscii(name[n])))
            ++n, ++m;
        else if (m < mask.size() && mask[m] == '*')
            starMask = m++, starName = n;
        else if (starMask != std::string_view::npos)
            m = starMask + 1, n = ++starName;
        else
            return false;
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

std::string Percent(uint64_t stored, uint64_t total)
{
    return total ? Format("%.1f%%", double(stored) * 100.0 / double(total)) : std::string("0.0%");
}

int TotalStats(const std::string& outputPath, const std::vector<std::string>& patterns)
{
    std::string text = "Archive statistics\n";
    uint64_t archives = 0, entries = 0, bytes = 0, stored = 0;
    for (const std::string& pattern : patterns)
    {
        size_t cut = pattern.find_last_of("\\/");
        std::string folder = cut == std::string::npos ? std::string(".") : pattern.substr(0, cut + 1);
        std::string mask = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
        std::vector<mw::FolderEntry> listing;
        if (!mw::ListFolder(folder, listing))
            continue;
        for (const mw::FolderEntry& item : listing)
        {
            if (item.isFolder || !MatchesMask(item.name, mask))
                continue;
            std::string path = folder + item.name;
            LoadedArchive archive;
            std::string error;
            if (!mw::ReadWholeFile(path, archive.image))
                error = mw::LastErrorText();
            else
                archive.file.Parse(archive.image, error);
            if (!error.empty())
            {
                text += Format("%s: unreadable (%s)\n", path.c_str(), error.c_str());
                continue;
            }
            uint64_t archiveBytes = 0, archiveStored = 0;
            for (const ResourceArchiveEntry& entry : archive.file.Entries())
            {
                archiveBytes += entry.size;
                archiveStored += entry.stored.size();
            }
            text += Format("%s: %zu files, %llu bytes, %llu stored (%s)\n", path.c_str(), archive.file.Entries().size(),
                           (unsigned long long)archiveBytes, (unsigned long long)archiveStored,
                           Percent(archiveStored, archiveBytes).c_str());
            ++archives;
            entries += archive.file.Entries().size();
            bytes += archiveBytes;
            stored += archiveStored;
        }
    }
    text += Format("Total: %llu archives, %llu files, %llu bytes, %llu stored (%s)\n", (unsigned long long)archives,
                   (unsigned long long)entries, (unsigned long long)bytes, (unsigned long long)stored,
                   Percent(stored, bytes).c_str());
    if (!mw::WriteTextFileAtomic(outputPath, text))
    {
        mw::tools::ReportError(kProgram, Format("cannot write '%s': %s", outputPath.c_str(), mw::LastErrorText().c_str()));
        return kFailure;
    }
    mw::tools::ReportProgress(Format("Statistics of %llu archive(s) written to %s", (unsigned long long)archives,
                                     outputPath.c_str()));
    return 0;
}

bool ParseLevel(const std::vector<std::string>& args, size_t index, int& level)
{
    level = 6;
    if (index >= args.size())
        return true;
    const std::string& text = args[index];
    if (text.size() != 1 || text[0] < '0' || text[0] > '9')
        return false;
    level = text[0] - '0';
    return true;
}

// One compile; main runs it once, or once for each command line a worker is sent.
int Compile(const std::vector<std::string>& args)
{
    if (args.size() >= 2 && args[0] == "-totalStats")
        return TotalStats(args[1], std::vector<std::string>(args.begin() + 2, args.end()));
    if (args.size() < 2)
    {
        Usage();
        return kFailure;
    }
    const std::string& archive = args[0];
    const std::string& operation = args[1];
    int level = 6;
    if ((operation == "-add" || operation == "-update" || operation == "-replace") && (args.size() == 4 || args.size() == 5))
    {
        if (!ParseLevel(args, 4, level))
        {
            mw::tools::ReportError(kProgram, Format("compression level '%s' is not 0 to 9", args[4].c_str()));
            return kFailure;
        }
        StoreMode mode = operation == "-add" ? StoreMode::Add : operation == "-update" ? StoreMode::Update : StoreMode::Replace;
        return Store(archive, mode, args[2], args[3], level);
    }
    if (operation == "-removeMissing" && args.size() == 3)
        return RemoveMissing(archive, args[2]);
    if (operation == "-compact" && args.size() == 2)
        return Compact(archive);
    if (operation == "-list" && args.size() == 2)
        return List(archive);
    if (operation == "-extract" && args.size() == 3)
        return Extract(archive, args[2]);
    Usage();
    return kFailure;
}

} // namespace

int main(int argc, char** argv)
{
    return mw::tools::CompilerMain(argc, argv, Compile);
}
