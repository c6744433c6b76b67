// POSIX sockets for the MAX server exchange.
#include "Socket.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace mw {
namespace {
// A received string or data block larger than this is refused as corrupt.
constexpr uint32_t kMaxMessageBytes = 256u * 1024u * 1024u;
// Received blocks grow by at most this much before the bytes are there.
constexpr uint32_t kReceiveStepBytes = 1024u * 1024u;

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

bool Socket::SendInt(int32_t value)
{
    uint32_t word = uint32_t(value);
    unsigned char bytes[4] = {uint8_t(word), uint8_t(word >> 8), uint8_t(word >> 16), uint8_t(word >> 24)};
    return SendAll(bytes, 4);
}

bool Socket::SendData(const void* bytes, uint32_t size) { return SendInt(int32_t(size)) && SendAll(bytes, size); }

bool Socket::SendString(const std::string& text) { return SendData(text.data(), uint32_t(text.size())); }

bool Socket::ReceiveInt(int32_t& value)
{
    unsigned char bytes[4];
    if (!ReceiveAll(bytes, 4))
        return false;
    value = int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24);
    return true;
}

bool Socket::ReceiveData(std::string& bytes) { return ReceiveData(bytes, kMaxMessageBytes); }

bool Socket::ReceiveString(std::string& text) { return ReceiveData(text); }

bool Socket::ReceiveData(std::string& bytes, uint32_t maxBytes)
{
    int32_t size = 0;
    if (!ReceiveInt(size) || uint32_t(size) > maxBytes || uint32_t(size) > kMaxMessageBytes)
        return false;
    bytes.clear();
    while (bytes.size() < uint32_t(size))
    {
        size_t done = bytes.size();
        size_t step = std::min<size_t>(uint32_t(size) - done, kReceiveStepBytes);
        bytes.resize(done + step);
        if (!ReceiveAll(bytes.data() + done, step))
        {
            bytes.clear();
            return false;
        }
    }
    return true;
}

bool Socket::ReceiveString(std::string& text, uint32_t maxBytes) { return ReceiveData(text, maxBytes); }

void Socket::SetWaitLimit(int seconds)
{
    m_waitSeconds = seconds < 0 ? 0 : seconds;
    ApplyWaitLimit();
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
