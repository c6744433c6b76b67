// The build cache on a forced Build of texture assets, every figure from the
// same run and the same compilers at once:
//  - compiling every texture (no cache): the baseline;
//  - the first cached Build, which compiles and fills the shared cache;
//  - a teammate's Build with the shared cache warm and an empty local cache
//    (every output fetched from the shared folder and copied into the local
//    one): the figure the target is about;
//  - a Build with the local cache warm.
//   bench_cache [TEXTURES [IMAGE_SIZE]]   (default 1000 64: 64x64 images)
#include "BenchSupport.h"
#include "QuietApp.h"
#include "WorkspaceGenerator.h"
#include "app/CModwrightApp.h"
#include "assets/AssetRegistry.h"
#include "assets/AssetTypes.h"
#include "assets/BuildDriver.h"
#include "assets/types/TextureAsset.h"
#include "buildcache/BuildCache.h"
#include "buildcache/CacheCredentials.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/PathRules.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace mw;

namespace {

constexpr int kAssetsPerFolder = 100;

// A size x size true-colour Targa image that differs with seed.
std::string Targa(int size, int seed)
{
    std::string image(18, '\0');
    image[2] = 2;
    image[12] = char(size & 0xFF);
    image[13] = char(size >> 8);
    image[14] = char(size & 0xFF);
    image[15] = char(size >> 8);
    image[16] = 24;
    image.reserve(image.size() + size_t(size) * size * 3);
    for (int i = 0; i < size * size * 3; ++i)
        image.push_back(char((i * 31 + seed * 7 + (i / (size * 3)) * seed) & 0xFF));
    return image;
}

void GenerateTextures(const std::string& workingDir, int count, int size)
{
    for (int i = 0; i < count; ++i)
    {
        std::string folder = Format("g%03d/", i / kAssetsPerFolder);
        std::string name = Format("t%05d", i);
        EnsureFolders(workingDir + "source/" + folder);
        EnsureFolders(workingDir + "assets/" + folder);
        TextureAsset asset;
        TextureProperties fields;
        fields.source = folder + name + ".tga";
        fields.format = i % 2 ? 3 : 1;
        asset.SetFields(fields);
        if (!WriteFileAtomic(workingDir + "source/" + fields.source, Targa(size, i)) ||
            !AssetRegistry::SaveAsset(asset, workingDir + "assets/" + folder + name + ".tex", AssetHeader::NewAsset()))
        {
            std::fprintf(stderr, "could not write texture %s\n", name.c_str());
            std::exit(1);
        }
    }
}

std::unique_ptr<BuildCache> OpenCache(const std::string& local, const std::string& shared)
{
    BuildCacheSettings settings;
    settings.localFolder = local;
    settings.shared = shared;
    std::string problem;
    std::unique_ptr<BuildCache> cache = BuildCache::Open(settings, CacheCredentials{}, problem);
    if (!cache)
    {
        std::fprintf(stderr, "cache not opened: %s\n", problem.c_str());
        std::exit(1);
    }
    return cache;
}

} // namespace

