// Running a program for end-to-end tests on Windows: CreateProcess with the
// output sent to files, as on POSIX, and the arguments quoted so that the
// program's own command-line split gives them back unchanged.
#include "Run.h"

#include "platform/FileSystem.h"
#include "platform/WideText-win32.h"

#include <cwchar>
#include <windows.h>

namespace mw::test {
namespace {

// One argument in the quoting that CommandLineToArgvW and the C runtime undo.
std::string Quote(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument)
    {
        if (c == '\\')
        {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

HANDLE OpenForChild(const std::string& path, bool write)
{
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileW(ToWide(path).c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         &inheritable, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// What a program printed, with the line ends of Windows text output (CR LF)
// read as line feeds, so the tests' expected texts serve both systems.
std::string ReadAll(const std::string& path)
{
    std::string bytes;
    ReadWholeFile(path, bytes);
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n')
            text += bytes[i];
    return text;
}

} // namespace

RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
                     const std::vector<std::string>& extraEnvironment)
{
    RunResult result;
    std::string outPath = folder + "/.run.out";
    std::string errPath = folder + "/.run.err";
    std::string commandLine = Quote(program);
    for (const std::string& argument : arguments)
        commandLine += " " + Quote(argument);

    // The environment block: this process's variables, except those the
    // extra ones replace, then the extra ones.
    auto replaced = [&](const std::wstring& entry) {
        for (const std::string& extra : extraEnvironment)
        {
            std::wstring name = ToWide(extra.substr(0, extra.find('=') + 1));
            if (entry.size() >= name.size() && ::_wcsnicmp(entry.c_str(), name.c_str(), name.size()) == 0)
                return true;
        }
        return false;
    };
    std::wstring environment;
    if (wchar_t* block = ::GetEnvironmentStringsW())
    {
        for (const wchar_t* entry = block; *entry; entry += std::wcslen(entry) + 1)
            if (!replaced(entry))
                environment.append(entry).push_back(L'\0');
        ::FreeEnvironmentStringsW(block);
    }
    for (const std::string& extra : extraEnvironment)
        environment.append(ToWide(extra)).push_back(L'\0');
    environment.push_back(L'\0');

    HANDLE input = OpenForChild("NUL", false);
    HANDLE output = OpenForChild(outPath, true);
    HANDLE error = OpenForChild(errPath, true);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    std::wstring wideCommand = ToWide(commandLine);
    BOOL created = ::CreateProcessW(ToWide(program).c_str(), wideCommand.data(), nullptr, nullptr, TRUE,
                                    CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(),
                                    ToWide(folder).c_str(), &startup, &process);
    ::CloseHandle(input);
    ::CloseHandle(output);
    ::CloseHandle(error);
    if (!created)
        return result;
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    // A crash (an exception's status code) reads as -1, like a signal on POSIX.
    result.exitStatus = (exitCode & 0xF0000000u) == 0xC0000000u ? -1 : int(exitCode);
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    RemoveFile(outPath);
    RemoveFile(errPath);
    return result;
}

} // namespace mw::test
