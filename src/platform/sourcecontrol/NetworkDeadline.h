// A deadline for calls that talk to a server over TCP. While armed, a watchdog
// thread waits; when a call makes no progress for the allowed time, every
// socket of this process connected to the server is shut down, so that a
// blocked read or write returns at once with an error instead of hanging.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mw {

class NetworkDeadline
{
public:
    NetworkDeadline();
    ~NetworkDeadline();
    NetworkDeadline(const NetworkDeadline&) = delete;
    NetworkDeadline& operator=(const NetworkDeadline&) = delete;

    // The server whose connections are cut when the deadline passes.
    void SetServer(const std::string& host, int port);

    // Starts a call that may stay silent for at most timeoutMs.
    void Arm(unsigned timeoutMs);
    // The call made progress: its silence starts again.
    void Touch();
    void Disarm();
    // True once the armed call ran out of time (until the next Arm).
    bool Expired() const { return m_expired.load(); }

    // Opens and closes one TCP connection to host:port within timeoutMs;
    // false with a reason when that fails. With awaitGreeting the server
    // must also send its first bytes within that time (a server that speaks
    // first, as svnserve does): the system accepts connections for a server
    // that is frozen, which only its silence shows.
    static bool Probe(const std::string& host, int port, unsigned timeoutMs, std::string& reason,
                      bool awaitGreeting = false);

private:
    void Watch();
    void CutServerConnections();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stopping = false;
    bool m_armed = false;
    unsigned m_timeoutMs = 0;
    uint64_t m_lastProgressMs = 0;
    std::atomic<bool> m_expired{false};
    int m_port = 0;
    std::vector<std::string> m_addresses; // numeric forms of the server's addresses
    // Last, so that the thread starts once every member above is set.
    std::thread m_watchdog;
};

} // namespace mw
