// Windows implementation of the file-system boundary: the wide-character
// calls, with last-write times and the read-only attribute as the system
// keeps them. The file system ignores case itself, so paths are only
// resolved when a caller asks for the on-disk spelling.
#include "FileSystem.h"

#include "PathRules.h"
#include "WideText-win32.h"

#include <algorithm>
#include <windows.h>

namespace mw {
namespace {

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data)
{
    if (path.empty())
        return false;
    if (::GetFileAttributesExW(NativePath(path).c_str(), GetFileExInfoStandard, &data))
        return true;
    NoteLastError();
    return false;
}

FileTime FromFiletime(const FILETIME& time) { return FileTime::FromParts(time.dwLowDateTime, time.dwHighDateTime); }

FILETIME ToFiletime(FileTime time)
{
    FILETIME result;
    result.dwLowDateTime = time.Low();
    result.dwHighDateTime = time.High();
    return result;
}

class Handle
{
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : m_handle(handle) {}
    ~Handle() { Reset(INVALID_HANDLE_VALUE); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    void Reset(HANDLE handle)
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
        m_handle = handle;
    }
    bool Close()
    {
        bool ok = m_handle == INVALID_HANDLE_VALUE || ::CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return ok;
    }
    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

bool WriteAll(HANDLE file, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size())
    {
        DWORD step = DWORD(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, step, &written, nullptr) || written == 0)
        {
            NoteLastError();
            return false;
        }
        done += written;
    }
    return true;
}

std::string TrimSeparators(std::string path)
{
    while (path.size() > 1 && IsSeparator(path.back()) && path[path.size() - 2] != ':')
        path.pop_back();
    return path;
}

// The on-disk spelling of the last component of an existing path.
bool ActualName(const std::string& path, std::string& actual)
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(NativePath(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(search);
    actual = FromWide(found.cFileName);
    return true;
}

bool IsDriveOrRoot(const std::string& part) { return part.empty() || (part.size() == 2 && part[1] == ':'); }

} // namespace

std::string ResolvePath(const std::string& path)
{
    // Existing components take the spelling on disk, so two spellings of one
    // file resolve to the same text; the rest stays as written.
    std::string native = ToForwardSlashes(path);
    if (native.empty())
        return native;
    bool trailing = native.size() > 1 && native.back() == '/';
    // Doubled separators collapse, except the two in front of a network share.
    std::vector<std::string> parts;
    for (const std::string& part : SplitText(native, '/'))
        if (!part.empty() || parts.empty() || (parts.size() == 1 && parts[0].empty() && native.rfind("//", 0) == 0))
            parts.push_back(part);
    std::string current;
    bool resolving = true;
    for (size_t i = 0; i < parts.size(); ++i)
    {
        const std::string& part = parts[i];
        std::string next = i == 0 ? part : current + "/" + part;
        bool plainName = !part.empty() && part != "." && part != ".." && part.find_first_of("*?") == std::string::npos;
        bool driveOrRoot = i == 0 && IsDriveOrRoot(part);
        std::string actual;
        if (plainName && !driveOrRoot && resolving)
        {
            if (ActualName(next, actual))
                next = i == 0 ? actual : current + "/" + actual;
            else
                resolving = false;
        }
        current = next;
    }
    if (trailing && current.back() != '/')
        current += '/';
    return current;
}

bool GetFileInfo(const std::string& path, FileInfo& info)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Attributes(path, data))
        return false;
    info.lastWrite = FromFiletime(data.ftLastWriteTime);
    info.size = (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return true;
}

bool PathExists(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return Attributes(path, data);
}

bool IsFolder(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return Attributes(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return Attributes(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool GetFileSize(const std::string& path, uint64_t& size)
{
    FileInfo info;
    if (!GetFileInfo(path, info))
        return false;
    size = info.size;
    return true;
}

bool GetLastWriteTime(const std::string& path, FileTime& time)
{
    FileInfo info;
    if (!GetFileInfo(path, info))
        return false;
    time = info.lastWrite;
    return true;
}

bool SetLastWriteTime(const std::string& path, FileTime time)
{
    // Backup semantics let the same call set a folder's time.
    Handle file(::CreateFileW(NativePath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.IsValid())
    {
        NoteLastError();
        return false;
    }
    FILETIME written = ToFiletime(time);
    if (!::SetFileTime(file.Get(), nullptr, nullptr, &written))
    {
        NoteLastError();
        return false;
    }
    return true;
}

bool GetReadOnly(const std::string& path, bool& readOnly)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Attributes(path, data))
        return false;
    readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return true;
}

bool SetReadOnly(const std::string& path, bool readOnly)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Attributes(path, data))
        return false;
    DWORD attributes = data.dwFileAttributes;
    DWORD wanted = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    if (wanted == attributes)
        return true;
    if (wanted == 0)
        wanted = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileAttributesW(NativePath(path).c_str(), wanted))
    {
        NoteLastError();
        return false;
    }
    return true;
}

