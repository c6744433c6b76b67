// Builds of real textures with the real compiler sharing one cache on a real
// web server: workspaces in different places share entries, a server killed
// mid-build leaves a correct build, a damaged entry is compiled again.
#include "NginxServer.h"
#include "build/BuildContext.h"
#include "assets/AssetRegistry.h"
#include "assets/AssetTypes.h"
#include "assets/BuildDriver.h"
#include "assets/types/TextureAsset.h"
#include "buildcache/BuildCache.h"
#include "buildcache/CacheCredentials.h"
#include "buildcache/HttpCacheStore.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "support/TempFolder.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace mw {
namespace {

using test::BuildContext;
using test::NginxServer;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

constexpr int kTextures = 6;

// An 8x8 true-colour Targa image that differs with seed.
std::string SmallTarga(int seed)
{
    std::string image(18, '\0');
    image[2] = 2;
    image[12] = 8;
    image[14] = 8;
    image[16] = 24;
    for (int i = 0; i < 8 * 8 * 3; ++i)
        image.push_back(char((i * 31 + seed * 7) & 0xFF));
    return image;
}

std::string TextureName(int i) { return "textures/t" + std::to_string(i) + ".tex"; }

// One member's checkout: its own folders (below root) and local cache, the
// team's shared cache.
class Workspace
{
public:
    Workspace(const std::string& root, const std::string& shared)
        : context(root + "work/", root + "build/", MW_TOOLS_DIR), driver(context, registry)
    {
        context.realRuns = true;
        RegisterAssetTypes(registry, context);
        driver.SetUnassociatedPolicy(BuildDriver::UnassociatedPolicy::ListOnly);
        for (int i = 0; i < kTextures; ++i)
        {
            WriteFile(root + "work/source/t" + std::to_string(i) + ".tga", SmallTarga(i));
            TextureAsset texture;
            TextureProperties fields;
            fields.source = "t" + std::to_string(i) + ".tga";
            fields.format = i % 2 ? 3 : 1;
            texture.SetFields(fields);
            EnsureFolders(root + "work/assets/textures/");
            EXPECT_TRUE(AssetRegistry::SaveAsset(texture, root + "work/assets/" + TextureName(i),
                                                 AssetHeader::NewAsset()));
        }
        BuildCacheSettings settings;
        settings.localFolder = root + "localcache";
        settings.shared = shared;
        settings.waitSeconds = 1;
        std::string problem;
        cache = BuildCache::Open(settings, CacheCredentials{}, problem);
        EXPECT_TRUE(cache) << problem;
        driver.SetCache(cache.get());
        m_root = root;
    }

    int Build(bool force)
    {
        context.runs.clear();
        context.log.clear();
        return driver.BuildAll(force, true);
    }
    int CompilerRuns() const
    {
        int runs = 0;
        for (const std::string& line : context.CommandLines())
            runs += line.find("TexForge") != std::string::npos;
        return runs;
    }
    int LinesStartingWith(const std::string& start) const
    {
        int count = 0;
        for (const std::string& text : context.Texts())
            count += text.rfind(start, 0) == 0;
        return count;
    }
    std::string Output(int i) const { return ReadFile(m_root + "build/resources/" + TextureName(i)); }
    void PrintLog() const
    {
        for (const std::string& text : context.Texts())
            std::printf("%s\n", text.c_str());
    }

    BuildContext context;
    AssetRegistry registry;
    BuildDriver driver;
    std::unique_ptr<BuildCache> cache;

private:
    std::string m_root;
};

class SharedCacheBuildTest : public ::testing::Test
{
protected:
    SharedCacheBuildTest() : server(temp / "nginx/") {}
    void SetUp() override { ASSERT_TRUE(server.Start()) << server.Problem(); }

