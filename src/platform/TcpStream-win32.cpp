// Winsock TCP connections with wait limits: a bounded connect, then blocking
// sends and receives with socket time-outs.
#include "TcpStream.h"
#include "Winsock-win32.h"

namespace mw {
namespace {

std::string ErrorText(int code) { return "socket error " + std::to_string(code); }

} // namespace

TcpStream::~TcpStream() { Close(); }

bool TcpStream::Connect(const std::string& host, int port, int waitSeconds)
{
    Close();
    m_waitSeconds = waitSeconds < 1 ? 1 : waitSeconds;
    SOCKET socket = ConnectTcp(host, port, m_waitSeconds, m_problem);
    if (socket != INVALID_SOCKET)
        m_handle = static_cast<long long>(socket);
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