bool MakeWritable(const std::string& path) { return SetReadOnly(path, false); }

// A folder's read-only attribute does not keep files from being made in it.
bool CanCreateFileIn(const std::string& folder) { return IsFolder(folder); }

namespace {

// Reads from the file's position into bytes, as sized, until the end of the
// file; grow: a file that grew since its size was taken is read to its end.
// bytes ends as long as what was read; on an error it is empty.
bool ReadInto(HANDLE file, std::string& bytes, bool grow)
{
    size_t done = 0;
    for (;;)
    {
        if (done == bytes.size())
        {
            if (!grow)
                break;
            bytes.resize(bytes.size() + 65536);
        }
        DWORD step = DWORD(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(file, bytes.data() + done, step, &got, nullptr))
        {
            NoteLastError();
            bytes.clear();
            return false;
        }
        if (got == 0)
            break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

} // namespace

// Reads a whole file; its last-write time comes from the same open file.
static bool ReadWholeFileAndTime(const std::string& path, std::string& bytes, FileTime* time)
{
    bytes.clear();
    Handle file(::CreateFileW(NativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsValid())
    {
        NoteLastError();
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file.Get(), &info))
    {
        NoteLastError();
        return false;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    {
        NoteError(ERROR_DIRECTORY);
        return false;
    }
    if (time)
        *time = FromFiletime(info.ftLastWriteTime);
    bytes.resize(size_t((uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow));
    return ReadInto(file.Get(), bytes, true);
}

bool ReadWholeFile(const std::string& path, std::string& bytes) { return ReadWholeFileAndTime(path, bytes, nullptr); }

bool ReadFileRange(const std::string& path, uint64_t offset, size_t length, std::string& bytes)
{
    bytes.clear();
    Handle file(::CreateFileW(NativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
    {
        NoteLastError();
        return false;
    }
    LARGE_INTEGER position;
    position.QuadPart = LONGLONG(offset);
    if (!::SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN))
    {
        NoteLastError();
        return false;
    }
    bytes.resize(length);
    return ReadInto(file.Get(), bytes, false);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, FileTime& lastWrite)
{
    return ReadWholeFileAndTime(path, bytes, &lastWrite);
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    bool exists = Attributes(path, data);
    if (exists && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        NoteError(ERROR_DIRECTORY);
        return false;
    }
    if (exists && (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
    {
        NoteError(ERROR_ACCESS_DENIED);
        return false;
    }
    std::string forward = ToForwardSlashes(path);
    size_t slash = forward.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : forward.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? forward : forward.substr(slash + 1);
    std::string temp;
    Handle file;
    for (int attempt = 0; attempt < 100 && !file.IsValid(); ++attempt)
    {
        temp = folder + AtomicTempPrefix(name) + std::to_string(::GetCurrentProcessId()) + "." + std::to_string(attempt);
        file.Reset(::CreateFileW(NativePath(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid() && ::GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (!file.IsValid())
    {
        NoteLastError();
        return false;
    }
    bool ok = WriteAll(file.Get(), bytes);
    if (!file.Close() && ok)
    {
        NoteLastError();
        ok = false;
    }
    std::wstring nativeTemp = NativePath(temp);
    if (ok)
    {
        std::wstring nativeTarget = NativePath(path);
        // ReplaceFile keeps the target's attributes and security; a new file is moved in place.
        if (exists && ::ReplaceFileW(nativeTarget.c_str(), nativeTemp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                     nullptr, nullptr))
            return true;
        if (::MoveFileExW(nativeTemp.c_str(), nativeTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        NoteLastError();
    }
    DWORD saved = ::GetLastError();
    ::DeleteFileW(nativeTemp.c_str());
    NoteError(saved);
    return false;
}

bool WriteBuiltFileAtomic(const std::string& path, const std::vector<std::string_view>& pieces)
{
    // ReplaceFile already moves the new file in without waiting for it.
    std::string bytes;
    size_t size = 0;
    for (std::string_view piece : pieces)
        size += piece.size();
    bytes.reserve(size);
    for (std::string_view piece : pieces)
        bytes.append(piece);
    return WriteFileAtomic(path, bytes);
}

bool WriteBuiltOutput(const std::string& path, std::string_view bytes) { return WriteFileAtomic(path, bytes); }

// Windows has no exchange of two names: every save is a new file.
bool WriteBuiltFileKeepingSpare(const std::string& path, const std::vector<std::string_view>& pieces)
{
    return WriteBuiltFileAtomic(path, pieces);
}

void RemoveSpareFiles() {}

bool OverwriteFileWithTime(const std::string& target, std::string_view bytes, FileTime time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    bool exists = Attributes(target, data);
    if (exists && (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
    {
        NoteError((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? ERROR_DIRECTORY : ERROR_ACCESS_DENIED);
        return false;
    }
    // Opened without truncation: a copy of the same size rewrites the blocks
    // it has; a shorter one is cut to size afterwards.
    Handle file(::CreateFileW(NativePath(target).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
    {
        NoteLastError();
        return false;
    }
    bool ok = WriteAll(file.Get(), bytes);
    if (ok && !::SetEndOfFile(file.Get()))
    {
        NoteLastError();
        ok = false;
    }
    // A failed copy gets the oldest time there is, so it never passes for up to date.
    FILETIME written = ToFiletime(ok ? time : FileTime{});
    if (!::SetFileTime(file.Get(), nullptr, nullptr, &written))
    {
        NoteLastError();
        ok = false;
    }
    return file.Close() && ok;
}

bool RemoveFile(const std::string& path)
{
    if (::DeleteFileW(NativePath(path).c_str()))
        return true;
    NoteLastError();
    return false;
}

bool RenamePath(const std::string& from, const std::string& to)
{
    // Like rename(): an existing file at the target is replaced.
    if (::MoveFileExW(NativePath(from).c_str(), NativePath(to).c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    NoteLastError();
    return false;
}

bool LinkFile(const std::string& existing, const std::string& link)
{
    if (::CreateHardLinkW(NativePath(link).c_str(), NativePath(existing).c_str(), nullptr))
        return true;
    NoteLastError();
    return false;
}

bool CreateFolder(const std::string& path)
{
    if (::CreateDirectoryW(NativePath(TrimSeparators(path)).c_str(), nullptr))
        return true;
    NoteLastError();
    return false;
}

bool RemoveEmptyFolder(const std::string& path)
{
    if (::RemoveDirectoryW(NativePath(TrimSeparators(path)).c_str()))
        return true;
    NoteLastError();
    return false;
}

// A link (a reparse point: symbolic link or junction) is removed as itself
// and never followed: what it points at lies outside the tree being deleted.
static bool IsLink(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesW(NativePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

static bool RemoveLink(const std::string& path)
{
    std::wstring native = NativePath(TrimSeparators(path));
    DWORD attributes = ::GetFileAttributesW(native.c_str());
    bool ok = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ::RemoveDirectoryW(native.c_str()) : ::DeleteFileW(native.c_str());
    if (!ok)
        NoteLastError();
    return ok;
}

bool DeleteFolderTree(const std::string& path)
{
    std::string folder = TrimSeparators(path);
    if (IsLink(folder))
        return RemoveLink(folder);
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries))
        return false;
    bool ok = true;
    for (const FolderEntry& entry : entries)
    {
        std::string child = WithTrailingSeparator(folder) + entry.name;
        if (IsLink(child))
            ok = RemoveLink(child) && ok;
        else if (entry.isFolder)
            ok = DeleteFolderTree(child) && ok;
        else
        {
            MakeWritable(child);
            ok = RemoveFile(child) && ok;
        }
    }
    return RemoveEmptyFolder(folder) && ok;
}

bool ListFolderUnsorted(const std::string& path, std::vector<FolderEntry>& entries)
{
    entries.clear();
    std::string pattern = path.empty() ? std::string("*") : WithTrailingSeparator(path) + "*";
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileExW(NativePath(pattern).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                       nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
    {
        DWORD error = ::GetLastError();
        NoteError(error);
        // An empty folder has no entries at all on some file systems.
        return error == ERROR_FILE_NOT_FOUND && IsFolder(path.empty() ? "." : path);
    }
    do
    {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        entries.push_back(FolderEntry{FromWide(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return true;
}

} // namespace mw
