// POSIX implementation of the file-system boundary.
#include "FileSystem.h"

#include "FolderNameCache.h"
#include "PathRules.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {
namespace {

bool StatPath(const std::string& nativePath, struct stat& info) { return ::stat(nativePath.c_str(), &info) == 0; }

bool ExistsNative(const std::string& nativePath)
{
    struct stat info;
    return ::lstat(nativePath.c_str(), &info) == 0;
}

std::string JoinNative(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

mode_t ProcessUmask()
{
    static const mode_t mask = [] {
        mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return mask;
}

bool WriteAll(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size())
    {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

} // namespace

std::string ResolvePath(const std::string& path)
{
    std::string native = ToForwardSlashes(path);
    if (native.empty() || ExistsNative(native))
        return native;

    bool absolute = native[0] == '/';
    bool trailing = native.size() > 1 && native.back() == '/';
    FolderNameCache& cache = FolderNameCache::Shared();

    // Most missing paths are a new file in an existing folder: only the last
    // component needs looking up.
    std::string trimmed = trailing ? native.substr(0, native.size() - 1) : native;
    size_t lastSlash = trimmed.rfind('/');
    if (lastSlash != std::string::npos && lastSlash > 0 && trimmed.find("//") == std::string::npos)
    {
        std::string folder = trimmed.substr(0, lastSlash);
        std::string leaf = trimmed.substr(lastSlash + 1);
        std::string found;
        if (leaf != "." && leaf != ".." && ExistsNative(folder))
        {
            std::string resolved = cache.Find(folder, leaf, found) ? folder + "/" + found : trimmed;
            return trailing ? resolved + "/" : resolved;
        }
    }

    std::vector<std::string> parts;
    for (const std::string& part : SplitText(native, '/'))
        if (!part.empty())
            parts.push_back(part);

    std::string current = absolute ? "/" : "";
    for (size_t i = 0; i < parts.size(); ++i)
    {
        const std::string& part = parts[i];
        std::string candidate = JoinNative(current, part);
        std::string found;
        if (part == "." || part == ".." || ExistsNative(candidate))
            current = candidate;
        else if (cache.Find(current, part, found))
            current = JoinNative(current, found);
        else
        {
            for (size_t j = i; j < parts.size(); ++j)
                current = JoinNative(current, parts[j]);
            break;
        }
    }
    if (trailing && current.back() != '/')
        current += '/';
    return current;
}

bool PathExists(const std::string& path)
{
    struct stat info;
    return StatPath(ResolvePath(path), info);
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return StatPath(ResolvePath(path), info) && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path)
{
    struct stat info;
    return StatPath(ResolvePath(path), info) && S_ISREG(info.st_mode);
}

bool GetFileSize(const std::string& path, uint64_t& size)
{
    struct stat info;
    if (!StatPath(ResolvePath(path), info))
        return false;
    size = uint64_t(info.st_size);
    return true;
}

bool GetLastWriteTime(const std::string& path, FileTime& time)
{
    struct stat info;
    if (!StatPath(ResolvePath(path), info))
        return false;
    time = FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    return true;
}

bool SetLastWriteTime(const std::string& path, FileTime time)
{
    int64_t seconds = 0;
    int64_t nanoseconds = 0;
    FileTimeToUnix(time, seconds, nanoseconds);
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(seconds);
    times[1].tv_nsec = long(nanoseconds);
    return ::utimensat(AT_FDCWD, ResolvePath(path).c_str(), times, 0) == 0;
}

bool GetReadOnly(const std::string& path, bool& readOnly)
{
    struct stat info;
    if (!StatPath(ResolvePath(path), info))
        return false;
    readOnly = (info.st_mode & S_IWUSR) == 0;
    return true;
}

bool SetReadOnly(const std::string& path, bool readOnly)
{
    std::string native = ResolvePath(path);
    struct stat info;
    if (!StatPath(native, info))
        return false;
    mode_t mode = info.st_mode & 07777;
    mode = readOnly ? (mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    return ::chmod(native.c_str(), mode) == 0;
}

bool MakeWritable(const std::string& path) { return SetReadOnly(path, false); }

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    int fd = ::open(ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
    {
        ::close(fd);
        errno = EISDIR;
        return false;
    }
    bytes.resize(size_t(info.st_size));
    size_t done = 0;
    for (;;)
    {
        if (done == bytes.size())
            bytes.resize(bytes.size() + 65536);
        ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
        {
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0)
            break;
        done += size_t(n);
    }
    bytes.resize(done);
    ::close(fd);
    return true;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes)
{
    std::string native = ResolvePath(path);
    struct stat info;
    bool exists = StatPath(native, info);
    if (exists && S_ISDIR(info.st_mode))
    {
        errno = EISDIR;
        return false;
    }
    if (exists && (info.st_mode & S_IWUSR) == 0)
    {
        errno = EACCES;
        return false;
    }
    size_t slash = native.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
    std::string temp = folder + "." + name + ".mwtmp.XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    mode_t mode = exists ? (info.st_mode & 07777) : (0666 & ~ProcessUmask());
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes);
    int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), native.c_str()) == 0)
    {
        if (!exists)
            FolderNameCache::Shared().NoteCreated(native);
        return true;
    }
    savedErrno = errno ? errno : savedErrno;
    ::unlink(temp.c_str());
    errno = savedErrno;
    return false;
}

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
    if (!ReadWholeFile(source, bytes) || !GetLastWriteTime(source, time))
        return false;
    return WriteFileAtomic(target, bytes) && SetLastWriteTime(target, time);
}

