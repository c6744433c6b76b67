// The build driver on a generated workspace of assets (Binary and TextFile
// copies and Textures, each with its source) and records:
//  - the no-op Build (nothing out of date) next to ninja's no-op on a
//    build.ninja of the same files and dependencies, both measured here;
//  - a forced Build of the assets of a second, smaller mod: its time per
//    asset with one compiler started for each compile, with one compiler
//    kept running and with one per core, next to the cost of merely
//    starting the programs it runs (process spawn).
//   bench_build [ASSETS [RECORDS [FORCED_ASSETS]]]   (default 10000 50000 1000)
#include "BenchSupport.h"
#include "QuietApp.h"
#include "WorkspaceGenerator.h"
#include "app/CModwrightApp.h"
#include "assets/AssetRegistry.h"
#include "assets/AssetTypes.h"
#include "assets/BuildDriver.h"
#include "assets/types/BinaryAsset.h"
#include "assets/types/TextFileAsset.h"
#include "assets/types/TextureAsset.h"
#include "dbtools/DatabaseCompile.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/PathRules.h"
#include "platform/ProcessRunner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <vector>

using namespace mw;

namespace {

constexpr int kAssetsPerFolder = 100;

struct GeneratedAsset
{
    std::string asset;  // relative to the working folder
    std::string source; // relative to the working folder
    std::string output; // relative to the build folder
};

// An 8x8 true-colour Targa image.
std::string SmallTarga(int seed)
{
    std::string image(18, '\0');
    image[2] = 2;
    image[12] = 8;
    image[14] = 8;
    image[16] = 24;
    for (int i = 0; i < 8 * 8 * 3; ++i)
        image.push_back(char((i * 31 + seed) & 0xFF));
    return image;
}

bool Write(const std::string& path, const std::string& bytes)
{
    EnsureFolders(ParentPath(path));
    return WriteFileAtomic(path, bytes);
}

// Assets in folders of 100 (one resource archive each), a third of each kind.
std::vector<GeneratedAsset> GenerateAssets(const std::string& workingDir, int count)
{
    std::vector<GeneratedAsset> assets;
    FileTime old = FileTimeFromUnix(std::time(nullptr) - 3600, 0);
    for (int i = 0; i < count; ++i)
    {
        std::string folder = Format("g%03d/", i / kAssetsPerFolder);
        std::string name = Format("a%05d", i);
        GeneratedAsset generated;
        std::string sourceExtension;
        std::string assetExtension;
        std::string sourceBytes;
        AssetHeader header = AssetHeader::NewAsset();
        std::string sourceRelative;
        bool saved = false;
        EnsureFolders(workingDir + "assets/" + folder);
        switch (i % 3)
        {
        case 0:
        {
            sourceRelative = folder + name + ".bin";
            BinaryAsset asset;
            asset.SetSource(sourceRelative);
            generated.asset = "assets/" + folder + name + ".bin";
            saved = AssetRegistry::SaveAsset(asset, workingDir + generated.asset, header);
            sourceBytes = std::string(256, char(i));
            break;
        }
        case 1:
        {
            sourceRelative = folder + name + ".txt";
            TextFileAsset asset;
            asset.SetSource(sourceRelative);
            generated.asset = "assets/" + folder + name + ".txt";
            saved = AssetRegistry::SaveAsset(asset, workingDir + generated.asset, header);
            sourceBytes = Format("text %d\r\n", i);
            break;
        }
        default:
        {
            sourceRelative = folder + name + ".tga";
            TextureAsset asset;
            TextureProperties fields;
            fields.source = sourceRelative;
            fields.format = 0;
            asset.SetFields(fields);
            generated.asset = "assets/" + folder + name + ".tex";
            saved = AssetRegistry::SaveAsset(asset, workingDir + generated.asset, header);
            sourceBytes = SmallTarga(i);
            break;
        }
        }
        generated.source = "source/" + sourceRelative;
        generated.output = "resources/" + generated.asset.substr(std::string("assets/").size());
        if (!saved || !Write(workingDir + generated.source, sourceBytes))
        {
            std::fprintf(stderr, "could not write asset %s\n", generated.asset.c_str());
            std::exit(1);
        }
        SetLastWriteTime(workingDir + generated.asset, old);
        SetLastWriteTime(workingDir + generated.source, old);
        assets.push_back(generated);
    }
    return assets;
}

// ninja paths: '$', ' ' and ':' escaped.
std::string NinjaPath(const std::string& path)
{
    std::string escaped;
    for (char c : path)
    {
        if (c == '$' || c == ' ' || c == ':')
            escaped += '$';
        escaped += c;
    }
    return escaped;
}

// The same files and dependencies as the build: each output from its asset
// file and source, each build copy of a record from the record, the archive
// from every copy. Generator rules: ninja's up-to-date test is then the
// tool's (an output missing or older than an input), with no build log.
void WriteBuildNinja(const std::string& root, const std::vector<GeneratedAsset>& assets,
                     const std::vector<std::string>& recordPaths, const std::string& workingDir)
{
    std::ofstream file(root + "build.ninja");
    file << "rule copy\n  command = cp $in $out\n  generator = 1\n";
    file << "rule pack\n  command = touch $out\n  generator = 1\n";
    for (const GeneratedAsset& asset : assets)
        file << "build " << NinjaPath("Build/" + asset.output) << ": copy " << NinjaPath("Working/" + asset.asset)
             << " | " << NinjaPath("Working/" + asset.source) << "\n";
    std::string copies;
    for (const std::string& record : recordPaths)
    {
        std::string relative = record.substr(workingDir.size());
        file << "build " << NinjaPath("Build/" + relative) << ": copy " << NinjaPath("Working/" + relative) << "\n";
        copies += " " + NinjaPath("Build/" + relative);
    }
    file << "build Build/database/database.arz: pack" << copies << "\n";
}

struct Discard : IProcessOutput
{
    void OnOutput(const std::string& chunk, bool) override { text += chunk; }
    std::string text;
};

double RunNinja(const std::string& root, std::string& said, const char* options = "")
{
    Discard output;
    ProcessOutcome outcome;
    bench::Stopwatch watch;
    if (!ProcessRunner(std::string()).Run(std::string("ninja ") + options + "-C " + root, nullptr, output, outcome))
    {
        said = "ninja could not be started";
        return -1;
    }
    double seconds = watch.Seconds();
    said = output.text;
    while (!said.empty() && said.back() == '\n')
        said.pop_back();
    said = said.substr(said.rfind('\n') == std::string::npos ? 0 : said.rfind('\n') + 1);
    return seconds;
}

double Best(const std::vector<double>& runs) { return *std::min_element(runs.begin(), runs.end()); }

} // namespace

