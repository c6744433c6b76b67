// Environment variables on Windows: the C runtime's copy and the process's
// own block, which CreateProcess hands to the programs it starts.
#include "Environment.h"

#include "WideText-win32.h"

#include <windows.h>

#include <cstdlib>

namespace mw {

std::optional<std::string> TakeEnvironmentVariable(const std::string& name)
{
    std::wstring wideName = ToWide(name);
    DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0)
        return std::nullopt;
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    value.resize(length);
    SetEnvironmentVariableW(wideName.c_str(), nullptr);
    // "NAME=" removes the variable from the C runtime's copy.
    _putenv((name + "=").c_str());
    return FromWide(value);
}

} // namespace mw
