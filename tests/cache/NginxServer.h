// A throwaway web server with WebDAV PUT on 127.0.0.1 for the cache tests:
// its own configuration, prefix and store folder below a test folder, on a
// free port; killed when the object ends.
#pragma once

#include <string>
#include <sys/types.h>

namespace mw::test {

class NginxServer
{
public:
    // prefix: a folder of the test's own (ends with '/').
    explicit NginxServer(std::string prefix);
    ~NginxServer();
    NginxServer(const NginxServer&) = delete;
    NginxServer& operator=(const NginxServer&) = delete;

    // Starts the server and waits until it takes connections; false (with
    // the reason in Problem) when it does not come up.
    bool Start();
    // Ends it at once, as a crash or a pulled cable would.
    void Kill();
    bool Running() const { return m_pid > 0; }

    std::string Address() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/cache"; }
    // Where the server keeps what it was given: Address() maps to this.
    std::string StoreFolder() const { return m_prefix + "store/cache/"; }
    const std::string& Problem() const { return m_problem; }

private:
    std::string m_prefix;
    int m_port = 0;
    pid_t m_pid = -1;
    std::string m_problem;
};

} // namespace mw::test
