// The build cache's pure parts: SHA-256, the entry format and its checks,
// netrc credentials, Basic authorization and HTTP addresses.
#include "buildcache/CacheCredentials.h"
#include "buildcache/CacheEntry.h"
#include "buildcache/HttpCacheStore.h"
#include "buildcache/Sha256.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

TEST(Sha256, StandardVectorsWholeAndInPieces)
{
    EXPECT_EQ(Sha256::HexOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256::HexOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256::HexOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // A million 'a' fed in pieces that straddle the 64-byte blocks.
    Sha256 hash;
    std::string piece(997, 'a');
    size_t fed = 0;
    while (fed + piece.size() <= 1000000)
    {
        hash.Update(piece);
        fed += piece.size();
    }
    hash.Update(std::string(1000000 - fed, 'a'));
    EXPECT_EQ(Sha256::Hex(hash.Finish()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(CacheEntryFormat, RoundTripsAndRefusesEveryDamage)
{
    std::string payload("compiled\0bytes\n\n", 16);
    std::string bytes = EncodeCacheEntry(payload, 1);
    CacheEntry entry;
    std::string problem;
    ASSERT_TRUE(DecodeCacheEntry(bytes, entry, problem)) << problem;
    EXPECT_EQ(entry.payload, payload);
    EXPECT_EQ(entry.exitCode, 1u);

    std::string flipped = bytes;
    flipped.back() ^= 1;
    std::string badSize = bytes;
    badSize.replace(badSize.find("size 16"), 7, "size 15");
    struct Damage
    {
        const char* what;
        std::string bytes;
    } damages[] = {
        {"empty", ""},
        {"truncated", bytes.substr(0, bytes.size() - 1)},
        {"header only", bytes.substr(0, bytes.find("\n\n") + 2)},
        {"extra byte", bytes + "x"},
        {"flipped byte", flipped},
        {"size disagrees", badSize},
        {"not an entry", "<html>502 Bad Gateway</html>"},
    };
    for (const Damage& damage : damages)
    {
        CacheEntry refused;
        refused.payload = "untouched";
        EXPECT_FALSE(DecodeCacheEntry(damage.bytes, refused, problem)) << damage.what;
        EXPECT_EQ(refused.payload, "untouched") << damage.what;
    }
}

TEST(CacheCredentials, NetrcMachineBeforeDefaultAndQuotedPasswords)
{
    std::string netrc = "default login anon password none\n"
                        "machine other.example login bob password b0b\n"
                        "machine Cache.Example\n  login team\n  password \"two words\"\n";
    CacheCredentials credentials;
    ASSERT_TRUE(FindNetrcCredentials(netrc, "cache.example", credentials));
    EXPECT_EQ(credentials.user, "team");
    EXPECT_EQ(credentials.password, "two words");
    ASSERT_TRUE(FindNetrcCredentials(netrc, "unknown.example", credentials));
    EXPECT_EQ(credentials.user, "anon");
    EXPECT_FALSE(FindNetrcCredentials("machine a login x password y", "b", credentials));

    EXPECT_EQ(BasicAuthorization({"Aladdin", "open sesame"}), "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
    EXPECT_EQ(BasicAuthorization({"a", ""}), "Basic YTo=");
}

TEST(CacheCredentials, EnvironmentCredentialsAreTakenOutOfTheEnvironment)
{
    ::setenv("MODWRIGHT_CACHE_USER", "builder", 1);
    ::setenv("MODWRIGHT_CACHE_PASSWORD", "secret", 1);
    std::optional<CacheCredentials> taken = TakeEnvironmentCredentials();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->user, "builder");
    EXPECT_EQ(taken->password, "secret");
    // A compiler started now inherits neither.
    EXPECT_EQ(std::getenv("MODWRIGHT_CACHE_USER"), nullptr);
    EXPECT_EQ(std::getenv("MODWRIGHT_CACHE_PASSWORD"), nullptr);
    EXPECT_FALSE(TakeEnvironmentCredentials());
}

TEST(HttpAddressParsing, AcceptsHttpAddressesOnly)
{
    HttpAddress address;
    ASSERT_TRUE(ParseHttpAddress("http://cache.example:8080/team/mod", address));
    EXPECT_EQ(address.host, "cache.example");
    EXPECT_EQ(address.port, 8080);
    EXPECT_EQ(address.basePath, "/team/mod/");
    ASSERT_TRUE(ParseHttpAddress("HTTP://user:pw@127.0.0.1", address));
    EXPECT_EQ(address.host, "127.0.0.1");
    EXPECT_EQ(address.port, 80);
    EXPECT_EQ(address.basePath, "/");
    EXPECT_TRUE(address.hadCredentials);
    for (const char* bad : {"https://cache.example/", "http://", "http://host:0/", "http://host:99999/",
                            "http://host:80x/", "http://host/a b", "ftp://host/"})
        EXPECT_FALSE(ParseHttpAddress(bad, address)) << bad;
}

} // namespace
} // namespace mw
