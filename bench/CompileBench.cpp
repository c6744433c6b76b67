// The database compile on a generated workspace: forced (fresh build folder
// and with copies present), no-op and one touched record, each next to its
// floor measured in the same run, with processor time and peak memory.
//   bench_compile [RECORDS...]   (default 20000 50000)
//   bench_compile --profile forced|noop|touched HELPERS RECORDS
//     a forced compile into a fresh build folder, then (noop) twenty
//     compiles with nothing changed, or (touched) twenty with one record
//     touched each; for profilers, each inside a function of its own:
//     callgrind --toggle-collect='*ProfiledForced*' or '*ProfiledNoop*'.
// The machine may be shared: the load average is printed, and the forced
// compile is also run without helper threads in the same run, so the gain of
// the helpers can be read off even when wall-clock times are noisy.
#include "BenchSupport.h"
#include "QuietApp.h"
#include "WorkspaceGenerator.h"
#include "app/CModwrightApp.h"
#include "dbarchive/DbArchive.h"
#include "dbtools/DatabaseCompile.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <thread>
#include <vector>
#include <zlib.h>

using namespace mw;

namespace {

// With MW_BENCH_PAUSE set, says which phase comes and waits, so a profiler
// can be attached to just that phase.
void PauseForProfiler(const char* phase)
{
    if (!std::getenv("MW_BENCH_PAUSE"))
        return;
    std::fprintf(stderr, "%s starts in 3 s\n", phase);
    std::this_thread::sleep_for(std::chrono::seconds(3));
}

std::string LoadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five;
    file >> one >> five;
    return one.empty() ? "unknown" : one + " (1 min), " + five + " (5 min)";
}

struct Measure
{
    double wall = 0;
    double cpu = 0;
    double walkCpu = 0;   // the calling thread's share of cpu
    uint64_t peak = 0;    // bytes resident at the peak
    uint64_t growth = 0;  // peak minus the resident size at the start
};

template <typename Work>
Measure Measured(Work work);

// The run of median wall time of three: the no-op and the touched compile
// take a few tenths of a second, where one run's noise is larger than the
// difference they measure. Before each, the file system finishes writing
// out what the earlier phases wrote (hundreds of megabytes), as it has when
// a user changes one record: a save made during that writeback is held back
// by it.
template <typename Work>
Measure MedianOfThree(Work work)
{
    std::vector<Measure> runs;
    for (int i = 0; i < 3; ++i)
    {
        bench::SettleWriteback();
        runs.push_back(Measured([&] { work(i); }));
    }
    std::sort(runs.begin(), runs.end(), [](const Measure& a, const Measure& b) { return a.wall < b.wall; });
    return runs[1];
}

template <typename Work>
Measure Measured(Work work)
{
    bench::ResetPeakMemory();
    uint64_t start = bench::CurrentMemoryBytes();
    double cpu = bench::ProcessCpuSeconds();
    double walkCpu = bench::ThreadCpuSeconds();
    bench::Stopwatch wall;
    work();
    Measure measure;
    measure.wall = wall.Seconds();
    measure.cpu = bench::ProcessCpuSeconds() - cpu;
    measure.walkCpu = bench::ThreadCpuSeconds() - walkCpu;
    measure.peak = bench::PeakMemoryBytes();
    measure.growth = measure.peak > start ? measure.peak - start : 0;
    return measure;
}

// Besides the wall-clock ratio, the processor time of the walk (the calling
// thread) and of the helpers. On a loaded machine wall-clock times stretch
// with the load; the least wall-clock time the processor times allow on two
// idle cores, max(walk, all / 2), against the floor's own processor time
// (one thread) is the ratio the load does not blur.
void PrintCompile(const char* name, const Measure& compile, const Measure& floor, const char* target,
                  uint64_t archiveSize)
{
    double idleBound = std::max(compile.walkCpu, compile.cpu / 2);
    std::printf("  %-30s %7.3f s  ratio %5.2f (target %s)\n", name, compile.wall, compile.wall / floor.wall, target);
    std::printf("      cpu: walk %.3f s + helpers %.3f s; on two idle cores at least %.3f s = %.2f x the floor's cpu\n",
                compile.walkCpu, compile.cpu - compile.walkCpu, idleBound, idleBound / floor.cpu);
    std::printf("      peak memory %.1f MB, of which the compile's own %.1f MB = %.2f x the archive\n",
                compile.peak / 1e6, compile.growth / 1e6, double(compile.growth) / double(archiveSize));
}

