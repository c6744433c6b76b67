// TestTool: a stand-in external program for tests of the tool runner. It does
// what its arguments say, in order:
//   --out N        write N bytes ('a' to 'z' repeated) to standard output
//   --err TEXT     write TEXT to standard error
//   --say TEXT     write TEXT and a line feed to standard output
//   --args         write each argument after this one on its own line, in brackets
//   --cwd          write the current folder and a line feed
//   --pid          write the process id and a line feed
//   --sleep MS     wait MS milliseconds
//   --crash        end through an abort signal (an unhandled exception on Windows)
//   --exit N       end with exit code N (0 when not given)
//   --quit N       end the program at once with exit code N
// Started as a worker, it does so for each command line it is sent.
#include "common/CompilerMain.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace {

int Act(const std::vector<std::string>& args)
{
    int exitCode = 0;
    const size_t argc = args.size();
    for (size_t i = 0; i < argc; ++i)
    {
        const std::string& option = args[i];
        bool hasValue = i + 1 < argc;
        if (option == "--out" && hasValue)
        {
            long count = std::atol(args[++i].c_str());
            for (long n = 0; n < count; ++n)
                std::fputc('a' + int(n % 26), stdout);
            std::fflush(stdout);
        }
        else if (option == "--err" && hasValue)
        {
            std::fputs(args[++i].c_str(), stderr);
            std::fflush(stderr);
        }
        else if (option == "--say" && hasValue)
        {
            std::printf("%s\n", args[++i].c_str());
            std::fflush(stdout);
        }
        else if (option == "--args")
        {
            for (size_t j = i + 1; j < argc; ++j)
                std::printf("[%s]\n", args[j].c_str());
            std::fflush(stdout);
            break;
        }
        else if (option == "--cwd")
        {
            std::error_code error;
            std::string folder = std::filesystem::current_path(error).generic_string();
            std::printf("%s\n", error ? "?" : folder.c_str());
            std::fflush(stdout);
        }
        else if (option == "--pid")
        {
            std::printf("%ld\n", long(getpid()));
            std::fflush(stdout);
        }
        else if (option == "--sleep" && hasValue)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(args[++i].c_str())));
        else if (option == "--crash")
        {
#ifdef _WIN32
            // An unhandled exception, which is how a program crashes on Windows.
            __builtin_trap();
#else
            std::abort();
#endif
        }
        else if (option == "--quit" && hasValue)
        {
            std::fflush(stdout);
            std::exit(std::atoi(args[++i].c_str()));
        }
        else if (option == "--exit" && hasValue)
            exitCode = std::atoi(args[++i].c_str());
    }
    return exitCode;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Output goes out byte for byte, line feeds without carriage returns, as on Linux.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    return mw::tools::CompilerMain(argc, argv, Act);
}
