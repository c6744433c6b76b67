// The freedesktop trash: "files/" holds the items, "info/<name>.trashinfo"
// holds the original path and the deletion date of each.
#include "Trash.h"

#include "FileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {
namespace {

std::string ParentOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The absolute path of an existing item without following its last
// component (a link is trashed as a link).
bool AbsolutePathOf(const std::string& resolved, std::string& absolute)
{
    std::string trimmed = resolved;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    char buffer[PATH_MAX];
    if (!realpath(ParentOf(trimmed).c_str(), buffer))
        return false;
    std::string parent = buffer;
    absolute = (parent == "/" ? std::string() : parent) + "/" + BaseNameOf(trimmed);
    return true;
}

// Creates a folder that is private to the user when missing.
bool EnsurePrivateFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) == 0)
        return true;
    struct stat info;
    return errno == EEXIST && lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool EnsurePrivateFolders(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    std::string parent = ParentOf(path);
    if (parent != path && parent != "/" && parent != "." && !EnsurePrivateFolders(parent))
        return false;
    return EnsurePrivateFolder(path);
}

// The device of a path, or of its nearest existing ancestor.
bool DeviceOf(std::string path, dev_t& device)
{
    struct stat info;
    while (stat(path.c_str(), &info) != 0)
    {
        std::string parent = ParentOf(path);
        if (parent == path)
            return false;
        path = parent;
    }
    device = info.st_dev;
    return true;
}

// The top folder of the mounted file system that holds the item.
std::string TopFolderOf(const std::string& absolute, dev_t device)
{
    std::string top = ParentOf(absolute);
    while (top != "/")
    {
        std::string parent = ParentOf(top);
        struct stat info;
        if (stat(parent.c_str(), &info) != 0 || info.st_dev != device)
            break;
        top = parent;
    }
    return top;
}

// A file system's own trash: "$top/.Trash/$uid" when "$top/.Trash" is a real
// folder with the sticky bit (an administrator's shared trash), else
// "$top/.Trash-$uid", which must be the user's own folder and no link.
bool TopTrashFolder(const std::string& top, std::string& trash)
{
    std::string base = top == "/" ? std::string() : top;
    std::string uid = std::to_string(getuid());
    struct stat info;
    std::string shared = base + "/.Trash";
    if (lstat(shared.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX))
    {
        std::string mine = shared + "/" + uid;
        if (EnsurePrivateFolder(mine) && lstat(mine.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
            info.st_uid == getuid())
        {
            trash = mine;
            return true;
        }
    }
    std::string own = base + "/.Trash-" + uid;
    if (EnsurePrivateFolder(own) && lstat(own.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == getuid())
    {
        trash = own;
        return true;
    }
    return false;
}

// Percent-encoding of the entry's path: everything but unreserved characters and '/'.
std::string EncodePath(std::string_view path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : path)
    {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
                     c == '-' || c == '_' || c == '.' || c == '~';
        if (plain)
            encoded += char(c);
        else
        {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 15];
        }
    }
    return encoded;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string DecodePath(std::string_view encoded)
{
    std::string decoded;
    for (size_t i = 0; i < encoded.size(); ++i)
    {
        if (encoded[i] == '%' && i + 2 < encoded.size() && HexValue(encoded[i + 1]) >= 0 &&
            HexValue(encoded[i + 2]) >= 0)
        {
            decoded += char(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2]));
            i += 2;
        }
        else
            decoded += encoded[i];
    }
    return decoded;
}

std::string DeletionDate()
{
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// Claims a free name in the trash by creating its entry exclusively; the
// entry is what makes the name taken, so two trashings never share one.
bool ClaimEntry(const std::string& trash, const std::string& name, const std::string& entryText,
                std::string& claimedName)
{
    for (int attempt = 1; attempt < 100000; ++attempt)
    {
        std::string candidate = attempt == 1 ? name : name + "." + std::to_string(attempt);
        std::string infoPath = trash + "/info/" + candidate + ".trashinfo";
        struct stat info;
        if (lstat((trash + "/files/" + candidate).c_str(), &info) == 0)
            continue;
        int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0)
        {
            if (errno == EEXIST)
                continue;
            return false;
        }
        bool written = write(fd, entryText.data(), entryText.size()) == ssize_t(entryText.size());
        written = close(fd) == 0 && written;
        if (!written)
        {
            unlink(infoPath.c_str());
            return false;
        }
        claimedName = candidate;
        return true;
    }
    return false;
}

} // namespace

