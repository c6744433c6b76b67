// Winsock sockets for the MAX server exchange.
#include "Socket.h"
#include "platform/Winsock-win32.h"

#include <algorithm>

namespace mw {
namespace {

SOCKET ToSocket(int fd) { return fd < 0 ? INVALID_SOCKET : SOCKET(fd); }

} // namespace

Socket::~Socket() { Disconnect(); }

bool Socket::Connect(const std::string& host, int port)
{
    Disconnect();
    std::string problem;
    SOCKET socket = ConnectTcp(host, port, m_waitSeconds, problem);
    if (socket == INVALID_SOCKET)
        return false;
    // Socket handles are small numbers in practice; the class keeps them as an int.
    if (socket > SOCKET(0x7FFFFFFF))
    {
        ::closesocket(socket);
        return false;
    }
    m_fd = int(socket);
    return true;
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
        SetSocketLimits(ToSocket(m_fd), m_waitSeconds);
}

void Socket::Disconnect()
{
    if (m_fd >= 0)
        ::closesocket(ToSocket(m_fd));
    m_fd = -1;
}

} // namespace mw
