// Winsock TCP connections with wait limits: a non-blocking connect watched by
// select, then blocking sends and receives with socket time-outs.
#include "TcpStream.h"

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

std::string ErrorText(int code) { return "socket error " + std::to_string(code); }

bool ConnectWithin(SOCKET socket, const addrinfo& address, int seconds, std::string& problem)
{
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
        int ready = ::select(0, nullptr, &writable, &failed, &limit);
        connected = ready > 0 && FD_ISSET(socket, &writable) && !FD_ISSET(socket, &failed);
        if (ready == 0)
        {
            problem = "no answer within " + std::to_string(seconds) + " s";
            return false;
        }
    }
    if (!connected)
    {
        problem = "connection refused or failed";
        return false;
    }
    u_long blocking = 0;
    ::ioctlsocket(socket, FIONBIO, &blocking);
    DWORD limit = DWORD(seconds) * 1000;
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    return true;
}

} // namespace

TcpStream::~TcpStream() { Close(); }

bool TcpStream::Connect(const std::string& host, int port, int waitSeconds)
{
    Close();
    m_waitSeconds = waitSeconds < 1 ? 1 : waitSeconds;
    if (!StartWinsock())
    {
        m_problem = "Winsock did not start";
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &results) != 0)
    {
        m_problem = "cannot resolve " + host;
        return false;
    }
    for (addrinfo* it = results; it && m_handle < 0; it = it->ai_next)
    {
        SOCKET socket = ::WSASocketW(it->ai_family, it->ai_socktype, it->ai_protocol, nullptr, 0,
                                     WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
        if (socket == INVALID_SOCKET)
            continue;
        if (ConnectWithin(socket, *it, m_waitSeconds, m_problem))
            m_handle = static_cast<long long>(socket);
        else
            ::closesocket(socket);
    }
    ::freeaddrinfo(results);
    return m_handle >= 0;
}

bool TcpStream::SendAll(std::string_view bytes)
{
    while (!bytes.empty() && m_handle >= 0)
    {
        int chunk = bytes.size() > 0x40000000 ? 0x40000000 : int(bytes.size());
        int sent = ::send(SOCKET(m_handle), bytes.data(), chunk, 0);
        if (sent <= 0)
        {
            int code = ::WSAGetLastError();
            m_problem = code == WSAETIMEDOUT ? "no progress within " + std::to_string(m_waitSeconds) + " s"
                                             : ErrorText(code);
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
    int chunk = capacity > 0x40000000 ? 0x40000000 : int(capacity);
    int received = ::recv(SOCKET(m_handle), buffer, chunk, 0);
    if (received >= 0)
        return long(received);
    int code = ::WSAGetLastError();
    m_problem = code == WSAETIMEDOUT ? "no answer within " + std::to_string(m_waitSeconds) + " s" : ErrorText(code);
    return -1;
}

void TcpStream::Close()
{
    if (m_handle >= 0)
        ::closesocket(SOCKET(m_handle));
    m_handle = -1;
}

} // namespace mw
