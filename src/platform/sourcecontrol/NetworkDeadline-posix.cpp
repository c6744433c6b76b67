// The network deadline on POSIX: a watchdog thread, and shutdown() of the
// sockets found in /proc/self/fd whose peer is the server.
#include "NetworkDeadline.h"

#include "../Clock.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {
namespace {

std::string NumericAddress(const sockaddr* address)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET)
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    else if (address->sa_family == AF_INET6)
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, sizeof text);
    return text;
}

int PortOf(const sockaddr* address)
{
    if (address->sa_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in*>(address)->sin_port);
    if (address->sa_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6*>(address)->sin6_port);
    return -1;
}

addrinfo* Resolve(const std::string& host, int port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* results = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &results) != 0)
        return nullptr;
    return results;
}

} // namespace

NetworkDeadline::NetworkDeadline() : m_watchdog([this] { Watch(); }) {}

NetworkDeadline::~NetworkDeadline()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_watchdog.join();
}

void NetworkDeadline::SetServer(const std::string& host, int port)
{
    std::vector<std::string> addresses;
    if (addrinfo* results = Resolve(host, port))
    {
        for (addrinfo* it = results; it; it = it->ai_next)
            addresses.push_back(NumericAddress(it->ai_addr));
        ::freeaddrinfo(results);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_port = port;
    m_addresses = std::move(addresses);
}

void NetworkDeadline::Arm(unsigned timeoutMs)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_armed = true;
        m_timeoutMs = timeoutMs;
        m_lastProgressMs = TickCountMs();
        m_expired = false;
    }
    m_changed.notify_all();
}

void NetworkDeadline::Touch()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lastProgressMs = TickCountMs();
}

void NetworkDeadline::Disarm()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_armed = false;
}

void NetworkDeadline::Watch()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping)
    {
        if (!m_armed || m_expired)
        {
            m_changed.wait(lock);
            continue;
        }
        uint64_t now = TickCountMs();
        uint64_t due = m_lastProgressMs + m_timeoutMs;
        if (now < due)
        {
            m_changed.wait_for(lock, std::chrono::milliseconds(due - now));
            continue;
        }
        m_expired = true;
        CutServerConnections();
    }
}

void NetworkDeadline::CutServerConnections()
{
    if (m_port <= 0)
        return;
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder)
        return;
    while (dirent* entry = ::readdir(folder))
    {
        char* end = nullptr;
        long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == ::dirfd(folder))
            continue;
        struct stat info;
        if (::fstat(int(fd), &info) != 0 || !S_ISSOCK(info.st_mode))
            continue;
        sockaddr_storage peer{};
        socklen_t size = sizeof peer;
        if (::getpeername(int(fd), reinterpret_cast<sockaddr*>(&peer), &size) != 0)
            continue;
        const sockaddr* address = reinterpret_cast<const sockaddr*>(&peer);
        if (PortOf(address) != m_port)
            continue;
        std::string numeric = NumericAddress(address);
        for (const std::string& server : m_addresses)
            if (numeric == server)
                ::shutdown(int(fd), SHUT_RDWR);
    }
    ::closedir(folder);
}

bool NetworkDeadline::Probe(const std::string& host, int port, unsigned timeoutMs, std::string& reason,
                            bool awaitGreeting)
{
    uint64_t start = TickCountMs();
    addrinfo* results = Resolve(host, port);
    if (!results)
    {
        reason = "unknown host " + host;
        return false;
    }
    reason = "no answer within " + std::to_string(timeoutMs) + " ms";
    bool reached = false;
    for (addrinfo* it = results; it && !reached; it = it->ai_next)
    {
        int fd = ::socket(it->ai_family, it->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, it->ai_protocol);
        if (fd < 0)
            continue;
        int result = ::connect(fd, it->ai_addr, it->ai_addrlen);
        if (result != 0 && errno == EINPROGRESS)
        {
            pollfd waiting{fd, POLLOUT, 0};
            if (::poll(&waiting, 1, int(timeoutMs)) == 1)
            {
                int error = 0;
                socklen_t size = sizeof error;
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
                result = error == 0 ? 0 : -1;
                if (error != 0)
                    reason = std::strerror(error);
            }
        }
        else if (result != 0)
            reason = std::strerror(errno);
        if (result == 0 && awaitGreeting)
        {
            uint64_t spent = TickCountMs() - start;
            pollfd waiting{fd, POLLIN, 0};
            char first = 0;
            bool greeted = spent < timeoutMs && ::poll(&waiting, 1, int(timeoutMs - spent)) == 1 &&
                           ::recv(fd, &first, 1, 0) == 1;
            if (!greeted)
            {
                reason = "the server accepts connections but did not answer within " + std::to_string(timeoutMs) +
                         " ms";
                result = -1;
            }
        }
        reached = result == 0;
        ::close(fd);
    }
    ::freeaddrinfo(results);
    return reached;
}

} // namespace mw
