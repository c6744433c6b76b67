// POSIX process runner: posix_spawn with two pipes, polled every 10 ms.
#include "ProcessRunner.h"

#include "ChildPipes-posix.h"
#include "CommandLine.h"
#include "CompilerWorkers.h"
#include "FileSystem.h"
#include "KnownFolders.h"
#include "PathRules.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace mw {
namespace {

bool IsExecutableFile(const std::string& path)
{
    struct stat info;
    std::string native = ResolvePath(path);
    return ::stat(native.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(native.c_str(), X_OK) == 0;
}

// The candidate itself, or without a trailing ".exe" (any case) when only that exists.
std::string ExistingProgram(const std::string& candidate)
{
    if (IsExecutableFile(candidate))
        return ResolvePath(candidate);
    if (candidate.size() > 4 && EqualsNoCase(candidate.substr(candidate.size() - 4), ".exe"))
    {
        std::string bare = candidate.substr(0, candidate.size() - 4);
        if (IsExecutableFile(bare))
            return ResolvePath(bare);
    }
    return std::string();
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return IsSeparator(folder.back()) ? folder + name : folder + "/" + name;
}

} // namespace

std::string ProcessRunner::FindProgram(const std::string& name, const std::string& runFolder) const
{
    if (name.empty())
        return std::string();
    if (name.find_first_of("\\/") != std::string::npos)
    {
        bool absolute = IsSeparator(name[0]);
        std::string found = ExistingProgram(absolute ? name : Join(runFolder.empty() ? CurrentFolder() : runFolder, name));
        if (found.empty() && !m_fallbackFolder.empty())
            found = ExistingProgram(Join(m_fallbackFolder, ShortName(name)));
        return found;
    }
    std::vector<std::string> folders;
    if (!runFolder.empty())
        folders.push_back(runFolder);
    if (!m_ownFolder.empty())
        folders.push_back(m_ownFolder);
    if (const char* path = std::getenv("PATH"))
        for (const std::string& folder : SplitText(path, ':'))
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
    if (m_workers && m_workers->Serves(program))
    {
        bool handled = false;
        bool ran = m_workers->Run(program, arguments, folder ? std::string(folder) : std::string(), output, outcome,
                                  handled);
        if (handled)
            return ran;
    }

    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(errPipe, O_CLOEXEC) != 0)
    {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    std::string nativeFolder = folder ? ResolvePath(folder) : std::string();
    if (folder)
        posix_spawn_file_actions_addchdir_np(&actions, nativeFolder.c_str());

    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (spawned != 0)
    {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return false;
    }
    ChildPipes pipes(outPipe[0], errPipe[0]);
    int status = 0;
    bool ended = false;
    for (;;)
    {
        if (pipes.ReadOne(output))
            continue;
        // Both pipes are empty: only now is the end of the program noticed.
        if (ended)
            break;
        if (pipes.Closed())
        {
            ::waitpid(pid, &status, 0);
            break;
        }
        if (::waitpid(pid, &status, WNOHANG) == pid)
        {
            // Read once more what it wrote just before it ended.
            ended = true;
            continue;
        }
        if (output.StopRequested())
        {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            outcome.stopped = true;
            break;
        }
        pipes.Wait(10);
    }
    SetOutcomeFromStatus(status, outcome);
    return true;
}

} // namespace mw
