// The MAX server exchange: against tools/MaxServer on loopback, and against
// peers that refuse, break off, lie about sizes or stop answering.
#include "RecordingContext.h"
#include "assets/MaxServerClient.h"
#include "assets/MaxServerExport.h"
#include "assets/SceneExportData.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace mw {
namespace {

using test::RecordingContext;
using test::TempFolder;

TEST(MaxServerAddress, HostAndPortAreSplitAtTheFirstColon)
{
    std::string host;
    int port = -1;
    ASSERT_TRUE(ParseMaxServerAddress("maxbox:4711", host, port));
    EXPECT_EQ(host, "maxbox");
    EXPECT_EQ(port, 4711);
    ASSERT_TRUE(ParseMaxServerAddress("maxbox", host, port));
    EXPECT_EQ(host, "maxbox");
    EXPECT_EQ(port, 0);
    ASSERT_TRUE(ParseMaxServerAddress("10.0.0.1:80x:9", host, port));
    EXPECT_EQ(host, "10.0.0.1");
    EXPECT_EQ(port, 80);
    EXPECT_TRUE(ParseMaxServerAddress(std::string(255, 'h') + ":1", host, port));
    EXPECT_FALSE(ParseMaxServerAddress(std::string(256, 'h') + ":1", host, port));
    EXPECT_TRUE(ParseMaxServerAddress(std::string(256, 'h'), host, port));
    EXPECT_FALSE(ParseMaxServerAddress(std::string(257, 'h'), host, port));
    EXPECT_FALSE(ParseMaxServerAddress("", host, port));
    EXPECT_FALSE(ParseMaxServerAddress("host:99999", host, port));
}

// tools/MaxServer, started for one test on a free loopback port.
class MaxServerProcess
{
public:
    explicit MaxServerProcess(const TempFolder& temp)
    {
        const std::string portFile = temp / "port";
        std::vector<std::string> arguments = {MAX_SERVER_EXE, "--port-file", portFile};
        std::vector<char*> argv;
        for (std::string& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (temp / "server.log").c_str(), O_WRONLY | O_CREAT, 0644);
        if (posix_spawn(&m_pid, MAX_SERVER_EXE, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        for (int i = 0; i < 500 && m_pid > 0 && !PathExists(portFile); ++i)
            usleep(10000);
        std::string text;
        if (ReadWholeFile(portFile, text))
            port = std::atoi(text.c_str());
    }
    ~MaxServerProcess()
    {
        if (m_pid > 0)
        {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    int port = 0;

private:
    pid_t m_pid = -1;
};

class MaxServerExchange : public ::testing::Test
{
protected:
    MaxServerExchange() : server(temp)
    {
        context.sourceDir = temp / "source/";
        context.maxServer = "127.0.0.1:" + std::to_string(server.port);
    }

    TempFolder temp;
    MaxServerProcess server;
    RecordingContext context;
};

TEST_F(MaxServerExchange, ExportsTheEmbeddedBlockOfTheUploadedScene)
{
    ASSERT_GT(server.port, 0);
    test::WriteFile(temp / "source/ogre.max", "scene" + MakeExportBlock("MDL 1 mesh", "MDL") +
                                                  MakeExportBlock(std::string(300000, 'a'), "ANM"));
    ASSERT_TRUE(ExportViaMaxServer(context, "ogre.max", temp / "out.mdl", "MDL")) << context.log.size();
    EXPECT_EQ(test::ReadFile(temp / "out.mdl"), "MDL 1 mesh");
    ASSERT_TRUE(ExportViaMaxServer(context, "ogre.max", temp / "out.anm", "ANM"));
    EXPECT_EQ(test::ReadFile(temp / "out.anm"), std::string(300000, 'a'));
    EXPECT_TRUE(context.log.empty());
}

TEST_F(MaxServerExchange, ARefusedExportLogsTheServersReasonAndFetchesNothing)
{
    ASSERT_GT(server.port, 0);
    test::WriteFile(temp / "source/plain.max", "a scene without export data");
    test::WriteFile(temp / "out.mdl", "previous");
    EXPECT_FALSE(ExportViaMaxServer(context, "plain.max", temp / "out.mdl", "MDL"));
    ASSERT_EQ(context.log.size(), 1u);
    EXPECT_TRUE(context.HasErrorLine("Error exporting file (the scene holds no export data for tag MDL)"));
    EXPECT_EQ(test::ReadFile(temp / "out.mdl"), "previous");
    EXPECT_EQ(test::ReadFile(temp / "server.log").find("get "), std::string::npos);
}

TEST_F(MaxServerExchange, AnUnreadableLocalSceneFailsBeforeSending)
{
    ASSERT_GT(server.port, 0);
    EXPECT_FALSE(ExportViaMaxServer(context, "missing.max", temp / "out.mdl", "MDL"));
    EXPECT_TRUE(context.HasErrorLine("Error loading '" + temp / "source/missing.max'"));
    EXPECT_FALSE(PathExists(temp / "out.mdl"));
}

TEST(MaxServerClientFailures, NoServerMeansNoConnection)
{
    RecordingContext context;
    context.maxServer = "127.0.0.1";
    EXPECT_FALSE(ExportViaMaxServer(context, "a.max", "out.mdl", "MDL"));
    EXPECT_TRUE(context.HasErrorLine("Couldn't connect to MAX Server"));
}

// A loopback peer that runs a script on the one connection it accepts.
class ScriptedPeer
{
public:
    explicit ScriptedPeer(std::function<void(int fd)> script)
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        ::listen(m_listener, 1);
        address_ = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
        m_thread = std::thread([this, script] {
            int fd = ::accept(m_listener, nullptr, nullptr);
            if (fd < 0)
                return;
            script(fd);
            // Reads whatever else comes until the client closes.
            char buffer[4096];
            while (::recv(fd, buffer, sizeof buffer, 0) > 0)
                received += 1;
            ::close(fd);
        });
    }
    ~ScriptedPeer() { Finish(); }

    // Waits until the client has closed the connection.
    void Finish()
    {
        if (!m_thread.joinable())
            return;
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }

    std::string address_;
    int received = 0;

private:
    int m_listener = -1;
    std::thread m_thread;
};

void SendInt(int fd, int32_t value)
{
    unsigned char bytes[4] = {uint8_t(value), uint8_t(uint32_t(value) >> 8), uint8_t(uint32_t(value) >> 16),
                              uint8_t(uint32_t(value) >> 24)};
    ::send(fd, bytes, 4, MSG_NOSIGNAL);
}

// Skips the client's framed strings and blocks: count of them.
void Skip(int fd, int blocks)
{
    for (int i = 0; i < blocks; ++i)
    {
        unsigned char header[4];
        if (::recv(fd, header, 4, MSG_WAITALL) != 4)
            return;
        uint32_t size = header[0] | header[1] << 8 | header[2] << 16 | uint32_t(header[3]) << 24;
        std::string bytes(size, '\0');
        if (size && ::recv(fd, bytes.data(), size, MSG_WAITALL) != ssize_t(size))
            return;
    }
}

class MaxServerPeerTest : public ::testing::Test
{
protected:
    MaxServerPeerTest()
    {
        context.sourceDir = temp / "source/";
        test::WriteFile(temp / "source/s.max", "scene");
    }

    // put: word, name, int, data; load: word, name.
    static void AcceptUploadAndLoad(int fd)
    {
        Skip(fd, 2);
        unsigned char size[4];
        ::recv(fd, size, 4, MSG_WAITALL);
        Skip(fd, 1 + 2);
        SendInt(fd, 1);
    }

    TempFolder temp;
    RecordingContext context;
};

TEST_F(MaxServerPeerTest, AnUnreadableSceneSendsNothing)
{
    ScriptedPeer peer([](int) {});
    context.maxServer = peer.address_;
    EXPECT_FALSE(ExportViaMaxServer(context, "missing.max", temp / "out.mdl", "MDL"));
    peer.Finish();
    EXPECT_EQ(peer.received, 0);
    EXPECT_TRUE(context.HasErrorLine("Error loading '" + temp / "source/missing.max'"));
}

TEST_F(MaxServerPeerTest, AHugeAnnouncedSizeIsRefusedWithoutWritingTheTarget)
{
    ScriptedPeer peer([](int fd) {
        AcceptUploadAndLoad(fd);
        Skip(fd, 2);
        SendInt(fd, 1); // exported
        Skip(fd, 2);
        SendInt(fd, 0x7FFFFFFF);
        SendInt(fd, 0x7FFFFFFF);
    });
    context.maxServer = peer.address_;
    EXPECT_FALSE(ExportViaMaxServer(context, "s.max", temp / "out.mdl", "MDL"));
    EXPECT_TRUE(context.HasErrorLine("Error retrieving exported file from MAX Server"));
    EXPECT_FALSE(PathExists(temp / "out.mdl"));
}

TEST_F(MaxServerPeerTest, APeerClosingMidAnswerLeavesTheTargetAsItWas)
{
    ScriptedPeer peer([](int fd) {
        AcceptUploadAndLoad(fd);
        Skip(fd, 2);
        SendInt(fd, 1);
        Skip(fd, 2);
        SendInt(fd, 100);
        SendInt(fd, 100);
        ::send(fd, "only ten..", 10, MSG_NOSIGNAL);
        ::shutdown(fd, SHUT_WR);
    });
    context.maxServer = peer.address_;
    test::WriteFile(temp / "out.mdl", "previous");
    EXPECT_FALSE(ExportViaMaxServer(context, "s.max", temp / "out.mdl", "MDL"));
    EXPECT_TRUE(context.HasErrorLine("Error retrieving exported file from MAX Server"));
    EXPECT_EQ(test::ReadFile(temp / "out.mdl"), "previous");
}

TEST_F(MaxServerPeerTest, AnOverlongErrorTextIsATransportFailure)
{
    ScriptedPeer peer([](int fd) {
        AcceptUploadAndLoad(fd);
        Skip(fd, 2);
        SendInt(fd, 0);
        SendInt(fd, 5000);
    });
    context.maxServer = peer.address_;
    EXPECT_FALSE(ExportViaMaxServer(context, "s.max", temp / "out.mdl", "MDL"));
    EXPECT_TRUE(context.HasErrorLine("Exception while exporting on Max Server"));
    EXPECT_TRUE(context.HasErrorLine("Error exporting file (the connection to the MAX server broke off)"));
}

TEST_F(MaxServerPeerTest, APeerThatStopsAnsweringEndsTheExchangeAtTheWaitLimit)
{
    ScriptedPeer peer([](int fd) {
        Skip(fd, 2);
        unsigned char size[4];
        ::recv(fd, size, 4, MSG_WAITALL);
        Skip(fd, 1 + 2);
        // Never answers the load.
    });
    context.maxServer = peer.address_;
    EXPECT_FALSE(ExportViaMaxServer(context, "s.max", temp / "out.mdl", "MDL", 1));
    EXPECT_TRUE(context.HasErrorLine("Error loading MAX file on MAX Server"));
}

} // namespace
} // namespace mw
