// Running a program for end-to-end tests on POSIX: posix_spawn with the
// output sent to files, read back when the program has ended.
#include "Run.h"

#include "platform/FileSystem.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mw::test {
namespace {

std::string ReadAll(const std::string& path)
{
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

} // namespace

RunResult RunProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
              const std::vector<std::string>& extraEnvironment)
{
    RunResult result;
    std::string outPath = folder + "/.run.out";
    std::string errPath = folder + "/.run.err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());

    std::vector<std::string> argumentCopies = arguments;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (std::string& argument : argumentCopies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    // An extra "NAME=value" replaces the variable, a bare "NAME" removes it.
    std::vector<std::string> environmentCopies;
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** entry = environ; *entry; ++entry)
    {
        bool replaced = false;
        for (const std::string& extra : extraEnvironment)
            replaced = replaced || nameOf(extra) == nameOf(*entry);
        if (!replaced)
            environmentCopies.push_back(*entry);
    }
    for (const std::string& extra : extraEnvironment)
        if (extra.find('=') != std::string::npos)
            environmentCopies.push_back(extra);
    std::vector<char*> envp;
    for (std::string& entry : environmentCopies)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_t pid = 0;
    int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return result;
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    RemoveFile(outPath);
    RemoveFile(errPath);
    return result;
}

} // namespace mw::test
