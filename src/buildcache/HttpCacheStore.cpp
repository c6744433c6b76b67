// HTTP cache entries: GET for a fetch (404 is a miss), PUT for a store.
#include "HttpCacheStore.h"

#include "platform/PathRules.h"

#include <charconv>

namespace mw {
namespace {

constexpr size_t kMaxHeaderBytes = 16 * 1024;

bool ParseNumber(std::string_view text, uint64_t& number)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    if (text.empty())
        return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

// The value of a header line "Name: value" when its name matches, ignoring case.
bool HeaderValue(std::string_view line, std::string_view name, std::string_view& value)
{
    if (line.size() <= name.size() || line[name.size()] != ':' || !EqualsNoCase(line.substr(0, name.size()), name))
        return false;
    value = line.substr(name.size() + 1);
    while (!value.empty() && value.front() == ' ')
        value.remove_prefix(1);
    return true;
}

} // namespace

bool ParseHttpAddress(const std::string& text, HttpAddress& address)
{
    const std::string scheme = "http://";
    if (text.size() <= scheme.size() || !EqualsNoCase(std::string_view(text).substr(0, scheme.size()), scheme))
        return false;
    std::string rest = text.substr(scheme.size());
    size_t slash = rest.find('/');
    std::string authority = rest.substr(0, slash);
    std::string path = slash == std::string::npos ? "/" : rest.substr(slash);
    size_t at = authority.rfind('@');
    address.hadCredentials = at != std::string::npos;
    if (at != std::string::npos)
        authority = authority.substr(at + 1);
    size_t colon = authority.rfind(':');
    address.host = authority.substr(0, colon);
    address.port = 80;
    if (colon != std::string::npos)
    {
        uint64_t port = 0;
        if (!ParseNumber(authority.substr(colon + 1), port) || port == 0 || port > 65535)
            return false;
        address.port = int(port);
    }
    if (address.host.empty() || path.find_first_of(" \r\n?#") != std::string::npos)
        return false;
    if (path.back() != '/')
        path += '/';
    address.basePath = path;
    return true;
}

HttpCacheStore::HttpCacheStore(HttpAddress address, CacheCredentials credentials, int waitSeconds)
    : m_address(std::move(address)), m_credentials(std::move(credentials)), m_waitSeconds(waitSeconds)
{
}

std::string HttpCacheStore::Describe() const
{
    return "http://" + m_address.host + ":" + std::to_string(m_address.port) + m_address.basePath;
}

CacheStoreResult HttpCacheStore::Fetch(const std::string& key, std::string& bytes, std::string& problem)
{
    Response response;
    CacheStoreResult result = Exchange("GET", m_address.basePath + CacheEntryPath(key), std::string(), response, problem);
    if (result != CacheStoreResult::Done)
        return result;
    if (response.status == 404)
        return CacheStoreResult::Missing;
    if (response.status != 200)
    {
        problem = "the server answered HTTP " + std::to_string(response.status);
        return (response.status == 401 || response.status == 403) ? CacheStoreResult::Unreachable
                                                                   : CacheStoreResult::Failed;
    }
    bytes = std::move(response.body);
    return CacheStoreResult::Done;
}

CacheStoreResult HttpCacheStore::Store(const std::string& key, const std::string& bytes, std::string& problem)
{
    Response response;
    CacheStoreResult result = Exchange("PUT", m_address.basePath + CacheEntryPath(key), bytes, response, problem);
    if (result != CacheStoreResult::Done)
        return result;
    if (response.status == 200 || response.status == 201 || response.status == 204)
        return CacheStoreResult::Done;
    problem = "the server answered HTTP " + std::to_string(response.status) + " to a store";
    return (response.status == 401 || response.status == 403 || response.status == 405)
               ? CacheStoreResult::Unreachable
               : CacheStoreResult::Failed;
}

CacheStoreResult HttpCacheStore::Exchange(const std::string& method, const std::string& path,
                                          const std::string& body, Response& response, std::string& problem)
{
    std::string request = method + " " + path + " HTTP/1.1\r\nHost: " + m_address.host + ":" +
                          std::to_string(m_address.port) + "\r\nUser-Agent: modwright\r\n";
    if (!m_credentials.Empty())
        request += "Authorization: " + BasicAuthorization(m_credentials) + "\r\n";
    if (method == "PUT")
        request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    request += "\r\n";
    request += body;

    uint64_t unreachableBefore = m_unreachableCount.load();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_unreachableCount.load() != unreachableBefore)
    {
        problem = m_lastUnreachable;
        return CacheStoreResult::Unreachable;
    }
    CacheStoreResult result = ExchangeLocked(method, request, response, problem);
    if (result == CacheStoreResult::Unreachable)
    {
        m_lastUnreachable = problem;
        ++m_unreachableCount;
    }
    return result;
}

