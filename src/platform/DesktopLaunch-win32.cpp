// Windows background starts: a detached process whose handles are let go at
// once, and the shell's "open" for the default viewer.
#include "DesktopLaunch.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "KnownFolders.h"
#include "ProcessRunner.h"
#include "WideText-win32.h"

#include <windows.h>
#include <shellapi.h>

namespace mw {

bool StartDetached(const std::string& commandLine, const std::string& ownFolder)
{
    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.empty())
        return false;
    std::string program = ProcessRunner(ownFolder).FindProgram(arguments[0], CurrentFolder());
    if (program.empty())
        return false;
    std::wstring wideCommand = ToWide(commandLine);
    std::wstring wideProgram = NativePath(program);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(wideProgram.c_str(), wideCommand.data(), nullptr, nullptr, FALSE,
                          DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process))
    {
        NoteLastError();
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

bool OpenWithDefaultViewer(const std::string& path)
{
    HINSTANCE result = ::ShellExecuteW(nullptr, L"open", NativePath(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace mw
