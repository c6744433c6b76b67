// A compiler's main, and its worker loop: see platform/WorkerProtocol.h.
#include "CompilerMain.h"

#include "ToolOutput.h"

#include "platform/WorkerProtocol.h"

#include <cstdio>
#include <cstring>
#include <iostream>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace mw::tools {

#ifndef _WIN32
namespace {

bool ReadExactly(int fd, char* buffer, size_t size)
{
    while (size > 0)
    {
        ssize_t n = ::read(fd, buffer, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        buffer += n;
        size -= size_t(n);
    }
    return true;
}

bool WriteU32(int fd, uint32_t value)
{
    std::string bytes;
    worker::PutU32(bytes, value);
    for (;;)
    {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        return n == ssize_t(bytes.size());
    }
}

// False at the end of the requests, or on one that is not well formed.
bool ReadRequest(std::string& folder, std::vector<std::string>& args)
{
    char head[4];
    if (!ReadExactly(worker::kRequestFd, head, sizeof head))
        return false;
    uint32_t size = worker::GetU32(head);
    if (size > worker::kMaxRequestBytes)
        return false;
    std::string body(size, '\0');
    return ReadExactly(worker::kRequestFd, body.data(), body.size()) && worker::DecodeRequest(body, folder, args);
}

// True when the tool started this program as a worker: the switch alone, and
// both pipes there.
bool StartedAsWorker(int argc, char** argv)
{
    return argc == 2 && std::strcmp(argv[1], worker::kWorkerSwitch) == 0 &&
           ::fcntl(worker::kRequestFd, F_GETFD) != -1 && ::fcntl(worker::kReplyFd, F_GETFD) != -1;
}

int ServeRequests(CompileFunction compile)
{
    // Neither pipe reaches a program a compile may start.
    ::fcntl(worker::kRequestFd, F_SETFD, FD_CLOEXEC);
    ::fcntl(worker::kReplyFd, F_SETFD, FD_CLOEXEC);
    if (!WriteU32(worker::kReplyFd, worker::kReady))
        return 1;
    std::string folder;
    std::vector<std::string> args;
    while (ReadRequest(folder, args))
    {
        uint32_t reply = worker::kCannotEnterFolder;
        if (folder.empty() || ::chdir(folder.c_str()) == 0)
            reply = uint32_t(compile(args)) & 0xFF;
        FlushDetails();
        // All it wrote reaches the tool's pipes before the reply does.
        std::cout.flush();
        std::cerr.flush();
        std::fflush(stdout);
        std::fflush(stderr);
        if (!WriteU32(worker::kReplyFd, reply))
            return 1;
    }
    return 0;
}

} // namespace
#endif

int CompilerMain(int argc, char** argv, CompileFunction compile)
{
#ifndef _WIN32
    if (StartedAsWorker(argc, argv))
        return ServeRequests(compile);
#endif
    int exitCode = compile(std::vector<std::string>(argv + 1, argv + argc));
    FlushDetails();
    return exitCode;
}

} // namespace mw::tools
