// Cache entries on an HTTP server that stores files by PUT and serves them by
// GET (a stock web server with WebDAV, or any cache server of that kind):
// plain HTTP/1.1 with Content-Length bodies over one kept-alive connection.
#pragma once

#include "CacheCredentials.h"
#include "ICacheStore.h"
#include "platform/TcpStream.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace mw {

struct HttpAddress
{
    std::string host;
    int port = 80;
    std::string basePath; // begins and ends with '/'
    bool hadCredentials = false; // the address named a user; it is dropped
};

// Parses "http://host[:port][/path]"; false for any other scheme or a
// malformed address. A "user:password@" part is dropped from the address
// (credentials belong in the environment or a netrc file).
bool ParseHttpAddress(const std::string& text, HttpAddress& address);

class HttpCacheStore : public ICacheStore
{
public:
    // waitSeconds bounds the connect and every wait for the server.
    HttpCacheStore(HttpAddress address, CacheCredentials credentials, int waitSeconds);

    std::string Describe() const override;
    CacheStoreResult Fetch(const std::string& key, std::string& bytes, std::string& problem) override;
    CacheStoreResult Store(const std::string& key, const std::string& bytes, std::string& problem) override;

    // An entry larger than this is refused, whatever the server announces.
    static constexpr uint64_t kMaxEntryBytes = uint64_t(1) << 31;

private:
    struct Response
    {
        int status = 0;
        std::string body;
    };
    // One request on the kept-alive connection, reconnecting once when the
    // server closed it while idle.
    CacheStoreResult Exchange(const std::string& method, const std::string& path, const std::string& body,
                              Response& response, std::string& problem);
    CacheStoreResult ExchangeLocked(const std::string& method, const std::string& request, Response& response,
                                    std::string& problem);
    CacheStoreResult TryExchange(const std::string& request, bool headOnly, Response& response,
                                 bool& nothingReceived, std::string& problem);

    HttpAddress m_address;
    CacheCredentials m_credentials;
    int m_waitSeconds;
    std::mutex m_mutex;
    TcpStream m_stream;
    // Requests that found the server unreachable, and the last one's reason:
    // compiles beside each other that queued behind such a request give up
    // at once instead of each waiting for the server in turn.
    std::atomic<uint64_t> m_unreachableCount{0};
    std::string m_lastUnreachable;
};

} // namespace mw