    TempFolder temp;
    NginxServer server;
};

TEST_F(SharedCacheBuildTest, StoreAndFetchOverHttpWithMissesAsMisses)
{
    HttpAddress address;
    ASSERT_TRUE(ParseHttpAddress(server.Address(), address));
    HttpCacheStore store(address, CacheCredentials{}, 1);
    std::string problem, bytes;
    std::string key(64, 'e');
    EXPECT_EQ(store.Fetch(key, bytes, problem), CacheStoreResult::Missing) << problem;
    std::string entry(300000, 'z');
    entry[12345] = '\0';
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(store.Store(key, entry, problem), CacheStoreResult::Done) << problem;
    ASSERT_EQ(store.Fetch(key, bytes, problem), CacheStoreResult::Done) << problem;
    EXPECT_EQ(bytes, entry);
    EXPECT_EQ(ReadFile(server.StoreFolder() + "ee/" + std::string(62, 'e')), entry);
    server.Kill();
    EXPECT_EQ(store.Fetch(key, bytes, problem), CacheStoreResult::Unreachable);
}

TEST_F(SharedCacheBuildTest, WorkspacesInDifferentPlacesShareEntries)
{
    Workspace first(temp / "alice/", server.Address());
    ASSERT_EQ(first.Build(false), 0);
    EXPECT_EQ(first.CompilerRuns(), kTextures);
    EXPECT_TRUE(first.context.HasLine("Cache: 0 hit(s) 6 miss(es)"));

    Workspace second(temp / "elsewhere/deeper/bob/", server.Address());
    int errors = second.Build(false);
    if (HasFailure() || errors != 0)
        second.PrintLog();
    ASSERT_EQ(errors, 0);
    EXPECT_EQ(second.CompilerRuns(), 0);
    EXPECT_EQ(second.LinesStartingWith("From cache: "), kTextures);
    EXPECT_TRUE(second.context.HasLine("Cache: 6 hit(s) 0 miss(es)"));
    for (int i = 0; i < kTextures; ++i)
        EXPECT_EQ(second.Output(i), first.Output(i)) << i;
    // A forced build now finds everything in its own local cache, even
    // without the server.
    server.Kill();
    ASSERT_EQ(second.Build(true), 0);
    EXPECT_EQ(second.CompilerRuns(), 0);
    EXPECT_EQ(second.LinesStartingWith("WARNING"), 0);
}

TEST_F(SharedCacheBuildTest, ServerKilledMidBuildLeavesACorrectBuild)
{
    Workspace first(temp / "alice/", server.Address());
    ASSERT_EQ(first.Build(false), 0);

    Workspace second(temp / "bob/", server.Address());
    second.context.onLog = [this](const std::string& text) {
        if (text.rfind("From cache: ", 0) == 0)
            server.Kill();
    };
    int errors = second.Build(false);
    if (HasFailure() || errors != 0)
        second.PrintLog();
    ASSERT_EQ(errors, 0);
    EXPECT_EQ(second.LinesStartingWith("From cache: "), 1);
    EXPECT_EQ(second.CompilerRuns(), kTextures - 1);
    EXPECT_EQ(second.LinesStartingWith("WARNING Shared cache not used for the rest of this build"), 1);
    for (int i = 0; i < kTextures; ++i)
        EXPECT_EQ(second.Output(i), first.Output(i)) << i;
}

TEST_F(SharedCacheBuildTest, DamagedEntryOnTheServerIsCompiledAgain)
{
    Workspace first(temp / "alice/", server.Address());
    ASSERT_EQ(first.Build(false), 0);
    std::vector<std::string> damaged;
    std::vector<FolderEntry> folders;
    ASSERT_TRUE(ListFolder(server.StoreFolder(), folders));
    ASSERT_EQ(folders.size() > 0, true);
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(server.StoreFolder() + folders[0].name, entries));
    std::string entryPath = server.StoreFolder() + folders[0].name + "/" + entries[0].name;
    std::string bytes = ReadFile(entryPath);
    bytes[bytes.size() / 2 + 20] ^= 0x55;
    WriteFile(entryPath, bytes);

    Workspace second(temp / "bob/", server.Address());
    int errors = second.Build(false);
    if (HasFailure() || errors != 0)
        second.PrintLog();
    ASSERT_EQ(errors, 0);
    EXPECT_EQ(second.CompilerRuns(), 1);
    EXPECT_EQ(second.LinesStartingWith("WARNING Cache entry "), 1);
    for (int i = 0; i < kTextures; ++i)
        EXPECT_EQ(second.Output(i), first.Output(i)) << i;
    // The compile replaced the damaged entry.
    Workspace third(temp / "carol/", server.Address());
    ASSERT_EQ(third.Build(false), 0);
    EXPECT_EQ(third.CompilerRuns(), 0);
}

} // namespace
} // namespace mw
