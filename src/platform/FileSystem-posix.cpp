// POSIX implementation of the file-system boundary.
#include "FileSystem.h"

#include "FolderNameCache.h"
#include "PathRules.h"
#include "SpareFiles-posix.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <system_error>
#include <thread>
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

// utimensat/futimens arguments that set the last-write time and leave the access time.
void WriteTimes(FileTime time, struct timespec times[2])
{
    int64_t seconds = 0;
    int64_t nanoseconds = 0;
    FileTimeToUnix(time, seconds, nanoseconds);
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time_t(seconds);
    times[1].tv_nsec = long(nanoseconds);
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

} // namespace

// Resolves the path and stats it; for a path that exists as written this is
// one system call.
static bool ResolveAndStat(const std::string& path, std::string& native, struct stat& info)
{
    native = ToForwardSlashes(path);
    if (!native.empty() && ::stat(native.c_str(), &info) == 0)
        return true;
    native = ResolvePath(path);
    return StatPath(native, info);
}

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

bool GetFileInfo(const std::string& path, FileInfo& info)
{
    std::string native;
    struct stat status;
    if (!ResolveAndStat(path, native, status))
        return false;
    info.lastWrite = FileTimeFromUnix(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
    info.size = uint64_t(status.st_size);
    info.isFolder = S_ISDIR(status.st_mode);
    return true;
}

bool PathExists(const std::string& path)
{
    std::string native;
    struct stat info;
    return ResolveAndStat(path, native, info);
}

bool IsFolder(const std::string& path)
{
    std::string native;
    struct stat info;
    return ResolveAndStat(path, native, info) && S_ISDIR(info.st_mode);
}

bool IsFile(const std::string& path)
{
    std::string native;
    struct stat info;
    return ResolveAndStat(path, native, info) && S_ISREG(info.st_mode);
}

bool GetFileSize(const std::string& path, uint64_t& size)
{
    std::string native;
    struct stat info;
    if (!ResolveAndStat(path, native, info))
        return false;
    size = uint64_t(info.st_size);
    return true;
}

bool GetLastWriteTime(const std::string& path, FileTime& time)
{
    std::string native;
    struct stat info;
    if (!ResolveAndStat(path, native, info))
        return false;
    time = FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    return true;
}

bool SetLastWriteTime(const std::string& path, FileTime time)
{
    struct timespec times[2];
    WriteTimes(time, times);
    return ::utimensat(AT_FDCWD, ResolvePath(path).c_str(), times, 0) == 0;
}

bool GetReadOnly(const std::string& path, bool& readOnly)
{
    std::string native;
    struct stat info;
    if (!ResolveAndStat(path, native, info))
        return false;
    readOnly = (info.st_mode & S_IWUSR) == 0;
    return true;
}

bool SetReadOnly(const std::string& path, bool readOnly)
{
    std::string native;
    struct stat info;
    if (!ResolveAndStat(path, native, info))
        return false;
    mode_t mode = info.st_mode & 07777;
    mode = readOnly ? (mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
    if (mode == (info.st_mode & 07777))
        return true;
    return ::chmod(native.c_str(), mode) == 0;
}

bool MakeWritable(const std::string& path) { return SetReadOnly(path, false); }

bool CanCreateFileIn(const std::string& folder)
{
    return ::access(ResolvePath(folder).c_str(), W_OK | X_OK) == 0 && IsFolder(folder);
}

// Reads a whole file; its last-write time comes from the same open file.
static bool ReadWholeFileAndTime(const std::string& path, std::string& bytes, FileTime* time)
{
    bytes.clear();
    std::string native = ToForwardSlashes(path);
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        fd = ::open(ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
    {
        ::close(fd);
        errno = EISDIR;
        return false;
    }
    if (time)
        *time = FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    // The file is read at the size fstat gives; a file that grew meanwhile is
    // read on through a small buffer, so the common case neither zero-fills
    // nor keeps spare capacity beyond the file's size.
    bytes.resize(size_t(info.st_size));
    size_t done = 0;
    char tail[4096];
    for (;;)
    {
        bool intoTail = done == bytes.size();
        ssize_t n = intoTail ? ::read(fd, tail, sizeof tail) : ::read(fd, bytes.data() + done, bytes.size() - done);
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
        if (intoTail)
            bytes.append(tail, size_t(n));
        done += size_t(n);
    }
    bytes.resize(done);
    ::close(fd);
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) { return ReadWholeFileAndTime(path, bytes, nullptr); }

bool ReadFileRange(const std::string& path, uint64_t offset, size_t length, std::string& bytes)
{
    bytes.clear();
    int fd = ::open(ToForwardSlashes(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        fd = ::open(ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bytes.resize(length);
    size_t done = 0;
    while (done < length)
    {
        ssize_t n = ::pread(fd, bytes.data() + done, length - done, off_t(offset + done));
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

bool ReadWholeFile(const std::string& path, std::string& bytes, FileTime& lastWrite)
{
    return ReadWholeFileAndTime(path, bytes, &lastWrite);
}

namespace {

// Writes the pieces in order, as few calls as the system allows.
bool WritePieces(int fd, const std::vector<std::string_view>& pieces)
{
    std::vector<iovec> vectors;
    vectors.reserve(pieces.size());
    size_t total = 0;
    for (std::string_view piece : pieces)
        if (!piece.empty())
        {
            vectors.push_back(iovec{const_cast<char*>(piece.data()), piece.size()});
            total += piece.size();
        }
#ifdef __linux__
    // Reserving a large file's blocks at once is cheaper than one page at a
    // time as the writes arrive; where the file system cannot, it is skipped.
    if (total >= (size_t(1) << 20))
        (void)::fallocate(fd, 0, 0, off_t(total));
#endif
    size_t at = 0;
    while (at < vectors.size())
    {
        int count = int(std::min<size_t>(vectors.size() - at, IOV_MAX));
        ssize_t n = ::writev(fd, vectors.data() + at, count);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        // A short write leaves part of a piece: the rest is written next.
        size_t left = size_t(n);
        while (at < vectors.size() && left >= vectors[at].iov_len)
            left -= vectors[at++].iov_len;
        if (left > 0)
        {
            vectors[at].iov_base = static_cast<char*>(vectors[at].iov_base) + left;
            vectors[at].iov_len -= left;
        }
    }
    return true;
}

// A replaced file this large is let go of on a thread of its own: the file
// system frees its blocks when its last descriptor closes, and where it
// discards freed blocks at once (the discard mount option) that takes
// several milliseconds for every ten megabytes, which nobody need wait for.
constexpr off_t kFreeLaterSize = off_t(4) << 20;

void CloseLater(int fd)
{
    try
    {
        std::thread([fd] { ::close(fd); }).detach();
    }
    catch (const std::system_error&)
    {
        ::close(fd);
    }
}

// How a finished temporary file takes the old file's place.
enum class Replace
{
    // A plain rename over the old file.
    Rename,
    // The two swap places and the old file is then removed. Renaming over
    // the old file instead makes the file system write the new one's blocks
    // out at once (its guard against losing both versions on a power cut),
    // which for a large file costs more than writing it did.
    Exchange,
    // As Exchange, but the old file is kept as the file's spare, and a
    // spare nobody reads is rewritten in place of a new temporary file.
    ExchangeKeepingSpare,
};

// A rename that swaps the two names, or (exchange false) one that never
// replaces what is already at to; false with ENOSYS where the system has neither.
bool RenamedSpecially(const std::string& from, const std::string& to, bool exchange)
{
#if defined(RENAME_EXCHANGE) && defined(RENAME_NOREPLACE)
    unsigned flags = exchange ? RENAME_EXCHANGE : RENAME_NOREPLACE;
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags) == 0;
#else
    (void)from;
    (void)to;
    (void)exchange;
    errno = ENOSYS;
    return false;
#endif
}

bool Exchanged(const std::string& from, const std::string& to) { return RenamedSpecially(from, to, true); }

bool RenamedToFreeName(const std::string& from, const std::string& to) { return RenamedSpecially(from, to, false); }

// True when name still names the file open as fd.
bool NamesFile(const std::string& name, int fd)
{
    struct stat named;
    struct stat open;
    return ::lstat(name.c_str(), &named) == 0 && ::fstat(fd, &open) == 0 && named.st_dev == open.st_dev &&
           named.st_ino == open.st_ino;
}

size_t TotalSize(const std::vector<std::string_view>& pieces)
{
    size_t total = 0;
    for (std::string_view piece : pieces)
        total += piece.size();
    return total;
}

// Rewrites the file's spare with the pieces and swaps it in: true when the
// file now holds them, the old version becoming the spare. False when there
// is no spare that may be rewritten, or rewriting it failed; the file is
// then as it was and no spare is left.
bool RewroteSpare(const std::string& native, const std::string& spare, const struct stat& file,
                  const std::vector<std::string_view>& pieces)
{
    int fd = OpenReusableSpare(spare, file);
    if (fd < 0)
        return false;
    // Cut to the new size: the spare may have been longer.
    bool ok = ::fchmod(fd, file.st_mode & 07777) == 0 && WritePieces(fd, pieces) &&
              ::ftruncate(fd, off_t(TotalSize(pieces))) == 0;
    // Spares are only ever created where no file is, so the name still
    // holds what was written unless it was removed meanwhile.
    bool named = NamesFile(spare, fd);
    ::close(fd);
    if (ok && named && Exchanged(spare, native))
    {
        KeepSpare(spare);
        return true;
    }
    // Its bytes are now neither version.
    if (named)
        ::unlink(spare.c_str());
    return false;
}

bool WriteAtomically(const std::string& path, const std::vector<std::string_view>& pieces, Replace how)
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
    std::string spare = exists && how == Replace::ExchangeKeepingSpare ? SpareFileName(native) : std::string();
    if (!spare.empty() && RewroteSpare(native, spare, info, pieces))
        return true;
    size_t slash = native.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : native.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
    std::string temp = folder + AtomicTempPrefix(name) + "XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    mode_t mode = exists ? (info.st_mode & 07777) : (0666 & ~ProcessUmask());
    bool ok = ::fchmod(fd, mode) == 0 && WritePieces(fd, pieces);
    int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && exists && how != Replace::Rename)
    {
        // Held open, the old file outlives its name until the descriptor closes.
        int oldFd = info.st_size >= kFreeLaterSize
                        ? ::open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
                        : -1;
        if (Exchanged(temp, native))
        {
            // The temporary name now holds the old file. It becomes the spare
            // where there is none; one in use by a reader, or by a save of
            // another process, is left to it.
            if (!spare.empty() && RenamedToFreeName(temp, spare))
                KeepSpare(spare);
            else
                ::unlink(temp.c_str());
            if (oldFd >= 0)
                CloseLater(oldFd);
            return true;
        }
        if (oldFd >= 0)
            ::close(oldFd);
    }
    // A file system without the exchange, or no old file: a plain rename.
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

} // namespace

bool WriteFileAtomic(const std::string& path, std::string_view bytes)
{
    return WriteAtomically(path, {bytes}, Replace::Rename);
}

bool WriteBuiltFileAtomic(const std::string& path, const std::vector<std::string_view>& pieces)
{
    return WriteAtomically(path, pieces, Replace::Exchange);
}

bool WriteBuiltFileKeepingSpare(const std::string& path, const std::vector<std::string_view>& pieces)
{
    return WriteAtomically(path, pieces, Replace::ExchangeKeepingSpare);
}

void RemoveSpareFiles() { RemoveKeptSpares(); }

// True when native names a writable regular file of one name that holds
// exactly bytes; its last-write time is then renewed. A link is not followed.
static bool RenewIfUnchanged(const std::string& native, std::string_view bytes)
{
    int fd = ::open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    bool same = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
                (info.st_mode & S_IWUSR) != 0 && uint64_t(info.st_size) == bytes.size();
    char buffer[16384];
    size_t at = 0;
    while (same && at < bytes.size())
    {
        ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, bytes.size() - at));
        if (n < 0 && errno == EINTR)
            continue;
        same = n > 0 && std::memcmp(buffer, bytes.data() + at, size_t(n)) == 0;
        at += size_t(std::max<ssize_t>(n, 0));
    }
    same = same && ::futimens(fd, nullptr) == 0;
    ::close(fd);
    return same;
}

bool WriteBuiltOutput(const std::string& path, std::string_view bytes)
{
    return RenewIfUnchanged(ResolvePath(path), bytes) || WriteBuiltFileAtomic(path, {bytes});
}

bool OverwriteFileWithTime(const std::string& target, std::string_view bytes, FileTime time)
{
    std::string native;
    struct stat info;
    bool exists = ResolveAndStat(target, native, info);
    if (exists && (S_ISDIR(info.st_mode) || (info.st_mode & S_IWUSR) == 0))
    {
        errno = S_ISDIR(info.st_mode) ? EISDIR : EACCES;
        return false;
    }
    // No truncation on open: rewriting a file of the same size frees and
    // allocates no blocks. A shorter copy is cut to size afterwards.
    int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    if (!exists)
        FolderNameCache::Shared().NoteCreated(native);
    bool ok = true;
    for (size_t done = 0; ok && done < bytes.size();)
    {
        ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += ok ? size_t(n) : 0;
    }
    if (ok && exists && uint64_t(info.st_size) > bytes.size())
        ok = ::ftruncate(fd, off_t(bytes.size())) == 0;
    // A failed copy gets the oldest time there is, so it never passes for up to date.
    struct timespec times[2];
    WriteTimes(ok ? time : FileTimeFromUnix(0, 0), times);
    ok = ::futimens(fd, times) == 0 && ok;
    return ::close(fd) == 0 && ok;
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

bool LinkFile(const std::string& existing, const std::string& link)
{
    std::string nativeLink = ResolvePath(link);
    bool ok = ::link(ResolvePath(existing).c_str(), nativeLink.c_str()) == 0;
    if (ok)
        FolderNameCache::Shared().NoteCreated(nativeLink);
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

// A link is removed as itself and never followed: the files it points at
// lie outside the tree being deleted.
static bool IsSymbolicLink(const std::string& native)
{
    struct stat info;
    return ::lstat(native.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool DeleteFolderTree(const std::string& path)
{
    std::string native = ResolvePath(path);
    if (IsSymbolicLink(native))
    {
        bool removed = ::unlink(native.c_str()) == 0;
        FolderNameCache::Shared().NoteRemoved(native);
        return removed;
    }
    std::vector<FolderEntry> entries;
    if (!ListFolder(path, entries))
        return false;
    bool ok = true;
    for (const FolderEntry& entry : entries)
    {
        std::string child = JoinNative(native, entry.name);
        if (entry.isFolder && !IsSymbolicLink(child))
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

bool ListFolderUnsorted(const std::string& path, std::vector<FolderEntry>& entries)
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
    return true;
}

std::string LastErrorText() { return std::strerror(errno); }

} // namespace mw
