// The client side of the MAX server exchange.
#include "MaxServerClient.h"

#include "context/IToolContext.h"
#include "platform/FileSystem.h"

#include <climits>

namespace mw {

bool ParseMaxServerAddress(const std::string& address, std::string& host, int& port)
{
    size_t colon = address.find(':');
    port = 0;
    if (colon == std::string::npos)
    {
        host = address;
        return !host.empty() && host.size() <= 256;
    }
    host = address.substr(0, colon);
    long value = 0;
    for (size_t i = colon + 1; i < address.size() && address[i] >= '0' && address[i] <= '9'; ++i)
    {
        value = value * 10 + (address[i] - '0');
        if (value > 65535)
            return false;
    }
    port = int(value);
    return !host.empty() && host.size() <= 255;
}

MaxServerClient::MaxServerClient(IToolContext& context, int waitSeconds)
    : m_context(context), m_waitSeconds(waitSeconds)
{
}

MaxServerClient::~MaxServerClient() { Disconnect(); }

bool MaxServerClient::Connect(const std::string& address)
{
    std::string host;
    int port = 0;
    if (!ParseMaxServerAddress(address, host, port))
        return false;
    m_socket.SetWaitLimit(m_waitSeconds);
    return m_socket.Connect(host, port);
}

bool MaxServerClient::SendCommand(const char* word, const std::string& remoteName)
{
    return m_socket.SendString(word) && m_socket.SendString(remoteName);
}

bool MaxServerClient::Put(const std::string& localPath, const std::string& remoteName)
{
    std::string bytes;
    if (!ReadWholeFile(localPath, bytes) || bytes.size() > size_t(INT32_MAX))
        return false;
    return SendCommand("put", remoteName) && m_socket.SendInt(int32_t(bytes.size())) &&
           m_socket.SendData(bytes.data(), uint32_t(bytes.size()));
}

bool MaxServerClient::Load(const std::string& remoteName)
{
    int32_t loaded = 0;
    return SendCommand("load", remoteName) && m_socket.ReceiveInt(loaded) && loaded != 0;
}

bool MaxServerClient::Export(const std::string& remoteName, std::string& error)
{
    error.clear();
    int32_t exported = 0;
    if (!SendCommand("export", remoteName) || !m_socket.ReceiveInt(exported) ||
        (exported == 0 && !m_socket.ReceiveString(error, kMaxErrorBytes)))
    {
        m_context.Log("Exception while exporting on Max Server", true, true);
        error = "the connection to the MAX server broke off";
        return false;
    }
    return exported != 0;
}

bool MaxServerClient::Get(const std::string& localPath, const std::string& remoteName)
{
    int32_t size = 0;
    std::string bytes;
    if (!SendCommand("get", remoteName) || !m_socket.ReceiveInt(size) || size < 0 ||
        uint32_t(size) > kMaxExportBytes || !m_socket.ReceiveData(bytes, uint32_t(size)) ||
        bytes.size() != uint32_t(size))
        return false;
    return WriteFileAtomic(localPath, bytes);
}

void MaxServerClient::Disconnect() { m_socket.Disconnect(); }

} // namespace mw
