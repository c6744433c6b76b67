// The framing of the MAX server exchange, the same on every system: 32-bit
// little-endian integers, and strings and data blocks behind their size.
#include "Socket.h"

#include <algorithm>

namespace mw {
namespace {
// A received string or data block larger than this is refused as corrupt.
constexpr uint32_t kMaxMessageBytes = 256u * 1024u * 1024u;
// Received blocks grow by at most this much before the bytes are there.
constexpr uint32_t kReceiveStepBytes = 1024u * 1024u;
} // namespace

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

} // namespace mw