CacheStoreResult HttpCacheStore::ExchangeLocked(const std::string& method, const std::string& request,
                                                Response& response, std::string& problem)
{
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        bool reused = m_stream.IsOpen();
        if (!reused && !m_stream.Connect(m_address.host, m_address.port, m_waitSeconds))
        {
            problem = "cannot connect to " + Describe() + ": " + m_stream.Problem();
            return CacheStoreResult::Unreachable;
        }
        bool nothingReceived = false;
        CacheStoreResult result = TryExchange(request, method == "HEAD", response, nothingReceived, problem);
        if (result == CacheStoreResult::Done)
            return result;
        m_stream.Close();
        // A kept-alive connection that the server closed while idle fails
        // before any answer: that alone is worth one more try.
        if (!(reused && nothingReceived))
            return result;
    }
    return CacheStoreResult::Unreachable;
}

CacheStoreResult HttpCacheStore::TryExchange(const std::string& request, bool headOnly, Response& response,
                                             bool& nothingReceived, std::string& problem)
{
    nothingReceived = true;
    if (!m_stream.SendAll(request))
    {
        problem = Describe() + ": " + m_stream.Problem();
        return CacheStoreResult::Unreachable;
    }
    std::string received;
    char buffer[64 * 1024];
    size_t headerEnd = std::string::npos;
    while ((headerEnd = received.find("\r\n\r\n")) == std::string::npos)
    {
        if (received.size() > kMaxHeaderBytes)
        {
            problem = Describe() + ": the answer's header is too long";
            return CacheStoreResult::Failed;
        }
        long count = m_stream.Receive(buffer, sizeof buffer);
        if (count <= 0)
        {
            problem = Describe() + ": " + (count == 0 ? std::string("the server closed the connection")
                                                      : m_stream.Problem());
            return CacheStoreResult::Unreachable;
        }
        nothingReceived = false;
        received.append(buffer, size_t(count));
    }
    std::vector<std::string> lines = SplitText(received.substr(0, headerEnd), '\n');
    const std::string& statusLine = lines.front();
    uint64_t status = 0;
    if (statusLine.rfind("HTTP/1.", 0) != 0 || statusLine.size() < 12 ||
        !ParseNumber(std::string_view(statusLine).substr(9, 3), status))
    {
        problem = Describe() + ": not an HTTP answer";
        return CacheStoreResult::Failed;
    }
    response.status = int(status);
    bool haveLength = false, chunked = false, closes = false;
    uint64_t length = 0;
    for (size_t i = 1; i < lines.size(); ++i)
    {
        std::string_view value;
        if (HeaderValue(lines[i], "Content-Length", value))
            haveLength = ParseNumber(value, length);
        else if (HeaderValue(lines[i], "Transfer-Encoding", value))
            chunked = FindNoCase(value, "chunked") != std::string::npos;
        else if (HeaderValue(lines[i], "Connection", value))
            closes = FindNoCase(value, "close") != std::string::npos;
    }
    bool noBody = headOnly || status == 204 || status == 304 || (status >= 100 && status < 200);
    std::string body = received.substr(headerEnd + 4);
    if (!noBody)
    {
        if (chunked)
        {
            problem = Describe() + ": chunked answers are not read";
            return CacheStoreResult::Failed;
        }
        if (haveLength && length > kMaxEntryBytes)
        {
            problem = Describe() + ": an answer of " + std::to_string(length) + " bytes is refused";
            return CacheStoreResult::Failed;
        }
        // Without a length the body runs to the end of the connection.
        while (haveLength ? body.size() < length : true)
        {
            long count = m_stream.Receive(buffer, sizeof buffer);
            if (count == 0 && !haveLength)
            {
                closes = true;
                break;
            }
            if (count <= 0)
            {
                problem = Describe() + ": the answer ended after " + std::to_string(body.size()) + " of " +
                          std::to_string(length) + " bytes";
                return CacheStoreResult::Failed;
            }
            body.append(buffer, size_t(count));
            if (body.size() > kMaxEntryBytes)
            {
                problem = Describe() + ": the answer is too long";
                return CacheStoreResult::Failed;
            }
        }
        if (haveLength && body.size() > length)
        {
            problem = Describe() + ": more bytes than announced";
            return CacheStoreResult::Failed;
        }
    }
    if (closes)
        m_stream.Close();
    response.body = std::move(body);
    return CacheStoreResult::Done;
}

} // namespace mw
