// Winsock sockets for the MAX server exchange.
#include "Socket.h"

#include <algorithm>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace mw {
namespace {

// Winsock is started once for the process and left running until it ends.
bool StartWinsock()
{
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

SOCKET ToSocket(int fd) { return fd < 0 ? INVALID_SOCKET : SOCKET(fd); }

void SetLimits(SOCKET socket, int seconds)
{
    DWORD limit = DWORD(seconds) * 1000;
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
}

// Connects within the wait limit (0: the system's own limit); the send and
// receive limits do not bound a connect on Windows.
bool ConnectWithin(SOCKET socket, const addrinfo& address, int seconds)
{
    if (seconds <= 0)
        return ::connect(socket, address.ai_addr, int(address.ai_addrlen)) == 0;
    u_long nonBlocking = 1;
    ::ioctlsocket(socket, FIONBIO, &nonBlocking);
    bool connected = ::connect(socket, address.ai_addr, int(address.ai_addrlen)) == 0;
    if (!connected && ::WSAGetLastError() == WSAEWOULDBLOCK)
    {
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(socket, &writable);
        FD_SET(socket, &failed);
        timeval limit{};
        limit.tv_sec = seconds;
        connected = ::select(0, nullptr, &writable, &failed, &limit) > 0 && FD_ISSET(socket, &writable) &&
                    !FD_ISSET(socket, &failed);
    }
    u_long blocking = 0;
    ::ioctlsocket(socket, FIONBIO, &blocking);
    return connected;
}
} // namespace

Socket::~Socket() { Disconnect(); }

bool Socket::Connect(const std::string& host, int port)
{
    Disconnect();
    if (!StartWinsock())
        return false;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &results) != 0)
        return false;
    for (addrinfo* it = results; it; it = it->ai_next)
    {
        SOCKET socket = ::WSASocketW(it->ai_family, it->ai_socktype, it->ai_protocol, nullptr, 0,
                                     WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
        if (socket == INVALID_SOCKET)
            continue;
        SetLimits(socket, m_waitSeconds);
        // Socket handles are small numbers in practice; the class keeps them as an int.
        if (ConnectWithin(socket, *it, m_waitSeconds) && socket <= SOCKET(0x7FFFFFFF))
        {
            m_fd = int(socket);
            break;
        }
        ::closesocket(socket);
    }
    ::freeaddrinfo(results);
    return m_fd >= 0;
}

bool Socket::SendAll(const void* bytes, size_t size)
{
    const char* data = static_cast<const char*>(bytes);
    while (size > 0 && m_fd >= 0)
    {
        int step = int(std::min<size_t>(size, 1u << 30));
        int n = ::send(ToSocket(m_fd), data, step, 0);
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
        int step = int(std::min<size_t>(size, 1u << 30));
        int n = ::recv(ToSocket(m_fd), data, step, 0);
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
        SetLimits(ToSocket(m_fd), m_waitSeconds);
}

void Socket::Disconnect()
{
    if (m_fd >= 0)
        ::closesocket(ToSocket(m_fd));
    m_fd = -1;
}

} // namespace mw
