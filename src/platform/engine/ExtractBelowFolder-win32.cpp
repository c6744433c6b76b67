// Windows extraction below a folder: each folder on the way is checked not
// to be a link (a reparse point: symbolic link or junction) before anything
// is created in it, and the file is written through a temporary file that
// is moved over the target.
#include "ExtractBelowFolder.h"

#include "../FileSystem.h"
#include "../PathRules.h"
#include "../WideText-win32.h"

#include <windows.h>

namespace GAME {
namespace {

DWORD AttributesOf(const std::string& path) { return ::GetFileAttributesW(mw::NativePath(path).c_str()); }

bool IsLinkOrFile(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool WriteFileBelowFolder(const std::string& folder, const std::string& relativeName, std::string_view bytes,
                          uint64_t lastWrite, std::string& error)
{
    std::vector<std::string> parts = mw::SplitText(relativeName, '/');
    for (const std::string& part : parts)
    {
        if (part.empty() || part == "." || part == ".." || part.find_first_of(":\\") != std::string::npos)
        {
            error = "unsafe entry name";
            return false;
        }
    }
    std::string current = mw::WithTrailingSeparator(folder);
    if (!mw::IsFolder(current))
    {
        error = "cannot open destination folder: " + mw::LastErrorText();
        return false;
    }
    for (size_t i = 0; i + 1 < parts.size(); ++i)
    {
        const std::string& name = parts[i];
        std::string next = current + name;
        DWORD attributes = AttributesOf(next);
        if (attributes == INVALID_FILE_ATTRIBUTES)
        {
            if (!::CreateDirectoryW(mw::NativePath(next).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            {
                mw::NoteLastError();
                error = "cannot create folder '" + name + "': " + mw::LastErrorText();
                return false;
            }
            attributes = AttributesOf(next);
        }
        if (attributes == INVALID_FILE_ATTRIBUTES || IsLinkOrFile(attributes))
        {
            error = "'" + name + "' is a link or a file, not a folder";
            return false;
        }
        current = next + "\\";
    }
    const std::string& fileName = parts.back();
    std::string target = current + fileName;
    DWORD existing = AttributesOf(target);
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)))
    {
        error = "'" + fileName + "' exists and is not a plain file";
        return false;
    }
    std::string tempName;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt)
    {
        tempName = current + mw::AtomicTempPrefix(fileName) + std::to_string(::GetCurrentProcessId()) + "." +
                   std::to_string(attempt);
        file = ::CreateFileW(mw::NativePath(tempName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (file == INVALID_HANDLE_VALUE)
    {
        mw::NoteLastError();
        error = "cannot create '" + fileName + "': " + mw::LastErrorText();
        return false;
    }
    bool ok = true;
    for (size_t done = 0; ok && done < bytes.size();)
    {
        DWORD step = DWORD(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        ok = ::WriteFile(file, bytes.data() + done, step, &written, nullptr) && written > 0;
        done += written;
    }
    FILETIME time;
    time.dwLowDateTime = uint32_t(lastWrite);
    time.dwHighDateTime = uint32_t(lastWrite >> 32);
    ok = ok && ::SetFileTime(file, nullptr, &time, &time);
    if (!ok)
        mw::NoteLastError();
    ::CloseHandle(file);
    std::wstring nativeTemp = mw::NativePath(tempName);
    if (ok && existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesW(mw::NativePath(target).c_str(), existing & ~DWORD(FILE_ATTRIBUTE_READONLY));
    if (ok && ::MoveFileExW(nativeTemp.c_str(), mw::NativePath(target).c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    if (ok)
        mw::NoteLastError();
    std::string reason = mw::LastErrorText();
    ::DeleteFileW(nativeTemp.c_str());
    error = "cannot write '" + fileName + "': " + reason;
    return false;
}

} // namespace GAME
