#include "Winsock-win32.h"

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

// A non-blocking connect watched by select: the send and receive limits do
// not bound a connect on Windows.
bool ConnectWithin(SOCKET socket, const addrinfo& address, int seconds, std::string& problem)
{
    if (seconds <= 0)
    {
        if (::connect(socket, address.ai_addr, int(address.ai_addrlen)) == 0)
            return true;
        problem = "connection refused or failed";
        return false;
    }
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
    return true;
}

} // namespace

void SetSocketLimits(SOCKET socket, int seconds)
{
    DWORD limit = seconds > 0 ? DWORD(seconds) * 1000 : 0;
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
}

SOCKET ConnectTcp(const std::string& host, int port, int seconds, std::string& problem)
{
    if (!StartWinsock())
    {
        problem = "Winsock did not start";
        return INVALID_SOCKET;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &results) != 0)
    {
        problem = "cannot resolve " + host;
        return INVALID_SOCKET;
    }
    SOCKET connected = INVALID_SOCKET;
    for (addrinfo* it = results; it && connected == INVALID_SOCKET; it = it->ai_next)
    {
        SOCKET socket = ::WSASocketW(it->ai_family, it->ai_socktype, it->ai_protocol, nullptr, 0,
                                     WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
        if (socket == INVALID_SOCKET)
            continue;
        if (ConnectWithin(socket, *it, seconds, problem))
        {
            SetSocketLimits(socket, seconds);
            connected = socket;
        }
        else
            ::closesocket(socket);
    }
    ::freeaddrinfo(results);
    return connected;
}

} // namespace mw
