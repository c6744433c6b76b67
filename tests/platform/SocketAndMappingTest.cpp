// Sockets against a loopback listener, and memory-mapped files.
#include "platform/engine/MemoryMappedFile.h"
#include "platform/sourcecontrol/Socket.h"
#include "support/TempFolder.h"

#include <cstring>
#include <gtest/gtest.h>
#include <thread>
#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace mw {
namespace {

#ifdef _WIN32
using SocketHandle = SOCKET;
using AddressLength = int;
void CloseSocket(SocketHandle handle) { ::closesocket(handle); }
// The listener below is opened before any Socket of ours starts Winsock.
struct WinsockStarted
{
    WinsockStarted()
    {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockStarted() { ::WSACleanup(); }
};
#else
using SocketHandle = int;
using AddressLength = socklen_t;
void CloseSocket(SocketHandle handle) { ::close(handle); }
struct WinsockStarted
{
};
#endif

TEST(Socket, FramedValuesCrossALoopbackConnection)
{
    [[maybe_unused]] WinsockStarted winsock;
    SocketHandle listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_NE(listener, SocketHandle(-1));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    AddressLength length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    ASSERT_EQ(::listen(listener, 1), 0);
    int port = ntohs(address.sin_port);

    // The peer echoes every byte it receives.
    std::thread echo([listener] {
        SocketHandle peer = ::accept(listener, nullptr, nullptr);
        char buffer[256];
        int n;
        while ((n = int(::recv(peer, buffer, sizeof buffer, 0))) > 0)
            ::send(peer, buffer, n, 0);
        CloseSocket(peer);
    });

    Socket socket;
    ASSERT_TRUE(socket.Connect("127.0.0.1", port));
    EXPECT_TRUE(socket.SendInt(-7));
    EXPECT_TRUE(socket.SendString("scene.max"));
    EXPECT_TRUE(socket.SendData("\0\1\2", 3));
    int32_t value = 0;
    std::string text;
    std::string data;
    EXPECT_TRUE(socket.ReceiveInt(value));
    EXPECT_EQ(value, -7);
    EXPECT_TRUE(socket.ReceiveString(text));
    EXPECT_EQ(text, "scene.max");
    EXPECT_TRUE(socket.ReceiveData(data));
    EXPECT_EQ(data, std::string("\0\1\2", 3));
    socket.Disconnect();
    echo.join();
    CloseSocket(listener);
    EXPECT_FALSE(socket.ReceiveInt(value));
}

TEST(MemoryMappedFile, MapsTheWholeFileReadOnly)
{
    test::TempFolder temp;
    test::WriteFile(temp / "Data.bin", "hello");
    GAME::MemoryMappedFile file;
    ASSERT_TRUE(file.Open((temp.Path() + "DATA.BIN").c_str()));
    ASSERT_EQ(file.GetLength(), 5u);
    const void* view = file.MapView(0, file.GetLength());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::memcmp(view, "hello", 5), 0);
    file.UnmapView(view, 0);
    GAME::MemoryMappedFile missing;
    EXPECT_FALSE(missing.Open((temp / "none").c_str()));
}

} // namespace
} // namespace mw