int RunOnce(int count)
{
    std::string root = bench::MakeBenchFolder("mwbench-compile");
    bench::GeneratedWorkspace workspace = bench::GenerateWorkspace(root, count);
    std::string loadAtStart = LoadAverage();

    bench::QuietApp quiet(root, workspace);
    CModwrightApp& app = quiet.app;
    int helpers = DefaultCompileHelperThreads();
    int errors = 0;

    PauseForProfiler("forced");
    Measure forced = Measured([&] { errors += CompileDatabase(app, "database/", true, false); });
    std::string archivePath = DatabaseArchivePath(app, "database/");

    // Floor of the forced compile, on one thread: read every record file, and
    // compress bodies of the same sizes (the compiled bodies themselves) at level 5.
    std::vector<std::string> bodies;
    {
        std::string image;
        ReadWholeFile(archivePath, image);
        DbArchive archive;
        archive.Load(image.data(), image.size());
        for (const RecordEntry& entry : archive.Entries())
        {
            std::string_view body;
            if (archive.GetRecord(entry.nameId, body))
                bodies.emplace_back(body);
        }
    }
    Measure floorForced = Measured([&] {
        for (const std::string& path : workspace.recordPaths)
        {
            std::string content;
            ReadWholeFile(path, content);
        }
        std::string compressed;
        for (const std::string& body : bodies)
        {
            compressed.resize(compressBound(uLong(body.size())));
            uLongf size = uLongf(compressed.size());
            compress2(reinterpret_cast<Bytef*>(compressed.data()), &size, reinterpret_cast<const Bytef*>(body.data()),
                      uLong(body.size()), 5);
        }
    });
    bodies.clear();
    bodies.shrink_to_fit();

    PauseForProfiler("no-op");
    Measure noop = MedianOfThree([&](int) { errors += CompileDatabase(app, "database/", false, false); });

    // Floor of the no-op compile: stat every record file, copy the archive.
    Measure floorNoop = MedianOfThree([&](int) {
        for (const std::string& path : workspace.recordPaths)
        {
            FileTime time;
            GetLastWriteTime(path, time);
        }
        CopyFileKeepTime(archivePath, archivePath + ".copy");
    });
    RemoveFile(archivePath + ".copy");

    // A forced compile again, now that the build copies exist (Rebuild All),
    // with the helpers and then without them.
    PauseForProfiler("forced-again");
    Measure forcedAgain = Measured([&] { errors += CompileDatabase(app, "database/", true, false); });
    Measure forcedSerial = Measured([&] { errors += CompileDatabase(app, "database/", true, false, 0); });

    // The one-record compile is set against a no-op made just before it, in
    // the same state of the archive, the build copies and the caches.
    Measure noopBeforeOne = MedianOfThree([&](int) { errors += CompileDatabase(app, "database/", false, false); });
    // A record from the middle of the archive each time, so its body is not
    // the last one, whose change would leave the others in place.
    Measure one = MedianOfThree([&](int i) {
        std::string touched = workspace.recordPaths[size_t(count / 2 + i * (count / 7 + 1)) % workspace.recordPaths.size()];
        SetLastWriteTime(touched, FileTimeFromUnix(std::time(nullptr) + 60, 0));
        errors += CompileDatabase(app, "database/", false, false);
    });

    // What creating the build copies alone costs on this file system: new
    // files of the records' sizes in fresh folders (the first forced compile
    // must create every copy).
    bench::Stopwatch creationWatch;
    {
        std::string bytes;
        for (size_t i = 0; i < workspace.recordPaths.size(); ++i)
        {
            if (i % 250 == 0)
                EnsureFolders(root + "CreationProbe/folder" + std::to_string(i / 250) + "/");
            ReadWholeFile(workspace.recordPaths[i], bytes);
            OverwriteFileWithTime(root + "CreationProbe/folder" + std::to_string(i / 250) + "/r" + std::to_string(i) +
                                      ".dbr",
                                  bytes, FileTime{});
        }
    }
    double creation = creationWatch.Seconds();

    uint64_t archiveSize = 0;
    GetFileSize(archivePath, archiveSize);
    std::printf("records: %d, archive: %.1f MB, errors: %d, helper threads: %d\n", count, archiveSize / 1e6, errors,
                helpers);
    std::printf("  load average at start: %s; at end: %s\n", loadAtStart.c_str(), LoadAverage().c_str());
    std::printf("  floor of the forced compile (read files + zlib level 5, one thread): %7.3f s  cpu %.3f s\n",
                floorForced.wall, floorForced.cpu);
    std::printf("  floor of the no-op compile (stat files + copy the archive):          %7.3f s  cpu %.3f s\n",
                floorNoop.wall, floorNoop.cpu);
    std::printf("  creating %d new files of the records' sizes on this file system:   %7.3f s\n", count, creation);
    PrintCompile("forced, fresh build folder", forced, floorForced, "1.5", archiveSize);
    PrintCompile("forced, copies exist", forcedAgain, floorForced, "1.5", archiveSize);
    PrintCompile("forced, copies exist, serial", forcedSerial, floorForced, "-", archiveSize);
    std::printf("    helpers' gain with copies present: %.2f x wall (serial %.3f s / parallel %.3f s)\n",
                forcedSerial.wall / forcedAgain.wall, forcedSerial.wall, forcedAgain.wall);
    PrintCompile("no-op", noop, floorNoop, "1.5", archiveSize);
    PrintCompile("no-op, just before the next", noopBeforeOne, floorNoop, "1.5", archiveSize);
    PrintCompile("one touched record (/no-op)", one, noopBeforeOne, "1.05", archiveSize);
    DeleteFolderTree(root);
    return errors;
}

