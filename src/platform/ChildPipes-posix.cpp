// Draining a child's output pipes.
#include "ChildPipes-posix.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mw {
namespace {

// Reads one chunk; the count read, 0 at the end of the pipe, -1 when nothing is waiting.
ssize_t ReadChunk(int fd, char* buffer)
{
    for (;;)
    {
        ssize_t n = ::read(fd, buffer, ProcessRunner::kChunkSize);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        return n;
    }
}

// One chunk from fd to output; true when one came. Closes fd at its end.
bool ReadFrom(int& fd, bool error, IProcessOutput& output)
{
    if (fd < 0)
        return false;
    char buffer[ProcessRunner::kChunkSize];
    ssize_t n = ReadChunk(fd, buffer);
    if (n > 0)
    {
        output.OnOutput(std::string(buffer, size_t(n)), error);
        return true;
    }
    if (n == 0)
    {
        ::close(fd);
        fd = -1;
    }
    return false;
}

} // namespace

ChildPipes::ChildPipes(int outFd, int errFd) : m_out(outFd), m_err(errFd)
{
    ::fcntl(m_out, F_SETFL, O_NONBLOCK);
    ::fcntl(m_err, F_SETFL, O_NONBLOCK);
}

ChildPipes::~ChildPipes()
{
    if (m_out >= 0)
        ::close(m_out);
    if (m_err >= 0)
        ::close(m_err);
}

bool ChildPipes::ReadOne(IProcessOutput& output)
{
    return ReadFrom(m_out, false, output) || ReadFrom(m_err, true, output);
}

void ChildPipes::Wait(int timeoutMs, int extraFd) const
{
    pollfd fds[3] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}, {extraFd, POLLIN, 0}};
    ::poll(fds, extraFd >= 0 ? 3 : 2, timeoutMs);
}

void SetOutcomeFromStatus(int status, ProcessOutcome& outcome)
{
    if (WIFSIGNALED(status))
    {
        outcome.exitCode = 128 + uint32_t(WTERMSIG(status));
        outcome.endedEarly = true;
    }
    else
        outcome.exitCode = uint32_t(WEXITSTATUS(status));
    if (outcome.stopped)
        outcome.endedEarly = true;
}

} // namespace mw