int main(int argc, char** argv)
{
    int assetCount = argc > 1 ? std::atoi(argv[1]) : 10000;
    int recordCount = argc > 2 ? std::atoi(argv[2]) : 50000;
    int forcedCount = argc > 3 ? std::atoi(argv[3]) : 1000;

    std::string root = bench::MakeBenchFolder("mwbench-build");
    std::printf("workspace: %d assets, %d records in %s\n", assetCount, recordCount, root.c_str());
    bench::GeneratedWorkspace workspace = bench::GenerateWorkspace(root, recordCount);
    std::vector<GeneratedAsset> assets = GenerateAssets(workspace.workingDir, assetCount);

    // One run of the program on the workspace.
    auto setUp = [](bench::QuietApp& run) {
        run.app.SetToolsDir(ExecutableFolder());
        run.app.SetExportStatistics(0);
        RegisterAssetTypes(run.app.Assets(), run.app);
        run.app.Builder().SetUnassociatedPolicy(BuildDriver::UnassociatedPolicy::YesToAll);
    };
    bench::QuietApp quiet(root, workspace);
    setUp(quiet);
    CModwrightApp& app = quiet.app;
    BuildDriver& driver = app.Builder();

    // File times are compared at 100 ns, as the tool stores them; ninja
    // compares nanoseconds. Sources on that grid make both see the same
    // order (build copies carry their source's time).
    for (const std::string& record : workspace.recordPaths)
    {
        FileTime time;
        if (GetLastWriteTime(record, time))
            SetLastWriteTime(record, time);
    }
    // Up to date without running the compilers: every output written after
    // its inputs, and the database compiled once.
    for (const GeneratedAsset& asset : assets)
        Write(workspace.buildDir + asset.output, "output");
    if (CompileDatabase(app, "database/", false, false) != 0)
        std::printf("warning: the database compile counted errors\n");
    // The outputs written above are in no resource archive yet: an asset
    // compile packs them, so that the first Build below has nothing to do
    // but the unassociated-files scan (asset compiles never run that scan).
    if (driver.CompileAssets("assets/", false, false) != 0)
        std::printf("warning: packing the outputs counted errors\n");

    // Each timed Build starts once the file system has written out what was
    // written before it (the set-up writes some 60,000 files): a Build that
    // runs during that writeback measures the disk, not the Build.
    bench::SettleWriteback();
    bench::Stopwatch firstWatch;
    int errors = driver.BuildAll(false, false);
    std::vector<double> firstNoOp{firstWatch.Seconds()};
    std::vector<double> noOp;
    for (int run = 0; run < 3; ++run)
    {
        bench::SettleWriteback();
        bench::Stopwatch watch;
        errors += driver.BuildAll(false, false);
        noOp.push_back(watch.Seconds());
    }
    // The first no-op of a run, as often as the later ones: each time a new
    // run of the program on the same workspace.
    for (int run = 1; run < 3; ++run)
    {
        bench::QuietApp again(root, workspace);
        setUp(again);
        bench::SettleWriteback();
        bench::Stopwatch watch;
        errors += again.app.Builder().BuildAll(false, false);
        firstNoOp.push_back(watch.Seconds());
    }
    double first = Best(firstNoOp);

    WriteBuildNinja(root, assets, workspace.recordPaths, workspace.workingDir);
    std::string said;
    // A dry run first: ninja must find nothing to do, or the comparison is void.
    RunNinja(root, said, "-n ");
    if (said.find("no work to do") == std::string::npos)
    {
        std::printf("ninja does not find the workspace up to date (%s); no comparison\n", said.c_str());
        DeleteFolderTree(root);
        return 1;
    }
    std::vector<double> ninja;
    for (int run = 0; run < 3; ++run)
        ninja.push_back(RunNinja(root, said));

    std::printf("\nno-op Build (nothing out of date), best of 3:\n");
    std::printf("  modwright BuildAll          %8.3f s\n", Best(noOp));
    std::printf("  ninja, same files and deps  %8.3f s   (\"%s\")\n", Best(ninja), said.c_str());
    std::printf("  ratio                       %8.2fx  (target: at most 1.0x)\n", Best(noOp) / Best(ninja));
    std::printf("  first no-op of a run        %8.3f s   (best of 3 runs, with the unassociated-files scan)"
                " = %.2fx a later one (target: at most 1.2x)\n",
                first, first / Best(noOp));

    // A forced Build of the assets of a mod of their own (so many folders,
    // one archive each), every asset compiled or copied and put into its
    // archive: one compiler at a time, then one per core.
    std::string forcedRoot = root + "forced/";
    bench::GeneratedWorkspace forcedWorkspace = bench::GenerateWorkspace(forcedRoot, 0);
    GenerateAssets(forcedWorkspace.workingDir, forcedCount);
    bench::QuietApp forcedQuiet(forcedRoot, forcedWorkspace);
    forcedQuiet.app.SetToolsDir(ExecutableFolder());
    forcedQuiet.app.SetExportStatistics(0);
    RegisterAssetTypes(forcedQuiet.app.Assets(), forcedQuiet.app);
    BuildDriver& forcedDriver = forcedQuiet.app.Builder();
    // Each Build starts its compilers anew and ends them, as a Build
    // command does, unless keep is false: then every compile starts one.
    auto forcedBuild = [&](int jobs, bool keep = true) {
        forcedDriver.SetJobs(jobs);
        forcedQuiet.app.SetKeepCompilersRunning(keep ? 1 : 0);
        bench::Stopwatch forcedWatch;
        errors += forcedDriver.CompileAssets("assets/", true, false);
        forcedQuiet.app.EndOperation();
        return forcedWatch.Seconds();
    };
    // The generated outputs are stand-ins: one untimed forced Build writes
    // the real ones, so that both timed Builds find what a Build made (and
    // rewrite only what differs) rather than the first paying for both.
    forcedBuild(0);
    // Turn about, five of each: the best of each kind is compared.
    std::vector<double> startingRuns;
    std::vector<double> serialRuns;
    std::vector<double> parallelRuns;
    for (int run = 0; run < 5; ++run)
    {
        bench::SettleWriteback();
        startingRuns.push_back(forcedBuild(1, false));
        bench::SettleWriteback();
        serialRuns.push_back(forcedBuild(1));
        bench::SettleWriteback();
        parallelRuns.push_back(forcedBuild(0));
    }
    double forcedStarting = Best(startingRuns);
    double forced = Best(serialRuns);
    double forcedParallel = Best(parallelRuns);

    Discard output;
    ProcessOutcome outcome;
    ProcessRunner runner(ExecutableFolder());
    const int spawns = 200;
    bench::Stopwatch spawnWatch;
    for (int i = 0; i < spawns; ++i)
        runner.Run("ArcPack", nullptr, output, outcome);
    double spawn = spawnWatch.Seconds() / spawns;
    // A Texture starts its compiler; each archive is updated by one ArcPack run.
    double spawnsPerAsset = 1.0 / 3.0 + 1.0 / kAssetsPerFolder;

    std::printf("\nforced Build of a mod of %d assets in %d folders (a third each Binary, TextFile, Texture),"
                " best of 5, after one that made them:\n",
                forcedCount, (forcedCount + kAssetsPerFolder - 1) / kAssetsPerFolder);
    std::printf("  per asset, one compiler started for each compile %8.2f ms\n",
                forcedCount ? forcedStarting * 1000 / forcedCount : 0.0);
    std::printf("  per asset, one compiler kept running             %8.2f ms   = %.2fx one started each time\n",
                forcedCount ? forced * 1000 / forcedCount : 0.0, forcedStarting > 0 ? forced / forcedStarting : 0.0);
    std::printf("  per asset, %d kept running at once                %8.2f ms   = %.2fx the serial build (target: at "
                "most 0.55x on 2 idle cores)\n",
                BuildDriver::DefaultJobs(), forcedCount ? forcedParallel * 1000 / forcedCount : 0.0,
                forced > 0 ? forcedParallel / forced : 0.0);
    std::printf("  one process start                                %8.2f ms   (ArcPack without arguments, mean of %d)\n",
                spawn * 1000, spawns);
    std::printf("  starts per asset, each compile starting one      %8.2f      -> %.2f ms per asset is spent starting "
                "programs\n",
                spawnsPerAsset, spawn * spawnsPerAsset * 1000);
    std::printf("\nerrors counted: %d\n", errors);
    DeleteFolderTree(root);
    return errors == 0 ? 0 : 1;
}
