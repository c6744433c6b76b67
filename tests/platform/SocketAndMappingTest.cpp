// Sockets against a loopback listener, and memory-mapped files.
#include "platform/engine/MemoryMappedFile.h"
#include "platform/sourcecontrol/Socket.h"
#include "support/TempFolder.h"

#include <arpa/inet.h>
#include <cstring>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace mw {
namespace {

TEST(Socket, FramedValuesCrossALoopbackConnection)
{
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    ASSERT_EQ(::listen(listener, 1), 0);
    int port = ntohs(address.sin_port);

    // The peer echoes every byte it receives.
    std::thread echo([listener] {
        int peer = ::accept(listener, nullptr, nullptr);
        char buffer[256];
        ssize_t n;
        while ((n = ::recv(peer, buffer, sizeof buffer, 0)) > 0)
            ::send(peer, buffer, size_t(n), 0);
        ::close(peer);
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
    ::close(listener);
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
