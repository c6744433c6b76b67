// The test web server.
#include "NginxServer.h"

#include "platform/Clock.h"
#include "platform/FileSystem.h"

#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mw::test {
namespace {

// A port the system has just handed out and taken back.
int FreePort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool Accepts(int port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

} // namespace

NginxServer::NginxServer(std::string prefix) : m_prefix(std::move(prefix)) {}

NginxServer::~NginxServer() { Kill(); }

bool NginxServer::Start()
{
    if (m_port == 0)
        m_port = FreePort();
    EnsureFolders(m_prefix + "store/cache");
    EnsureFolders(m_prefix + "logs");
    const std::string p = m_prefix;
    std::string config = "daemon off;\nmaster_process off;\nworker_processes 1;\n"
                         "error_log " + p + "logs/error.log;\npid " + p + "logs/nginx.pid;\n"
                         "events { worker_connections 64; }\n"
                         "http {\n  access_log off;\n"
                         "  client_body_temp_path " + p + "body;\n  proxy_temp_path " + p + "proxy;\n"
                         "  fastcgi_temp_path " + p + "fastcgi;\n  uwsgi_temp_path " + p + "uwsgi;\n"
                         "  scgi_temp_path " + p + "scgi;\n  client_max_body_size 0;\n"
                         "  server {\n    listen 127.0.0.1:" + std::to_string(m_port) + ";\n"
                         "    root " + p + "store;\n"
                         "    location /cache/ {\n      dav_methods PUT DELETE;\n      create_full_put_path on;\n"
                         "      dav_access user:rw group:r all:r;\n    }\n  }\n}\n";
    if (!WriteFileAtomic(p + "nginx.conf", config))
    {
        m_problem = "cannot write the configuration";
        return false;
    }
    std::string program = IsFile("/usr/sbin/nginx") ? "/usr/sbin/nginx" : "nginx";
    std::string configPath = p + "nginx.conf";
    std::string prefixArg = p;
    char* arguments[] = {program.data(), const_cast<char*>("-p"), prefixArg.data(), const_cast<char*>("-c"),
                         configPath.data(), nullptr};
    if (::posix_spawnp(&m_pid, program.c_str(), nullptr, nullptr, arguments, environ) != 0)
    {
        m_pid = -1;
        m_problem = "nginx cannot be started; scripts/setup.sh installs it";
        return false;
    }
    for (int waited = 0; waited < 5000; waited += 20)
    {
        if (Accepts(m_port))
            return true;
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid)
        {
            m_pid = -1;
            std::string log;
            ReadWholeFile(p + "logs/error.log", log);
            m_problem = "nginx ended at start: " + log;
            return false;
        }
        SleepMs(20);
    }
    m_problem = "nginx does not take connections";
    Kill();
    return false;
}

void NginxServer::Kill()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

} // namespace mw::test