std::string HomeTrashFolder()
{
    const char* dataHome = getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return std::string(dataHome) + "/Trash";
    const char* home = getenv("HOME");
    return std::string(home ? home : "") + "/.local/share/Trash";
}

TrashOutcome MoveToTrash(const std::string& path)
{
    TrashOutcome outcome;
    std::string absolute;
    struct stat item;
    std::string resolved = ResolvePath(path);
    // "folder/" names the folder itself; for a link, the link and not its target.
    while (resolved.size() > 1 && resolved.back() == '/')
        resolved.pop_back();
    if (lstat(resolved.c_str(), &item) != 0 || !AbsolutePathOf(resolved, absolute))
        return outcome;

    std::string trash = HomeTrashFolder();
    std::string entryPath = absolute;
    dev_t homeDevice;
    if (!DeviceOf(trash, homeDevice) || homeDevice != item.st_dev)
    {
        std::string top = TopFolderOf(absolute, item.st_dev);
        if (!TopTrashFolder(top, trash))
        {
            outcome.result = TrashResult::NoTrash;
            return outcome;
        }
        // A file system's own trash names its items relative to its top.
        entryPath = absolute.substr(top == "/" ? 1 : top.size() + 1);
    }
    if (!EnsurePrivateFolders(trash + "/files") || !EnsurePrivateFolders(trash + "/info"))
    {
        outcome.result = TrashResult::NoTrash;
        return outcome;
    }

    std::string entryText =
        "[Trash Info]\nPath=" + EncodePath(entryPath) + "\nDeletionDate=" + DeletionDate() + "\n";
    std::string name;
    if (!ClaimEntry(trash, BaseNameOf(absolute), entryText, name))
    {
        outcome.result = TrashResult::NoTrash;
        return outcome;
    }
    std::string trashedPath = trash + "/files/" + name;
    std::string infoPath = trash + "/info/" + name + ".trashinfo";
    if (rename(absolute.c_str(), trashedPath.c_str()) != 0)
    {
        // A trash on another file system cannot take the item by a rename.
        bool otherFileSystem = errno == EXDEV;
        unlink(infoPath.c_str());
        outcome.result = otherFileSystem ? TrashResult::NoTrash : TrashResult::Failed;
        return outcome;
    }
    outcome.result = TrashResult::Trashed;
    outcome.trashedPath = trashedPath;
    outcome.infoPath = infoPath;
    return outcome;
}

bool RestoreFromTrash(const std::string& infoPath)
{
    std::string text;
    const std::string kSuffix = ".trashinfo";
    std::string entryName = BaseNameOf(infoPath);
    if (!ReadWholeFile(infoPath, text) || entryName.size() <= kSuffix.size() ||
        entryName.compare(entryName.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        return false;
    std::string original;
    size_t start = 0;
    while (start < text.size())
    {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("Path=", 0) == 0)
            original = DecodePath(std::string_view(line).substr(5));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (original.empty())
        return false;
    std::string trash = ParentOf(ParentOf(infoPath));
    if (original[0] != '/')
    {
        // Relative to the top of the file system whose trash this is.
        std::string top = ParentOf(trash);
        if (BaseNameOf(top) == ".Trash")
            top = ParentOf(top);
        original = (top == "/" ? std::string() : top) + "/" + original;
    }
    std::string trashedPath = trash + "/files/" + entryName.substr(0, entryName.size() - kSuffix.size());
    struct stat info;
    if (lstat(original.c_str(), &info) == 0 || lstat(trashedPath.c_str(), &info) != 0)
        return false;
    if (!EnsureFolders(ParentOf(original)) || rename(trashedPath.c_str(), original.c_str()) != 0)
        return false;
    unlink(infoPath.c_str());
    return true;
}

} // namespace mw
