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
    // The same, refusing a size above maxBytes. The buffer grows as bytes
    // arrive, so an announced size alone never allocates it.
    bool ReceiveData(std::string& bytes, uint32_t maxBytes);
    bool ReceiveString(std::string& text, uint32_t maxBytes);
    // Sends and receives after this call (and after a later Connect) fail
    // when the peer makes no progress for this many seconds; 0 waits forever.
    void SetWaitLimit(int seconds);
    void Disconnect();
    bool IsConnected() const { return m_fd >= 0; }

private:
    bool SendAll(const void* bytes, size_t size);
    bool ReceiveAll(void* bytes, size_t size);
    void ApplyWaitLimit();

    int m_fd = -1;
    int m_waitSeconds = 0;
};

} // namespace mw
