// The manual-reset event and the millisecond clock.
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/ManualResetEvent.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace mw {
namespace {

TEST(ManualResetEvent, StaysSetUntilResetAndWakesWaiters)
{
    ManualResetEvent event;
    EXPECT_FALSE(event.IsSet());
    EXPECT_FALSE(event.Wait(1));
    std::thread setter([&] {
        SleepMs(20);
        event.Set();
    });
    EXPECT_TRUE(event.Wait(5000));
    setter.join();
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.IsSet());
    EXPECT_TRUE(event.Reset());
    EXPECT_FALSE(event.IsSet());
}

TEST(Clock, TicksAdvanceInMilliseconds)
{
    uint64_t start = TickCountMs();
    SleepMs(30);
    uint64_t elapsed = TickCountMs() - start;
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 5000u);
}

#ifdef _WIN32
TEST(KnownFolders, DocumentsFolderIsTheShellsExistingFolder)
{
    std::string documents = DocumentsFolder();
    ASSERT_FALSE(documents.empty());
    EXPECT_TRUE(IsFolder(documents)) << documents;
}
#else
TEST(KnownFolders, DocumentsFolderFollowsXdgThenHome)
{
    const char* oldHome = std::getenv("HOME");
    std::string savedHome = oldHome ? oldHome : "";
    ::setenv("XDG_DOCUMENTS_DIR", "/docs/here", 1);
    EXPECT_EQ(DocumentsFolder(), "/docs/here");
    ::unsetenv("XDG_DOCUMENTS_DIR");
    ::setenv("HOME", "/nonexistent-home", 1);
    ::setenv("XDG_CONFIG_HOME", "/nonexistent-config", 1);
    EXPECT_EQ(DocumentsFolder(), "/nonexistent-home/Documents");
    ::setenv("HOME", savedHome.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
}
#endif

} // namespace
} // namespace mw
