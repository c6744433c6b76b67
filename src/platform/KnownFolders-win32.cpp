// Windows known folders: Documents from the shell, the current folder and
// the program's own folder from the process.
#include "KnownFolders.h"

#include "PathRules.h"
#include "WideText-win32.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace mw {

std::string DocumentsFolder()
{
    wchar_t* folder = nullptr;
    std::string result;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &folder)) && folder)
        result = FromWide(folder);
    ::CoTaskMemFree(folder);
    return result;
}

std::string CurrentFolder()
{
    DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    if (needed == 0)
        return std::string();
    std::wstring folder(needed, L'\0');
    DWORD length = ::GetCurrentDirectoryW(needed, folder.data());
    folder.resize(length);
    return FromWide(folder);
}

std::string ExecutableFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;)
    {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return CurrentFolder();
        if (length < path.size())
        {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return ParentPath(FromWide(path));
}

} // namespace mw
