// MaxServer: answers the MAX server exchange on a loopback port. It keeps the
// files a client uploads ("put"), loads an uploaded scene ("load"), exports
// the scene's embedded export block whose tag is the extension of the export
// name ("export", refused with a reason when the scene has none) and sends
// files back ("get"). Framing: see tools/README.md.
//
//   MaxServer [--port N] [--port-file FILE] [--once]
//
// --port 0 (the default) takes a free port; --port-file writes the port
// there once the server listens; --once ends after the first connection.
#include "assets/SceneExportData.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

// Nothing the server receives may be larger than this.
constexpr uint32_t kMaxBlockBytes = 256u * 1024u * 1024u;
// A client that makes no progress for this long is dropped.
constexpr int kWaitSeconds = 120;

class Connection
{
public:
    explicit Connection(int fd) : m_fd(fd) {}
    ~Connection() { ::close(m_fd); }

    bool ReceiveInt(int32_t& value)
    {
        unsigned char bytes[4];
        if (!ReceiveAll(bytes, 4))
            return false;
        value = int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                        uint32_t(bytes[3]) << 24);
        return true;
    }
    bool ReceiveBlock(std::string& bytes)
    {
        int32_t size = 0;
        if (!ReceiveInt(size) || uint32_t(size) > kMaxBlockBytes)
            return false;
        bytes.clear();
        // Grows as bytes arrive, so an announced size alone allocates nothing.
        while (bytes.size() < uint32_t(size))
        {
            size_t done = bytes.size();
            size_t step = std::min<size_t>(uint32_t(size) - done, 1u << 20);
            bytes.resize(done + step);
            if (!ReceiveAll(bytes.data() + done, step))
                return false;
        }
        return true;
    }
    bool SendInt(int32_t value)
    {
        uint32_t word = uint32_t(value);
        unsigned char bytes[4] = {uint8_t(word), uint8_t(word >> 8), uint8_t(word >> 16), uint8_t(word >> 24)};
        return SendAll(bytes, 4);
    }
    bool SendBlock(const std::string& bytes)
    {
        return SendInt(int32_t(bytes.size())) && SendAll(bytes.data(), bytes.size());
    }

private:
    bool ReceiveAll(void* bytes, size_t size)
    {
        char* data = static_cast<char*>(bytes);
        while (size > 0)
        {
            ssize_t n = ::recv(m_fd, data, size, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            data += n;
            size -= size_t(n);
        }
        return true;
    }
    bool SendAll(const void* bytes, size_t size)
    {
        const char* data = static_cast<const char*>(bytes);
        while (size > 0)
        {
            ssize_t n = ::send(m_fd, data, size, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            data += n;
            size -= size_t(n);
        }
        return true;
    }

    int m_fd;
};

// One client's exchange; false when it ended because of a broken request.
bool Serve(Connection& connection)
{
    std::map<std::string, std::string> files;
    std::string loadedScene;
    bool sceneLoaded = false;
    std::string command;
    while (connection.ReceiveBlock(command))
    {
        std::string name;
        if (!connection.ReceiveBlock(name))
        {
            std::fprintf(stderr, "MaxServer: '%s' without a file name\n", command.c_str());
            return false;
        }
        if (command == "put")
        {
            int32_t size = 0;
            std::string bytes;
            if (!connection.ReceiveInt(size) || !connection.ReceiveBlock(bytes) || uint32_t(size) != bytes.size())
            {
                std::fprintf(stderr, "MaxServer: broken upload of '%s'\n", name.c_str());
                return false;
            }
            std::printf("put %s (%zu bytes)\n", name.c_str(), bytes.size());
            files[name] = std::move(bytes);
        }
        else if (command == "load")
        {
            auto found = files.find(name);
            sceneLoaded = found != files.end();
            loadedScene = sceneLoaded ? found->second : std::string();
            std::printf("load %s: %s\n", name.c_str(), sceneLoaded ? "loaded" : "no such file");
            if (!connection.SendInt(sceneLoaded ? 1 : 0))
                return false;
        }
        else if (command == "export")
        {
            size_t dot = name.rfind('.');
            std::string tag = dot == std::string::npos ? std::string() : name.substr(dot + 1);
            std::string_view data;
            std::string error;
            if (!sceneLoaded)
                error = "no scene is loaded";
            else if (tag.size() != 3)
                error = "the export name '" + name + "' does not end in a three-letter tag";
            else if (!mw::FindExportData(loadedScene, tag, data))
                error = "the scene holds no export data for tag " + tag;
            if (error.empty())
            {
                files[name] = std::string(data);
                std::printf("export %s (%zu bytes)\n", name.c_str(), data.size());
                if (!connection.SendInt(1))
                    return false;
            }
            else
            {
                std::printf("export %s refused: %s\n", name.c_str(), error.c_str());
                if (!connection.SendInt(0) || !connection.SendBlock(error))
                    return false;
            }
        }
        else if (command == "get")
        {
            auto found = files.find(name);
            std::printf("get %s: %s\n", name.c_str(), found == files.end() ? "no such file" : "sent");
            bool sent = found == files.end()
                            ? connection.SendInt(-1)
                            : connection.SendInt(int32_t(found->second.size())) && connection.SendBlock(found->second);
            if (!sent)
                return false;
        }
        else
        {
            std::fprintf(stderr, "MaxServer: unknown command '%s'\n", command.c_str());
            return false;
        }
        std::fflush(stdout);
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int port = 0;
    const char* portFile = nullptr;
    bool once = false;
    for (int i = 1; i < argc; ++i)
    {
        std::string option = argv[i];
        if (option == "--port" && i + 1 < argc)
            port = std::atoi(argv[++i]);
        else if (option == "--port-file" && i + 1 < argc)
            portFile = argv[++i];
        else if (option == "--once")
            once = true;
        else
        {
            std::fprintf(stderr, "MaxServer: usage: MaxServer [--port N] [--port-file FILE] [--once]\n");
            return 1;
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int yes = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 4) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    {
        std::fprintf(stderr, "MaxServer: cannot listen on port %d: %s\n", port, std::strerror(errno));
        return 1;
    }
    port = ntohs(address.sin_port);
    std::printf("MaxServer: listening on 127.0.0.1:%d\n", port);
    std::fflush(stdout);
    if (portFile)
    {
        // Written under another name and renamed, so a reader never sees half a number.
        std::string temporary = std::string(portFile) + ".tmp";
        FILE* file = std::fopen(temporary.c_str(), "w");
        if (!file || std::fprintf(file, "%d\n", port) < 0 || std::fclose(file) != 0 ||
            std::rename(temporary.c_str(), portFile) != 0)
        {
            std::fprintf(stderr, "MaxServer: cannot write the port file %s\n", portFile);
            return 1;
        }
    }
    for (;;)
    {
        int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
        {
            if (errno == EINTR)
                continue;
            std::fprintf(stderr, "MaxServer: accept failed: %s\n", std::strerror(errno));
            return 1;
        }
        timeval limit{};
        limit.tv_sec = kWaitSeconds;
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        bool clean = false;
        {
            Connection connection(fd);
            clean = Serve(connection);
        }
        std::printf("MaxServer: connection closed%s\n", clean ? "" : " after a broken request");
        std::fflush(stdout);
        if (once)
            return clean ? 0 : 1;
    }
}
