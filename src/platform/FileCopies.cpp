// The file operations built on the system's own, the same on every system:
// text saves with CR LF line ends, copies that keep the source's last-write
// time, and the folders along a path.
#include "FileSystem.h"
#include "PathRules.h"

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

} // namespace mw
