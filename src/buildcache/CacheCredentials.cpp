// Credentials for the HTTP build cache.
#include "CacheCredentials.h"

#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <cctype>
#include <cstdint>
#include <vector>

namespace mw {
namespace {

// Netrc tokens are separated by any white space; a value may be in double
// quotes (with no escapes) so that a password can hold blanks.
std::vector<std::string> NetrcTokens(const std::string& text)
{
    std::vector<std::string> tokens;
    size_t pos = 0;
    while (pos < text.size())
    {
        while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
            ++pos;
        if (pos >= text.size())
            break;
        std::string token;
        if (text[pos] == '"')
        {
            size_t end = text.find('"', pos + 1);
            if (end == std::string::npos)
                end = text.size();
            token = text.substr(pos + 1, end - pos - 1);
            pos = end + 1;
        }
        else
        {
            size_t start = pos;
            while (pos < text.size() && !std::isspace(static_cast<unsigned char>(text[pos])))
                ++pos;
            token = text.substr(start, pos - start);
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

} // namespace

bool FindNetrcCredentials(const std::string& netrcText, const std::string& host, CacheCredentials& credentials)
{
    std::vector<std::string> tokens = NetrcTokens(netrcText);
    CacheCredentials fallback;
    bool haveFallback = false;
    for (size_t i = 0; i < tokens.size(); ++i)
    {
        bool isDefault = tokens[i] == "default";
        if (tokens[i] != "machine" && !isDefault)
            continue;
        bool matches = isDefault || (i + 1 < tokens.size() && EqualsNoCase(tokens[i + 1], host));
        if (!isDefault)
            ++i;
        CacheCredentials entry;
        // The entry's pairs run up to the next machine or default.
        size_t j = i + 1;
        for (; j + 1 < tokens.size() && tokens[j] != "machine" && tokens[j] != "default"; j += 2)
        {
            if (tokens[j] == "login")
                entry.user = tokens[j + 1];
            else if (tokens[j] == "password")
                entry.password = tokens[j + 1];
        }
        i = j - 1;
        if (matches && !isDefault)
        {
            credentials = entry;
            return true;
        }
        if (isDefault && !haveFallback)
        {
            fallback = entry;
            haveFallback = true;
        }
    }
    if (haveFallback)
        credentials = fallback;
    return haveFallback;
}

std::optional<CacheCredentials> TakeEnvironmentCredentials()
{
    std::optional<std::string> user = EnvironmentValue("MODWRIGHT_CACHE_USER");
    std::optional<std::string> password = EnvironmentValue("MODWRIGHT_CACHE_PASSWORD");
    if (!user && !password)
        return std::nullopt;
    RemoveFromEnvironment("MODWRIGHT_CACHE_USER");
    RemoveFromEnvironment("MODWRIGHT_CACHE_PASSWORD");
    return CacheCredentials{user.value_or(""), password.value_or("")};
}

CacheCredentials NetrcCredentials(const std::string& host)
{
    CacheCredentials credentials;
    std::string netrcPath;
    if (std::optional<std::string> named = EnvironmentValue("NETRC"); named && !named->empty())
        netrcPath = *named;
#if defined(_WIN32)
    else if (std::optional<std::string> profile = EnvironmentValue("USERPROFILE"))
        netrcPath = *profile + "\\_netrc";
#else
    else if (std::optional<std::string> home = EnvironmentValue("HOME"))
        netrcPath = *home + "/.netrc";
#endif
    std::string text;
    if (!netrcPath.empty() && ReadWholeFile(netrcPath, text))
        FindNetrcCredentials(text, host, credentials);
    return credentials;
}

std::string BasicAuthorization(const CacheCredentials& credentials)
{
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string plain = credentials.user + ":" + credentials.password;
    std::string encoded;
    for (size_t i = 0; i < plain.size(); i += 3)
    {
        uint32_t group = uint32_t(static_cast<unsigned char>(plain[i])) << 16;
        if (i + 1 < plain.size())
            group |= uint32_t(static_cast<unsigned char>(plain[i + 1])) << 8;
        if (i + 2 < plain.size())
            group |= uint32_t(static_cast<unsigned char>(plain[i + 2]));
        encoded += kAlphabet[(group >> 18) & 63];
        encoded += kAlphabet[(group >> 12) & 63];
        encoded += i + 1 < plain.size() ? kAlphabet[(group >> 6) & 63] : '=';
        encoded += i + 2 < plain.size() ? kAlphabet[group & 63] : '=';
    }
    return "Basic " + encoded;
}

} // namespace mw
