// The two-level build cache over real folders, and an HTTP cache that is
// refused or never answers.
#include "buildcache/BuildCache.h"
#include "buildcache/CacheCredentials.h"
#include "buildcache/CacheEntry.h"
#include "buildcache/FolderCacheStore.h"
#include "buildcache/HttpCacheStore.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <thread>
#include <sys/socket.h>
#include <unistd.h>

namespace mw {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

std::string Key(char digit) { return std::string(64, digit); }

class BuildCacheTest : public ::testing::Test
{
protected:
    std::unique_ptr<BuildCache> Open(bool withShared, bool readOnly = false, uint64_t limit = 0)
    {
        BuildCacheSettings settings;
        settings.localFolder = temp / "local";
        settings.localLimitBytes = limit;
        settings.shared = withShared ? temp / "shared" : "";
        settings.readOnly = readOnly;
        std::string problem;
        auto cache = BuildCache::Open(settings, CacheCredentials{}, problem);
        EXPECT_TRUE(cache) << problem;
        return cache;
    }

    BuildCache::Warn Collect()
    {
        return [this](const std::string& text) { warnings.push_back(text); };
    }

    TempFolder temp;
    std::vector<std::string> warnings;
};

TEST_F(BuildCacheTest, StoredOutputIsFetchedWithItsExitCodeAndSharedHitsFillTheLocalCache)
{
    auto cache = Open(true);
    uint32_t exitCode = 7;
    EXPECT_FALSE(cache->Fetch(Key('a'), temp / "out/a.tex", exitCode, Collect()));
    WriteFile(temp / "build/a.tex", "texture bytes");
    cache->Store(Key('a'), temp / "build/a.tex", 1, Collect());
    EXPECT_TRUE(IsFile(temp / "local/aa/" + std::string(62, 'a')));
    EXPECT_TRUE(IsFile(temp / "shared/aa/" + std::string(62, 'a')));

    // Another machine: an empty local cache, the same share.
    DeleteFolderTree(temp / "local");
    auto other = Open(true);
    EnsureFolders(temp / "out");
    ASSERT_TRUE(other->Fetch(Key('a'), temp / "out/a.tex", exitCode, Collect()));
    EXPECT_EQ(ReadFile(temp / "out/a.tex"), "texture bytes");
    EXPECT_EQ(exitCode, 1u);
    EXPECT_TRUE(IsFile(temp / "local/aa/" + std::string(62, 'a')));
    EXPECT_EQ(other->Hits(), 1);
    EXPECT_EQ(cache->Misses(), 1);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(BuildCacheTest, DamagedEntriesAreMissesWithAWarningAndLeaveTheOutputAlone)
{
    auto cache = Open(true);
    WriteFile(temp / "build/a.tex", "texture bytes");
    cache->Store(Key('b'), temp / "build/a.tex", 0, Collect());
    std::string entryName = "bb/" + std::string(62, 'b');
    std::string entry = ReadFile(temp / "shared/" + entryName);
    // The local copy is truncated, the shared one has a flipped byte.
    WriteFile(temp / "local/" + entryName, entry.substr(0, entry.size() - 3));
    entry.back() ^= 0x20;
    WriteFile(temp / "shared/" + entryName, entry);
    WriteFile(temp / "out/a.tex", "previous output");

    uint32_t exitCode = 0;
    EXPECT_FALSE(cache->Fetch(Key('b'), temp / "out/a.tex", exitCode, Collect()));
    EXPECT_EQ(ReadFile(temp / "out/a.tex"), "previous output");
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_NE(warnings[0].find("truncated"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[1].find("does not match its hash"), std::string::npos) << warnings[1];
    // Damaged local entries are dropped; the share's owner repairs the share
    // (the next store replaces it).
    EXPECT_FALSE(IsFile(temp / "local/" + entryName));
    cache->Store(Key('b'), temp / "build/a.tex", 0, Collect());
    EXPECT_TRUE(cache->Fetch(Key('b'), temp / "out/a.tex", exitCode, Collect()));
    EXPECT_EQ(ReadFile(temp / "out/a.tex"), "texture bytes");
}

TEST_F(BuildCacheTest, ReadOnlyMembersNeverWriteTheSharedCache)
{
    auto cache = Open(true, true);
    WriteFile(temp / "build/a.tex", "texture bytes");
    cache->Store(Key('c'), temp / "build/a.tex", 0, Collect());
    EXPECT_TRUE(IsFile(temp / "local/cc/" + std::string(62, 'c')));
    EXPECT_FALSE(PathExists(temp / "shared"));
}

// A local cache that cannot be used is warned about once per build, and the
// shared level keeps working: a folder that cannot be made (below a plain
// file, whoever runs the test; a home folder that does not exist behaves so
// for most users), or no user cache folder at all.
TEST_F(BuildCacheTest, UnusableLocalCacheIsWarnedAboutOncePerBuild)
{
    WriteFile(temp / "not-a-folder", "file");
    BuildCacheSettings cannotBeMade;
    cannotBeMade.localFolder = temp / "not-a-folder/cache";
    BuildCacheSettings noUserFolder;
    noUserFolder.localProblem = "there is no user cache folder";
    for (BuildCacheSettings settings : {cannotBeMade, noUserFolder})
    {
        SCOPED_TRACE(settings.localFolder);
        DeleteFolderTree(temp / "shared");
        warnings.clear();
        settings.shared = temp / "shared";
        std::string problem;
        auto cache = BuildCache::Open(settings, CacheCredentials{}, problem);
        ASSERT_TRUE(cache) << problem;
        WriteFile(temp / "build/a.tex", "texture bytes");
        uint32_t exitCode = 0;
        for (char digit : {'1', '2', '3'})
        {
            EXPECT_FALSE(cache->Fetch(Key(digit), temp / "build/b.tex", exitCode, Collect()));
            cache->Store(Key(digit), temp / "build/a.tex", 0, Collect());
        }
        // Shared hits would be copied into the local cache: not tried either.
        EXPECT_TRUE(cache->Fetch(Key('2'), temp / "build/b.tex", exitCode, Collect()));
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings[0].rfind("WARNING Local cache not used for the rest of this build: ", 0), 0u)
            << warnings[0];
        EXPECT_TRUE(IsFile(temp / "shared/33/" + std::string(62, '3')));
        EXPECT_EQ(ReadFile(temp / "build/b.tex"), "texture bytes");
        // The next build tries again, and warns again.
        cache->BeginBuild();
        cache->Store(Key('4'), temp / "build/a.tex", 0, Collect());
        EXPECT_EQ(warnings.size(), 2u);
    }
    EXPECT_EQ(warnings[0], "WARNING Local cache not used for the rest of this build: there is no user cache folder");

    // With no shared level either, nothing is usable and the counts say nothing.
    noUserFolder.shared.clear();
    std::string problem;
    auto alone = BuildCache::Open(noUserFolder, CacheCredentials{}, problem);
    ASSERT_TRUE(alone) << problem;
    EXPECT_TRUE(alone->Usable());
    uint32_t exitCode = 0;
    EXPECT_FALSE(alone->Fetch(Key('5'), temp / "build/c.tex", exitCode, Collect()));
    alone->Store(Key('5'), temp / "build/a.tex", 0, Collect());
    EXPECT_FALSE(alone->Usable());
}

TEST_F(BuildCacheTest, LocalCacheEvictsTheLeastRecentlyUsedEntries)
{
    // Each entry is about 1100 bytes; the limit holds three.
    std::string payload(1000, 'x');
    WriteFile(temp / "build/out", payload);
    size_t entrySize = EncodeCacheEntry(payload, 0).size();
    auto cache = Open(false, false, 3 * entrySize + 10);
    uint32_t exitCode = 0;
    for (char digit : {'1', '2', '3'})
    {
        cache->Store(Key(digit), temp / "build/out", 0, Collect());
        // File times must differ for the order to be seen.
        SleepMs(20);
    }
    // Using the oldest makes it the newest.
    EXPECT_TRUE(cache->Fetch(Key('1'), temp / "build/fetched", exitCode, Collect()));
    SleepMs(20);
    cache->Store(Key('4'), temp / "build/out", 0, Collect());
    EXPECT_TRUE(IsFile(temp / "local/11/" + std::string(62, '1')));
    EXPECT_FALSE(IsFile(temp / "local/22/" + std::string(62, '2')));
    EXPECT_TRUE(IsFile(temp / "local/44/" + std::string(62, '4')));
    EXPECT_LE(FolderCacheStore(temp / "local", 0).CountBytes(), 3 * entrySize + 10);
}

// A port on 127.0.0.1 that takes connections into its backlog and never
// answers them; closed again when the object ends.
class SilentServer
{
public:
    SilentServer()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(m_fd, 16) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            ADD_FAILURE() << "no loopback port";
        port = ntohs(address.sin_port);
        ::fcntl(m_fd, F_SETFL, O_NONBLOCK);
    }
    ~SilentServer() { ::close(m_fd); }
    // The connections made to it so far.
    int Connections()
    {
        int count = 0;
        for (int fd; (fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK)) >= 0 || errno == EINTR;)
            if (fd >= 0)
            {
                ::close(fd);
                ++count;
            }
        return count;
    }
    int port = 0;

private:
    int m_fd = -1;
};

