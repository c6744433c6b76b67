// Asset compiles with several compilers at once, on real compilers and the
// real archive tool: the same outputs, archives, counts and log as one
// compiler at a time, and Stop ends the compilers that run.
#include "BuildContext.h"
#include "assets/AssetRegistry.h"
#include "assets/AssetTypes.h"
#include "assets/BuildDriver.h"
#include "assets/types/BinaryAsset.h"
#include "assets/types/TextFileAsset.h"
#include "assets/types/TextureAsset.h"
#include "buildcache/BuildCache.h"
#include "buildcache/CacheCredentials.h"
#include "platform/CommandLine.h"
#include "platform/CompilerWorkers.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/LocalSourceControlBackend.h"
#include "support/BuildTree.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <gtest/gtest.h>
#include <thread>

namespace mw {
namespace {

using test::ArchiveContent;
using test::BuildContext;
using test::TempFolder;
using test::WriteFile;

// An 8x8 true-colour Targa image.
std::string SmallTarga(int seed)
{
    std::string image(18, '\0');
    image[2] = 2;
    image[12] = 8;
    image[14] = 8;
    image[16] = 24;
    for (int i = 0; i < 8 * 8 * 3; ++i)
        image.push_back(char((i * 7 + seed) & 0xFF));
    return image;
}

// Three resource folders of textures and copies; one texture's image is
// broken and one copy's source is missing, so two assets fail.
void MakeTree(const std::string& work)
{
    for (int folder = 0; folder < 3; ++folder)
    {
        std::string group = "g" + std::to_string(folder) + "/";
        EnsureFolders(work + "assets/" + group);
        for (int i = 0; i < 4; ++i)
        {
            std::string name = group + "t" + std::to_string(i);
            bool broken = folder == 1 && i == 3;
            WriteFile(work + "source/" + name + ".tga", broken ? "not an image" : SmallTarga(folder * 10 + i));
            TextureAsset texture;
            TextureProperties fields;
            fields.source = name + ".tga";
            texture.SetFields(fields);
            ASSERT_TRUE(AssetRegistry::SaveAsset(texture, work + "assets/" + name + ".tex", AssetHeader::NewAsset()));
        }
        for (int i = 0; i < 3; ++i)
        {
            std::string name = group + "doc" + std::to_string(i) + ".txt";
            WriteFile(work + "source/" + name, "text " + name);
            TextFileAsset text;
            text.SetSource(name);
            ASSERT_TRUE(AssetRegistry::SaveAsset(text, work + "assets/" + name, AssetHeader::NewAsset()));
        }
        std::string binary = group + "data.bin";
        if (folder != 2)
            WriteFile(work + "source/" + binary, std::string(100, char('a' + folder)));
        BinaryAsset asset;
        asset.SetSource(binary);
        ASSERT_TRUE(AssetRegistry::SaveAsset(asset, work + "assets/" + binary, AssetHeader::NewAsset()));
    }
}

// One build of the tree into its own build folder.
struct TreeBuild
{
    TreeBuild(const TempFolder& temp, const std::string& buildName)
        : context(temp / "work/", temp / (buildName + "/"), ExecutableFolder() + "/"), driver(context, registry)
    {
        context.realRuns = true;
        RegisterAssetTypes(registry, context);
    }

    // The log with this build's folder written as "BUILD/", a line per
    // text line: a program's output is logged in the pieces the pipe gave,
    // and where those pieces end depends on timing, not on the build.
    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        for (const test::LogLine& line : context.log)
        {
            std::string text = line.text;
            for (size_t at; (at = text.find(context.GetBuildDir())) != std::string::npos;)
                text.replace(at, context.GetBuildDir().size(), "BUILD/");
            for (const std::string& part : SplitText(text, '\n'))
                if (!part.empty())
                    lines.push_back((line.error ? "ERROR " : "") + part);
        }
        return lines;
    }

    BuildContext context;
    AssetRegistry registry;
    BuildDriver driver;
    // Used when the context is given them.
    CompilerWorkers workers{ExecutableFolder()};
};

// The tree with two builds of it: one compiler at a time, each in a process
// of its own, and four, on compilers kept running.
struct SerialAndParallel
{
    SerialAndParallel()
    {
        MakeTree(temp / "work/");
        serial.driver.SetJobs(1);
        parallel.driver.SetJobs(4);
        parallel.context.workers = &parallel.workers;
    }

