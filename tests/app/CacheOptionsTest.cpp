// The build cache's settings: what a Tools.ini without [Cache] means, and the
// options dialog's write-back of the section.
#include "app/CModwrightApp.h"
#include "app/CacheOptions.h"
#include "app/OptionSettings.h"
#include "platform/Environment.h"
#include "platform/ProfileFile.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sstream>

namespace mw {
namespace {

TEST(CacheOptions, WithoutACacheSectionTheLocalCacheIsBelowTheUserCacheFolder)
{
    test::TempFolder temp;
    std::string ini = temp / "Tools.ini";
    test::WriteFile(ini, "[Login]\nlocaldir=/w\n");
    CacheOptions options = ReadCacheOptions(ini);
    EXPECT_EQ(options, CacheOptions{});
    BuildCacheSettings settings = ToCacheSettings(options);
    EXPECT_EQ(settings.localFolder, UserCacheFolder() + "/modwright/build");
    EXPECT_EQ(settings.localLimitBytes, uint64_t(10240) << 20);
    EXPECT_EQ(settings.shared, "");
    EXPECT_FALSE(settings.readOnly);
    // Test programs never touch the cache of whoever runs them.
    std::optional<std::string> home = EnvironmentValue("HOME");
    if (home)
    {
        EXPECT_NE(UserCacheFolder(), *home + "/.cache");
    }

    test::WriteFile(ini, "[Cache]\nlocal=OFF\nlocalsize=0\nshared=/team/cache\n");
    settings = ToCacheSettings(ReadCacheOptions(ini));
    EXPECT_EQ(settings.localFolder, "");
    EXPECT_EQ(settings.localLimitBytes, 0u);
    EXPECT_EQ(settings.shared, "/team/cache");
}

#ifndef _WIN32
TEST(CacheOptions, WithoutAUserCacheFolderTheDefaultLocalCacheIsOffWithAReason)
{
    std::optional<std::string> home = EnvironmentValue("HOME");
    std::optional<std::string> xdg = EnvironmentValue("XDG_CACHE_HOME");
    unsetenv("HOME");
    unsetenv("XDG_CACHE_HOME");
    BuildCacheSettings settings = ToCacheSettings(CacheOptions{});
    CacheOptions off;
    off.local = "off";
    BuildCacheSettings offSettings = ToCacheSettings(off);
    if (home)
        setenv("HOME", home->c_str(), 1);
    if (xdg)
        setenv("XDG_CACHE_HOME", xdg->c_str(), 1);
    EXPECT_EQ(settings.localFolder, "");
    EXPECT_NE(settings.localProblem.find("no user cache folder"), std::string::npos) << settings.localProblem;
    // A cache the user switched off is no problem.
    EXPECT_EQ(offSettings.localProblem, "");
}
#endif

TEST(CacheOptions, OptionsDialogSettingsAreAppliedAndWrittenToTheCacheSection)
{
    test::TempFolder temp;
    std::ostringstream out;
    test::ScriptedPrompt prompt;
    AppEnvironment environment;
    environment.startFolder = temp / "start";
    environment.documentsFolder = temp / "docs";
    environment.out = &out;
    environment.prompt = &prompt;
    std::string ini = temp / "Tools.ini";
    {
        CModwrightApp app(environment);
        ASSERT_TRUE(app.InitInstance({"-ini", ini}));
        OptionSettings settings = ReadOptionSettings(app);
        EXPECT_EQ(settings.cache, CacheOptions{});
        settings.cache.local = temp / "mycache";
        settings.cache.localSizeMiB = 500;
        settings.cache.shared = "http://127.0.0.1:9/team";
        settings.cache.readOnly = true;
        ASSERT_TRUE(ApplyOptionSettings(app, settings));
        EXPECT_EQ(app.GetCacheOptions(), settings.cache);
        EXPECT_EQ(ReadProfileString("Cache", "local", "", ini), temp / "mycache");
        EXPECT_EQ(ReadProfileString("Cache", "localsize", "", ini), "500");
        EXPECT_EQ(ReadProfileString("Cache", "shared", "", ini), "http://127.0.0.1:9/team");
        EXPECT_EQ(ReadProfileString("Cache", "readonly", "", ini), "1");
    }
    CModwrightApp again(environment);
    ASSERT_TRUE(again.InitInstance({"-ini", ini}));
    EXPECT_EQ(again.GetCacheOptions().shared, "http://127.0.0.1:9/team");
    EXPECT_TRUE(again.GetCacheOptions().readOnly);
}

} // namespace
} // namespace mw
