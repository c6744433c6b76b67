// Credentials for an HTTP build cache: from the environment
// (MODWRIGHT_CACHE_USER, MODWRIGHT_CACHE_PASSWORD) or a netrc-style file. They
// are kept in memory only, sent only in the Authorization header and never
// logged.
#pragma once

#include <optional>
#include <string>

namespace mw {

struct CacheCredentials
{
    std::string user;
    std::string password;
    bool Empty() const { return user.empty() && password.empty(); }
};

// The login and password of the netrc text's "machine HOST" entry, or of its
// "default" entry when no machine matches; false when neither exists.
bool FindNetrcCredentials(const std::string& netrcText, const std::string& host, CacheCredentials& credentials);

// The two environment variables, when either is set; both are then removed
// from the environment, so that no compiler the build starts inherits them.
std::optional<CacheCredentials> TakeEnvironmentCredentials();
// The netrc entry for host from the file $NETRC names, else ~/.netrc
// (%USERPROFILE%\_netrc on Windows); empty when there is none.
CacheCredentials NetrcCredentials(const std::string& host);

// "Basic " + base64 of "user:password".
std::string BasicAuthorization(const CacheCredentials& credentials);

} // namespace mw