bool RemoveFile(const std::string& path)
{
    std::string native = ResolvePath(path);
    bool ok = ::unlink(native.c_str()) == 0;
    FolderNameCache::Shared().NoteRemoved(native);
    return ok;
}

bool RenamePath(const std::string& from, const std::string& to)
{
    std::string nativeFrom = ResolvePath(from);
    std::string nativeTo = ResolvePath(to);
    bool ok = ::rename(nativeFrom.c_str(), nativeTo.c_str()) == 0;
    FolderNameCache::Shared().NoteRemoved(nativeFrom);
    FolderNameCache::Shared().NoteRemoved(nativeTo);
    return ok;
}

bool CreateFolder(const std::string& path)
{
    std::string native = ResolvePath(path);
    bool ok = ::mkdir(native.c_str(), 0777) == 0;
    if (ok)
        FolderNameCache::Shared().NoteCreated(native);
    return ok;
}

bool RemoveEmptyFolder(const std::string& path)
{
    std::string native = ResolvePath(path);
    bool ok = ::rmdir(native.c_str()) == 0;
    FolderNameCache::Shared().NoteRemoved(native);
    return ok;
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

bool DeleteFolderTree(const std::string& path)
{
    std::vector<FolderEntry> entries;
    if (!ListFolder(path, entries))
        return false;
    std::string native = ResolvePath(path);
    bool ok = true;
    for (const FolderEntry& entry : entries)
    {
        std::string child = JoinNative(native, entry.name);
        if (entry.isFolder)
            ok = DeleteFolderTree(child) && ok;
        else
        {
            MakeWritable(child);
            ok = ::unlink(child.c_str()) == 0 && ok;
        }
    }
    FolderNameCache::Shared().NoteRemoved(native + "/.");
    ok = ::rmdir(native.c_str()) == 0 && ok;
    FolderNameCache::Shared().NoteRemoved(native);
    return ok;
}

bool ListFolder(const std::string& path, std::vector<FolderEntry>& entries)
{
    entries.clear();
    std::string native = ResolvePath(path);
    DIR* dir = ::opendir(native.empty() ? "." : native.c_str());
    if (!dir)
        return false;
    while (dirent* entry = ::readdir(dir))
    {
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        bool folder = false;
        if (entry->d_type == DT_DIR)
            folder = true;
        else if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK)
        {
            struct stat info;
            folder = StatPath(JoinNative(native, name), info) && S_ISDIR(info.st_mode);
        }
        entries.push_back(FolderEntry{name, folder});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return LessNoCase(a.name, b.name); });
    return true;
}

std::string LastErrorText() { return std::strerror(errno); }

} // namespace mw
