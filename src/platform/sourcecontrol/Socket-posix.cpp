// POSIX sockets for the MAX server exchange.
#include "Socket.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace mw {
namespace {

void SetLimits(int fd, int seconds)
{
    timeval limit{};
    limit.tv_sec = seconds;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}
} // namespace

Socket::~Socket() { Disconnect(); }

bool Socket::Connect(const std::string& host, int port)
{
    Disconnect();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &results) != 0)
        return false;
    for (addrinfo* it = results; it; it = it->ai_next)
    {
        int fd = ::socket(it->ai_family, it->ai_socktype | SOCK_CLOEXEC, it->ai_protocol);
        if (fd < 0)
            continue;
        // On Linux the send limit also bounds the connect itself.
        SetLimits(fd, m_waitSeconds);
        if (::connect(fd, it->ai_addr, it->ai_addrlen) == 0)
        {
            m_fd = fd;
            break;
        }
        ::close(fd);
    }
    ::freeaddrinfo(results);
    return m_fd >= 0;
}

bool Socket::SendAll(const void* bytes, size_t size)
{
    const char* data = static_cast<const char*>(bytes);
    while (size > 0 && m_fd >= 0)
    {
        ssize_t n = ::send(m_fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return size == 0;
}

bool Socket::ReceiveAll(void* bytes, size_t size)
{
    char* data = static_cast<char*>(bytes);
    while (size > 0 && m_fd >= 0)
    {
        ssize_t n = ::recv(m_fd, data, size, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return size == 0;
}

void Socket::ApplyWaitLimit()
{
    if (m_fd >= 0)
        SetLimits(m_fd, m_waitSeconds);
}

void Socket::Disconnect()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace mw
