// POSIX background starts: a double fork, so the started program is adopted
// by init and never becomes a zombie of the tool.
#include "DesktopLaunch.h"

#include "CommandLine.h"
#include "FileSystem.h"
#include "KnownFolders.h"
#include "ProcessRunner.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace mw {
namespace {

bool SpawnDetached(const std::string& program, std::vector<std::string> arguments)
{
    // Everything the children need is prepared before the fork: after it only
    // async-signal-safe calls are made.
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    pid_t child = ::fork();
    if (child < 0)
    {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return false;
    }
    if (child == 0)
    {
        ::setsid();
        int devNull = ::open("/dev/null", O_RDWR);
        if (devNull >= 0)
        {
            ::dup2(devNull, 0);
            ::dup2(devNull, 1);
            ::dup2(devNull, 2);
        }
        pid_t grandChild = ::fork();
        if (grandChild == 0)
        {
            ::execve(program.c_str(), argv.data(), environ);
            // The exec failed: tell the waiting parent through the pipe.
            char failed = 1;
            ssize_t written = ::write(pipeFds[1], &failed, 1);
            (void)written;
            ::_exit(127);
        }
        ::_exit(grandChild < 0 ? 1 : 0);
    }
    ::close(pipeFds[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    // The pipe closes on a successful exec (close-on-exec) and carries a byte
    // when it failed.
    char failed = 0;
    ssize_t got = ::read(pipeFds[0], &failed, 1);
    ::close(pipeFds[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got <= 0;
}

} // namespace

bool StartDetached(const std::string& commandLine, const std::string& ownFolder)
{
    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.empty())
        return false;
    std::string program = ProcessRunner(ownFolder).FindProgram(arguments[0], std::string());
    if (program.empty())
        return false;
    // Arguments that name files keep the tool's mixed separators; the
    // program itself is resolved to its real path.
    return SpawnDetached(program, arguments);
}

bool OpenWithDefaultViewer(const std::string& path)
{
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland))
        return false;
    std::string opener = ProcessRunner(std::string()).FindProgram("xdg-open", std::string());
    if (opener.empty())
        return false;
    return SpawnDetached(opener, {opener, ResolvePath(path)});
}

} // namespace mw