int main(int argc, char** argv)
{
    int textures = argc > 1 ? std::atoi(argv[1]) : 1000;
    int size = argc > 2 ? std::atoi(argv[2]) : 64;
    std::string root = bench::MakeBenchFolder("mwbench-cache");
    bench::GeneratedWorkspace workspace = bench::GenerateWorkspace(root, 0);
    GenerateTextures(workspace.workingDir, textures, size);

    bench::QuietApp quiet(root, workspace);
    CModwrightApp& app = quiet.app;
    app.SetToolsDir(ExecutableFolder());
    app.SetExportStatistics(0);
    RegisterAssetTypes(app.Assets(), app);
    BuildDriver& driver = app.Builder();
    int jobs = BuildDriver::DefaultJobs();
    driver.SetJobs(jobs);
    std::printf("forced Build of %d textures (%dx%d images), %d compiler(s) at once, in %s\n", textures, size, size,
                jobs, root.c_str());
    std::printf("over the outputs of the Build before:\n");

    int errors = 0;
    // Each timed Build starts once the file system has written out what the
    // earlier ones wrote: a Build during that writeback measures the disk.
    // fresh: the outputs are removed first (a teammate's first Build), so
    // every one is written; otherwise the outputs of the Build before stay
    // and those that come out the same are only given a new time.
    std::string resources = workspace.buildDir + "resources/";
    auto forcedBuild = [&](BuildCache* cache, bool fresh = false) {
        driver.SetCache(cache);
        if (cache)
            cache->BeginBuild();
        if (fresh)
            DeleteFolderTree(resources);
        bench::SettleWriteback();
        bench::Stopwatch watch;
        errors += driver.CompileAssets("assets/", true, false);
        return watch.Seconds();
    };
    // The median of three runs of each phase: one run of a second or less
    // varies by more than the differences measured here.
    auto median = [](std::vector<double> runs) {
        std::sort(runs.begin(), runs.end());
        return runs[runs.size() / 2];
    };
    std::string shared = root + "shared";
    std::vector<double> compiledRuns;
    for (int run = 0; run < 3; ++run)
        compiledRuns.push_back(forcedBuild(nullptr));
    double compiled = median(compiledRuns);
    std::unique_ptr<BuildCache> filler = OpenCache(root + "local-filler", shared);
    double filling = forcedBuild(filler.get());
    // A new teammate each time: an empty local cache, the shared one warm.
    std::vector<double> sharedRuns;
    int sharedHits = textures;
    std::unique_ptr<BuildCache> teammate;
    for (int run = 0; run < 3; ++run)
    {
        teammate = OpenCache(root + Format("local-teammate%d", run), shared);
        sharedRuns.push_back(forcedBuild(teammate.get()));
        sharedHits = std::min(sharedHits, teammate->Hits());
    }
    double fromShared = median(sharedRuns);
    std::vector<double> localRuns;
    int localHits = textures;
    for (int run = 0; run < 3; ++run)
    {
        localRuns.push_back(forcedBuild(teammate.get()));
        localHits = std::min(localHits, teammate->Hits());
    }
    double fromLocal = median(localRuns);
    // Into an empty build folder: compiling, then another new teammate's
    // Build from the shared cache.
    std::vector<double> freshCompiledRuns, freshSharedRuns;
    int freshHits = textures;
    for (int run = 0; run < 3; ++run)
    {
        freshCompiledRuns.push_back(forcedBuild(nullptr, true));
        teammate = OpenCache(root + Format("local-fresh%d", run), shared);
        freshSharedRuns.push_back(forcedBuild(teammate.get(), true));
        freshHits = std::min(freshHits, teammate->Hits());
    }
    double freshCompiled = median(freshCompiledRuns);
    double freshShared = median(freshSharedRuns);
    driver.SetCache(nullptr);

    std::printf("  compiling every texture (no cache)   %8.3f s   %6.2f ms per texture (baseline; each figure is the median of 3 runs)\n", compiled,
                compiled * 1000 / textures);
    std::printf("  compiling and filling the cache      %8.3f s   = %.2fx the baseline\n", filling, filling / compiled);
    std::printf("  warm shared cache, empty local one   %8.3f s   = %.2fx the baseline (target: at most 0.2x), "
                "%d of %d from the cache in each run\n",
                fromShared, fromShared / compiled, sharedHits, textures);
    std::printf("  warm local cache                     %8.3f s   = %.2fx the baseline, %d of %d from the cache\n",
                fromLocal, fromLocal / compiled, localHits, textures);
    std::printf("into an empty build folder:\n");
    std::printf("  compiling every texture (no cache)   %8.3f s   %6.2f ms per texture (baseline)\n", freshCompiled,
                freshCompiled * 1000 / textures);
    std::printf("  warm shared cache, empty local one   %8.3f s   = %.2fx the baseline (target: at most 0.2x), "
                "%d of %d from the cache in each run\n",
                freshShared, freshShared / freshCompiled, freshHits, textures);
    std::printf("\nerrors counted: %d\n", errors);
    DeleteFolderTree(root);
    return errors == 0 && sharedHits == textures && localHits == textures ? 0 : 1;
}
