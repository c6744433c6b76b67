// Windows process runner: CreateProcess with two pipes, polled with
// PeekNamedPipe while waiting on the process at most 10 ms at a time.
#include "ProcessRunner.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "KnownFolders.h"
#include "PathRules.h"
#include "WideText-win32.h"

#include <cstdlib>
#include <mutex>
#include <vector>
#include <windows.h>

namespace mw {
namespace {

// Only one child at a time is created while handles are marked inheritable,
// so a child started on another thread never holds this one's pipe ends open.
std::mutex g_inheritMutex;

bool IsProgramFile(const std::string& path) { return IsFile(path); }

// The candidate itself; "X.exe" naming a program X when X.exe is missing; or
// a name without extension naming X.exe, as the system's own start does.
// The program is named with its spelling on disk, as on Linux.
std::string ExistingProgram(const std::string& candidate)
{
    if (IsProgramFile(candidate))
        return ResolvePath(candidate);
    bool hasExe = candidate.size() > 4 && EqualsNoCase(candidate.substr(candidate.size() - 4), ".exe");
    if (hasExe)
    {
        std::string bare = candidate.substr(0, candidate.size() - 4);
        if (IsProgramFile(bare))
            return ResolvePath(bare);
    }
    else if (Extension(ShortName(candidate)).empty() && IsProgramFile(candidate + ".exe"))
        return ResolvePath(candidate + ".exe");
    return std::string();
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return IsSeparator(folder.back()) ? folder + name : folder + "/" + name;
}

bool IsAbsolute(const std::string& name)
{
    return IsSeparator(name[0]) || (name.size() > 2 && name[1] == ':' && IsSeparator(name[2]));
}

class PipeEnd
{
public:
    PipeEnd() = default;
    ~PipeEnd() { Close(); }
    PipeEnd(const PipeEnd&) = delete;
    PipeEnd& operator=(const PipeEnd&) = delete;
    HANDLE& Ref() { return m_handle; }
    HANDLE Get() const { return m_handle; }
    void Close()
    {
        if (m_handle)
            ::CloseHandle(m_handle);
        m_handle = nullptr;
    }

private:
    HANDLE m_handle = nullptr;
};

// Reads one chunk; the count read, 0 at the end of the pipe, -1 when nothing is waiting.
long ReadChunk(HANDLE pipe, char* buffer)
{
    DWORD available = 0;
    if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
        return 0;
    if (available == 0)
        return -1;
    DWORD got = 0;
    if (!::ReadFile(pipe, buffer, DWORD(ProcessRunner::kChunkSize), &got, nullptr))
        return 0;
    return long(got);
}

} // namespace

std::string ProcessRunner::FindProgram(const std::string& name, const std::string& runFolder) const
{
    if (name.empty())
        return std::string();
    std::string currentFolder = runFolder.empty() ? CurrentFolder() : runFolder;
    if (name.find_first_of("\\/") != std::string::npos || (name.size() > 1 && name[1] == ':'))
    {
        std::string found = ExistingProgram(IsAbsolute(name) ? name : Join(currentFolder, name));
        if (found.empty() && !m_fallbackFolder.empty())
            found = ExistingProgram(Join(m_fallbackFolder, ShortName(name)));
        return found;
    }
    // The system's own process start searches the current folder too.
    std::vector<std::string> folders = {currentFolder};
    if (!m_ownFolder.empty())
        folders.push_back(m_ownFolder);
    if (const char* path = std::getenv("PATH"))
        for (const std::string& folder : SplitText(path, ';'))
            if (!folder.empty())
                folders.push_back(folder);
    for (const std::string& folder : folders)
    {
        std::string found = ExistingProgram(Join(folder, name));
        if (!found.empty())
            return found;
    }
    return std::string();
}

bool ProcessRunner::Run(const std::string& commandLine, const char* folder, IProcessOutput& output,
                        ProcessOutcome& outcome) const
{
    outcome = ProcessOutcome();
    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.empty())
        return false;
    std::string program = FindProgram(arguments[0], folder ? std::string(folder) : std::string());
    if (program.empty())
        return false;

    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    PipeEnd outRead, outWrite, errRead, errWrite, input;
    if (!::CreatePipe(&outRead.Ref(), &outWrite.Ref(), nullptr, 0) ||
        !::CreatePipe(&errRead.Ref(), &errWrite.Ref(), nullptr, 0))
        return false;
    input.Ref() = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                                nullptr);
    if (input.Get() == INVALID_HANDLE_VALUE)
        input.Ref() = nullptr;

    // The command line goes to the program as written: it splits it itself.
    std::wstring wideCommand = ToWide(commandLine);
    std::wstring wideProgram = NativePath(program);
    std::wstring wideFolder = folder ? NativePath(folder) : std::wstring();
    PROCESS_INFORMATION process{};
    BOOL created = FALSE;
    {
        std::lock_guard<std::mutex> lock(g_inheritMutex);
        ::SetHandleInformation(outWrite.Get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        ::SetHandleInformation(errWrite.Get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input.Get();
        startup.hStdOutput = outWrite.Get();
        startup.hStdError = errWrite.Get();
        created = ::CreateProcessW(wideProgram.c_str(), wideCommand.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                   nullptr, folder ? wideFolder.c_str() : nullptr, &startup, &process);
        outWrite.Close();
        errWrite.Close();
        input.Close();
    }
    if (!created)
    {
        NoteLastError();
        return false;
    }
    ::CloseHandle(process.hThread);

    char buffer[kChunkSize];
    bool outOpen = true;
    bool errOpen = true;
    bool ended = false;
    for (;;)
    {
        long n = outOpen ? ReadChunk(outRead.Get(), buffer) : -1;
        if (n > 0)
        {
            output.OnOutput(std::string(buffer, size_t(n)), false);
            continue;
        }
        if (n == 0)
            outOpen = false;
        n = errOpen ? ReadChunk(errRead.Get(), buffer) : -1;
        if (n > 0)
        {
            output.OnOutput(std::string(buffer, size_t(n)), true);
            continue;
        }
        if (n == 0)
            errOpen = false;
        // Both pipes are empty: only now is the end of the program noticed.
        if (ended)
            break;
        if (!outOpen && !errOpen)
        {
            ::WaitForSingleObject(process.hProcess, INFINITE);
            break;
        }
        if (::WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0)
        {
            ended = true; // read once more what it wrote just before it ended
            continue;
        }
        if (output.StopRequested())
        {
            ::TerminateProcess(process.hProcess, 1);
            ::WaitForSingleObject(process.hProcess, INFINITE);
            outcome.stopped = true;
            break;
        }
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    outcome.exitCode = exitCode;
    if (outcome.stopped)
    {
        outcome.endedEarly = true;
        return true;
    }
    // An unhandled exception ends a program with its status code (0xC0000005
    // and the like): the counterpart of a signal. exit(-1), which the archive
    // tool uses for its failures, is 0xFFFFFFFF: an exit, not a crash.
    outcome.endedEarly = (exitCode & 0xF0000000u) == 0xC0000000u;
    return true;
}

} // namespace mw
