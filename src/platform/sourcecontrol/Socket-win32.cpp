// Winsock sockets for the MAX server exchange.
#include "Socket.h"

#include <algorithm>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace mw {
namespace {
// A received string or data block larger than this is refused as corrupt.
constexpr uint32_t kMaxMessageBytes = 256u * 1024u * 1024u;
// Received blocks grow by at most this much before the bytes are there.
constexpr uint32_t kReceiveStepBytes = 1024u * 1024u;

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
        SetLimits(ToSocket(m_fd), m_waitSeconds);
}

void Socket::Disconnect()
{
    if (m_fd >= 0)
        ::closesocket(ToSocket(m_fd));
    m_fd = -1;
}

} // namespace mw