TEST_F(BuildCacheTest, ServerThatDoesNotAnswerIsSkippedForTheRestOfTheBuild)
{
    SilentServer silent;
    HttpAddress address;
    ASSERT_TRUE(ParseHttpAddress("http://127.0.0.1:" + std::to_string(silent.port) + "/cache", address));
    BuildCache cache(std::make_unique<FolderCacheStore>(temp / "local", 0),
                     std::make_unique<HttpCacheStore>(address, CacheCredentials{}, 1), false);
    WriteFile(temp / "build/a.tex", "texture bytes");
    uint64_t start = TickCountMs();
    uint32_t exitCode = 0;
    for (char digit : {'1', '2', '3', '4', '5'})
    {
        EXPECT_FALSE(cache.Fetch(Key(digit), temp / "build/b.tex", exitCode, Collect()));
        cache.Store(Key(digit), temp / "build/a.tex", 0, Collect());
    }
    // One wait of about a second, not one per asset.
    EXPECT_LT(TickCountMs() - start, 4000u);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("not used for the rest of this build"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("no answer within 1 s"), std::string::npos) << warnings[0];
    // The local level kept working.
    EXPECT_TRUE(cache.Fetch(Key('3'), temp / "build/b.tex", exitCode, Collect()));
    // The next build tries the server again.
    cache.BeginBuild();
    EXPECT_FALSE(cache.Fetch(Key('9'), temp / "build/b.tex", exitCode, Collect()));
    EXPECT_EQ(warnings.size(), 2u);
}

TEST_F(BuildCacheTest, CompilesQueuedBehindAServerThatDoesNotAnswerDoNotWaitAgain)
{
    SilentServer silent;
    HttpAddress address;
    ASSERT_TRUE(ParseHttpAddress("http://127.0.0.1:" + std::to_string(silent.port) + "/cache", address));
    BuildCache cache(nullptr, std::make_unique<HttpCacheStore>(address, CacheCredentials{}, 1), false);
    std::mutex warningsMutex;
    auto warn = [&](const std::string& text) {
        std::lock_guard<std::mutex> lock(warningsMutex);
        warnings.push_back(text);
    };
    auto fetch = [&](char digit) {
        uint32_t exitCode = 0;
        EXPECT_FALSE(cache.Fetch(Key(digit), temp / ("build/" + std::string(1, digit)), exitCode, warn));
    };
    std::thread first(fetch, '1'), second(fetch, '2');
    first.join();
    second.join();
    // The second compile gave up with the first one: it never waited for
    // (nor connected to) the server itself.
    EXPECT_EQ(silent.Connections(), 1);
    EXPECT_EQ(warnings.size(), 1u);
    EXPECT_EQ(cache.Misses(), 2);
}

} // namespace
} // namespace mw
