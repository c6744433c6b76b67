// A plain TCP connection for request/response protocols (the HTTP build
// cache): connect, send and receive, each bounded by a wait limit so that a
// server that stops answering cannot hold a build.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace mw {

class TcpStream
{
public:
    TcpStream() = default;
    ~TcpStream();
    TcpStream(const TcpStream&) = delete;
    TcpStream& operator=(const TcpStream&) = delete;

    // Connects to host:port; the connect, and every later send and receive,
    // fail when the peer makes no progress for waitSeconds (at least 1).
    bool Connect(const std::string& host, int port, int waitSeconds);
    bool SendAll(std::string_view bytes);
    // Up to capacity bytes: their count, 0 when the peer closed the
    // connection, -1 on an error or when the wait limit passed.
    long Receive(char* buffer, size_t capacity);
    void Close();
    bool IsOpen() const { return m_handle >= 0; }
    // Why the last call failed, for the log.
    const std::string& Problem() const { return m_problem; }

private:
    long long m_handle = -1;
    int m_waitSeconds = 1;
    std::string m_problem;
};

} // namespace mw