    TempFolder temp;
    TreeBuild serial{temp, "serial"};
    TreeBuild parallel{temp, "parallel"};
};

// The log as one text: a program's output reaches the log in chunks whose
// boundaries depend on the pipe.
std::string LogText(const TreeBuild& build)
{
    std::string text;
    for (const std::string& line : build.Log())
        text += line + "\n";
    return text;
}

TEST(ParallelBuild, GivesTheOutputsArchivesCountsAndLogOfASerialBuild)
{
    SerialAndParallel builds;
    auto& [temp, serial, parallel] = builds;

    for (bool force : {false, true})
    {
        serial.context.log.clear();
        parallel.context.log.clear();
        int serialErrors = serial.driver.CompileAssets("assets/", force, false);
        int parallelErrors = parallel.driver.CompileAssets("assets/", force, false);
        EXPECT_EQ(serialErrors, 2);
        EXPECT_EQ(parallelErrors, serialErrors);
        EXPECT_EQ(LogText(parallel), LogText(serial));

        std::vector<std::string> serialFiles = test::ExpectSameBuild(temp / "serial/", temp / "parallel/");
        int archives = int(std::count_if(serialFiles.begin(), serialFiles.end(),
                                         [](const std::string& file) { return EqualsNoCase(Extension(file), "arc"); }));
        EXPECT_EQ(archives, 3);
        // Eleven good assets of twelve per folder less the missing copy: every
        // output is in its archive.
        EXPECT_EQ(ArchiveContent(temp / "parallel/resources/g0.arc").find("t3.tex") != std::string::npos, true);
        EXPECT_EQ(ArchiveContent(temp / "parallel/resources/g1.arc").find("t3.tex"), std::string::npos);
    }
}

// The local backend's listing with the files of "g0/" split in two: its
// second half comes after the other folders, as a listing that is not
// sorted by folder can give.
class SplitListingBackend : public LocalSourceControlBackend
{
public:
    void GetFilesUnderDirectory(const std::string& path, std::vector<std::string>& list) override
    {
        LocalSourceControlBackend::GetFilesUnderDirectory(path, list);
        auto firstOfG0 =
            std::find_if(list.begin(), list.end(), [](const std::string& f) { return f.rfind("g0/", 0) == 0; });
        ASSERT_NE(firstOfG0, list.end());
        std::vector<std::string> later(firstOfG0 + 3, firstOfG0 + 6);
        list.erase(firstOfG0 + 3, firstOfG0 + 6);
        list.insert(list.end(), later.begin(), later.end());
    }
};

// Archives are packed beside the compiles of the next folder: what a serial
// build packs at its end, with the same lines in the same place, when the
// archive tool fails on one, and when a folder comes back later in the list.
TEST(ParallelBuild, ArchivesPackedBesideTheCompilesAreThoseOfASerialBuild)
{
    for (bool splitListing : {false, true})
    {
        SCOPED_TRACE(splitListing ? "a folder listed in two parts" : "an archive that cannot be written");
        SerialAndParallel builds;
        auto& [temp, serial, parallel] = builds;
        for (TreeBuild* build : {&serial, &parallel})
            if (splitListing)
                build->context.SourceControl().SetBackend(std::make_unique<SplitListingBackend>());
            else
                EnsureFolders(build->context.GetBuildDir() + "resources/g1.arc/");

        int serialErrors = serial.driver.CompileAssets("assets/", true, false);
        EXPECT_EQ(parallel.driver.CompileAssets("assets/", true, false), serialErrors);
        // g1's archive cannot be made: its seven outputs are errors, besides
        // the two assets that fail; the archive tool's complaint is logged once.
        EXPECT_EQ(serialErrors, splitListing ? 2 : 9);
        EXPECT_EQ(LogText(parallel), LogText(serial));
        test::ExpectSameBuild(temp / "serial/", temp / "parallel/");
    }
}

// A cache of its own on a folder that several builds share.
std::unique_ptr<BuildCache> FolderCache(const std::string& folder)
{
    BuildCacheSettings settings;
    settings.localFolder = folder;
    std::string problem;
    std::unique_ptr<BuildCache> cache = BuildCache::Open(settings, CacheCredentials{}, problem);
    EXPECT_TRUE(cache) << problem;
    return cache;
}

int CountLinesStartingWith(const std::vector<std::string>& lines, const std::string& start)
{
    return int(std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& line) { return line.rfind(start, 0) == 0; }));
}