[[gnu::noinline]] int ProfiledForced(CModwrightApp& app, int helpers)
{
    return CompileDatabase(app, "database/", true, false, helpers);
}

[[gnu::noinline]] int ProfiledNoop(CModwrightApp& app, int helpers)
{
    return CompileDatabase(app, "database/", false, false, helpers);
}

int Profile(const std::string& phase, int helpers, int count)
{
    std::string root = bench::MakeBenchFolder("mwbench-compile");
    bench::GeneratedWorkspace workspace = bench::GenerateWorkspace(root, count);
    bench::QuietApp quiet(root, workspace);
    CModwrightApp& app = quiet.app;
    bench::Stopwatch forced;
    int errors = ProfiledForced(app, helpers);
    std::printf("forced compile of %d records with %d helpers: %.3f s\n", count, helpers, forced.Seconds());
    // Enough no-ops that a sampling profiler sees them rather than the set-up.
    if (phase == "noop")
        for (int i = 0; i < 20; ++i)
        {
            bench::Stopwatch noop;
            errors += ProfiledNoop(app, helpers);
            std::printf("no-op compile: %.3f s\n", noop.Seconds());
        }
    if (phase == "touched")
    {
        errors += ProfiledNoop(app, helpers);
        for (int i = 0; i < 20; ++i)
        {
            SetLastWriteTime(workspace.recordPaths[size_t(count / 3 + i)], FileTimeFromUnix(std::time(nullptr) + 60, 0));
            bench::Stopwatch one;
            errors += ProfiledNoop(app, helpers);
            std::printf("one touched record: %.3f s\n", one.Seconds());
        }
    }
    DeleteFolderTree(root);
    return errors;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--profile")
        return Profile(argv[2], std::atoi(argv[3]), std::atoi(argv[4])) == 0 ? 0 : 1;
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {20000, 50000};
    int errors = 0;
    for (int count : counts)
        errors += RunOnce(count);
    return errors == 0 ? 0 : 1;
}
