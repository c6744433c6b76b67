// A TCP connection with the MAX server's framing: integers as 4 little-endian
// bytes, strings and data blocks as a 4-byte length followed by the bytes.
#pragma once

#include <cstdint>
#include <string>

namespace mw {

class Socket
{
public:
    Socket() = default;
    ~Socket();
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool Connect(const std::string& host, int port);
    bool SendString(const std::string& text);
    bool SendInt(int32_t value);
    bool SendData(const void* bytes, uint32_t size);
    bool ReceiveString(std::string& text);
    bool ReceiveInt(int32_t& value);
    bool ReceiveData(std::string& bytes);
    void Disconnect();
    bool IsConnected() const { return m_fd >= 0; }

private:
    bool SendAll(const void* bytes, size_t size);
    bool ReceiveAll(void* bytes, size_t size);

    int m_fd = -1;
};

} // namespace mw
