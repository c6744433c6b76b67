// POSIX TCP connections with wait limits: a non-blocking connect watched by
// poll, then blocking sends and receives with socket time-outs.
#include "TcpStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace mw {
namespace {

bool ConnectWithin(int fd, const addrinfo& address, int seconds, std::string& problem)
{
    int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int result = ::connect(fd, address.ai_addr, address.ai_addrlen);
    if (result != 0 && errno == EINPROGRESS)
    {
        pollfd watch{fd, POLLOUT, 0};
        int ready;
        do
            ready = ::poll(&watch, 1, seconds * 1000);
        while (ready < 0 && errno == EINTR);
        if (ready == 0)
        {
            problem = "no answer within " + std::to_string(seconds) + " s";
            return false;
        }
        int error = 0;
        socklen_t size = sizeof error;
        if (ready < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
            error = errno;
        result = error == 0 ? 0 : -1;
        errno = error;
    }
    if (result != 0)
    {
        problem = std::strerror(errno);
        return false;
    }
    ::fcntl(fd, F_SETFL, flags);
    timeval limit{};
    limit.tv_sec = seconds;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    return true;
}

} // namespace

TcpStream::~TcpStream() { Close(); }

bool TcpStream::Connect(const std::string& host, int port, int waitSeconds)
{
    Close();
    m_waitSeconds = waitSeconds < 1 ? 1 : waitSeconds;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    int lookup = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &results);
    if (lookup != 0)
    {
        m_problem = "cannot resolve " + host + ": " + ::gai_strerror(lookup);
        return false;
    }
    for (addrinfo* it = results; it && m_handle < 0; it = it->ai_next)
    {
        int fd = ::socket(it->ai_family, it->ai_socktype | SOCK_CLOEXEC, it->ai_protocol);
        if (fd < 0)
            continue;
        if (ConnectWithin(fd, *it, m_waitSeconds, m_problem))
            m_handle = fd;
        else
            ::close(fd);
    }
    ::freeaddrinfo(results);
    return m_handle >= 0;
}

bool TcpStream::SendAll(std::string_view bytes)
{
    while (!bytes.empty() && m_handle >= 0)
    {
        ssize_t sent = ::send(int(m_handle), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
        {
            m_problem = (errno == EAGAIN || errno == EWOULDBLOCK)
                            ? "no progress within " + std::to_string(m_waitSeconds) + " s"
                            : std::string(std::strerror(errno));
            return false;
        }
        bytes.remove_prefix(size_t(sent));
    }
    return bytes.empty();
}

long TcpStream::Receive(char* buffer, size_t capacity)
{
    if (m_handle < 0)
        return -1;
    for (;;)
    {
        ssize_t received = ::recv(int(m_handle), buffer, capacity, 0);
        if (received >= 0)
            return long(received);
        if (errno == EINTR)
            continue;
        m_problem = (errno == EAGAIN || errno == EWOULDBLOCK)
                        ? "no answer within " + std::to_string(m_waitSeconds) + " s"
                        : std::string(std::strerror(errno));
        return -1;
    }
}

void TcpStream::Close()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
    m_handle = -1;
}

} // namespace mw