TEST(ParallelBuild, WarmCacheGivesTheOutputsAndArchivesOfACompileAndAllHits)
{
    TempFolder temp;
    MakeTree(temp / "work/");
    // Four compilers at once fill the cache, storing beside each other.
    TreeBuild filler(temp, "filled");
    std::unique_ptr<BuildCache> fillerCache = FolderCache(temp / "cache");
    filler.driver.SetCache(fillerCache.get());
    filler.driver.SetJobs(4);
    EXPECT_EQ(filler.driver.CompileAssets("assets/", true, false), 2);
    // Twelve textures are looked up; copies are never cached.
    EXPECT_EQ(fillerCache->Hits(), 0);
    EXPECT_EQ(fillerCache->Misses(), 12);

    TreeBuild serial(temp, "serial");
    TreeBuild parallel(temp, "parallel");
    std::unique_ptr<BuildCache> serialCache = FolderCache(temp / "cache");
    std::unique_ptr<BuildCache> parallelCache = FolderCache(temp / "cache");
    serial.driver.SetCache(serialCache.get());
    parallel.driver.SetCache(parallelCache.get());
    serial.driver.SetJobs(1);
    parallel.driver.SetJobs(4);
    EXPECT_EQ(serial.driver.CompileAssets("assets/", true, false), 2);
    EXPECT_EQ(parallel.driver.CompileAssets("assets/", true, false), 2);

    // Every good texture comes from the cache; the broken one failed to
    // compile, so nothing was stored for it and it is compiled (and fails)
    // again.
    for (BuildCache* cache : {serialCache.get(), parallelCache.get()})
    {
        EXPECT_EQ(cache->Hits(), 11);
        EXPECT_EQ(cache->Misses(), 1);
    }
    std::vector<std::string> serialLog = serial.Log();
    std::vector<std::string> parallelLog = parallel.Log();
    EXPECT_EQ(CountLinesStartingWith(parallelLog, "From cache: BUILD/resources/"), 11);
    // Each "From cache:" line stays with its asset's own lines.
    EXPECT_EQ(parallelLog, serialLog);
    test::ExpectSameBuild(temp / "filled/", temp / "parallel/");
    test::ExpectSameBuild(temp / "filled/", temp / "serial/");
}

// Compilers that take a while, counting how many run at once.
class CountingContext : public BuildContext
{
public:
    using BuildContext::BuildContext;

    bool RunToolInto(const std::string& commandLine, const char* folder, IProcessOutput& output,
                     ProcessOutcome& outcome) override
    {
        int now = ++running;
        for (int seen = most.load(); now > seen && !most.compare_exchange_weak(seen, now);)
        {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        bool ran = BuildContext::RunToolInto(commandLine, folder, output, outcome);
        --running;
        return ran;
    }

    std::atomic<int> running{0};
    std::atomic<int> most{0};
};

// The tree and a build of it with two compilers, through a context of its
// own that runs the programs.
template <class Context>
struct TreeWith
{
    TreeWith()
    {
        MakeTree(temp / "work/");
        context.realRuns = true;
        RegisterAssetTypes(registry, context);
        driver.SetJobs(2);
    }

    TempFolder temp;
    Context context{temp / "work/", temp / "build/", ExecutableFolder() + "/"};
    AssetRegistry registry;
    BuildDriver driver{context, registry};
};

TEST(ParallelBuild, RunsNoMoreCompilersAtOnceThanAskedFor)
{
    TreeWith<CountingContext> tree;
    EXPECT_EQ(tree.driver.CompileAssets("assets/", false, false), 2);
    EXPECT_EQ(tree.context.most.load(), 2);
}

// Compilers that write part of their output and then take long.
class SlowCompilerContext : public BuildContext
{
public:
    using BuildContext::BuildContext;

    bool RunToolInto(const std::string& commandLine, const char* folder, IProcessOutput& output,
                     ProcessOutcome& outcome) override
    {
        if (commandLine.find("TexForge") == std::string::npos)
            return BuildContext::RunToolInto(commandLine, folder, output, outcome);
        for (const std::string& argument : SplitCommandLine(commandLine))
            if (argument.rfind(GetBuildDir(), 0) == 0)
                WriteFile(argument, "partial");
        ++started;
        return BuildContext::RunToolInto("TestTool --sleep 30000", folder, output, outcome);
    }

    std::atomic<int> started{0};
};

TEST(ParallelBuild, StopEndsTheRunningCompilersAndLeavesNoPartialOutput)
{
    TreeWith<SlowCompilerContext> tree;
    auto& [temp, context, registry, driver] = tree;
    CompilerWorkers workers(ExecutableFolder());
    context.workers = &workers;

    std::thread stopper([&] {
        while (context.started.load() < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        context.RequestCancel();
    });
    int errors = driver.CompileAssets("assets/", false, false);
    stopper.join();

    // The two running compilers were ended, nothing after them started, and
    // a stopped asset is skipped, not failed.
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(context.started.load(), 2);
    EXPECT_FALSE(context.IsCancelled());
    EXPECT_EQ(context.ErrorLineCount(), 0);
    EXPECT_FALSE(PathExists(temp / "build/resources/g0/t0.tex"));
    EXPECT_FALSE(PathExists(temp / "build/resources/g0/t1.tex"));
    EXPECT_FALSE(PathExists(temp / "build/resources/g0/t2.tex"));
    EXPECT_EQ(context.Texts().back(), "Done.");

    // The next build compiles them.
    context.log.clear();
    context.started = 0;
    std::thread secondStopper([&] {
        while (context.started.load() < 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        context.RequestCancel();
    });
    driver.CompileAssets("assets/", false, false);
    secondStopper.join();
    EXPECT_TRUE(context.HasLine(temp / "build/resources/g0/t0.tex"));
}

} // namespace
} // namespace mw
