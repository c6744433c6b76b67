// Windows environment variables (through the wide calls, in UTF-8) and the
// local application-data folder.
#include "Environment.h"

#include "WideText-win32.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>

namespace mw {

std::optional<std::string> EnvironmentValue(const std::string& name)
{
    std::wstring wideName = ToWide(name);
    DWORD needed = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (needed == 0)
        return std::nullopt;
    std::wstring value(needed, L'\0');
    DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), needed);
    value.resize(length);
    return FromWide(value);
}

void RemoveFromEnvironment(const std::string& name)
{
    std::wstring wideName = ToWide(name);
    // Both the process block (what started programs inherit) and the C
    // runtime's copy.
    ::SetEnvironmentVariableW(wideName.c_str(), nullptr);
    ::_wputenv_s(wideName.c_str(), L"");
}

std::string UserCacheFolder()
{
    wchar_t* folder = nullptr;
    std::string result;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder)) && folder)
        result = FromWide(folder);
    ::CoTaskMemFree(folder);
    return result;
}

std::optional<std::string> TakeEnvironmentVariable(const std::string& name)
{
    std::optional<std::string> value = EnvironmentValue(name);
    if (value)
        RemoveFromEnvironment(name);
    return value;
}

} // namespace mw
