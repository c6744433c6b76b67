// Wide-string conversion and error bookkeeping of the Windows platform files.
#include "WideText-win32.h"

#include "FileSystem.h"

#include <cerrno>
#include <windows.h>

namespace mw {
namespace {

thread_local DWORD t_lastError = 0;

// Past this length the plain form of a path may hit the MAX_PATH limit.
constexpr size_t kLongPathThreshold = 240;

} // namespace

std::wstring ToWide(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

std::string FromWide(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(size_t(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::wstring NativePath(const std::string& path)
{
    std::wstring wide = ToWide(path);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    if (wide.size() < kLongPathThreshold || wide.rfind(L"\\\\?\\", 0) == 0)
        return wide;
    // The prefixed form is taken literally, so "." and ".." are resolved first.
    DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return wide;
    std::wstring full(needed, L'\0');
    DWORD length = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

void NoteError(unsigned long code)
{
    t_lastError = code;
    switch (code)
    {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        errno = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        errno = EACCES;
        break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        errno = EEXIST;
        break;
    case ERROR_DIR_NOT_EMPTY:
        errno = ENOTEMPTY;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        errno = ENOSPC;
        break;
    case ERROR_WRITE_PROTECT:
        errno = EROFS;
        break;
    case ERROR_DIRECTORY:
        errno = ENOTDIR;
        break;
    default:
        errno = EIO;
        break;
    }
}

void NoteLastError() { NoteError(::GetLastError()); }

std::string LastErrorText()
{
    wchar_t* buffer = nullptr;
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                        FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, t_lastError, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length ? FromWide(std::wstring(buffer, length)) : "error " + std::to_string(t_lastError);
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.' || text.back() == ' '))
        text.pop_back();
    return text;
}

} // namespace mw
