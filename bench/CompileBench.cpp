// The database compile on a generated workspace: forced, no-op and one
// touched record, each next to a baseline measured in the same run.
//   bench_compile [RECORDS]   (default 50000)
#include "BenchSupport.h"
#include "NullStream.h"
#include "WorkspaceGenerator.h"
#include "app/CModwrightApp.h"
#include "app/ConsolePrompt.h"
#include "dbarchive/DbArchive.h"
#include "dbtools/DatabaseCompile.h"
#include "platform/FileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>
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
    sleep(3);
}

} // namespace

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 50000;
    std::string root = bench::MakeBenchFolder("mwbench-compile");
    bench::GeneratedWorkspace workspace = bench::GenerateWorkspace(root, count);

    bench::NullStream discard;
    ConsolePrompt prompt(discard);
    AppEnvironment environment;
    environment.startFolder = root;
    environment.documentsFolder = root;
    environment.out = &discard;
    environment.prompt = &prompt;
    CModwrightApp app(environment);
    app.SetLocalDir(workspace.workingDir, false);
    app.SetBuildDir(workspace.buildDir);

    PauseForProfiler("forced");
    bench::Stopwatch forced;
    int errors = CompileDatabase(app, "database/", true, false);
    double forcedSeconds = forced.Seconds();
    std::string archivePath = DatabaseArchivePath(app, "database/");

    // Baseline of the forced compile: read every record file, and compress
    // bodies of the same sizes (the compiled bodies themselves) at level 5.
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
    bench::Stopwatch baselineForced;
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
    double baselineForcedSeconds = baselineForced.Seconds();

    PauseForProfiler("no-op");
    bench::Stopwatch noop;
    errors += CompileDatabase(app, "database/", false, false);
    double noopSeconds = noop.Seconds();

    // Baseline of the no-op compile: stat every record file, copy the archive.
    bench::Stopwatch baselineNoop;
    for (const std::string& path : workspace.recordPaths)
    {
        FileTime time;
        GetLastWriteTime(path, time);
    }
    CopyFileKeepTime(archivePath, archivePath + ".copy");
    double baselineNoopSeconds = baselineNoop.Seconds();

    // A forced compile again, now that the build copies exist (Rebuild All).
    PauseForProfiler("forced-again");
    bench::Stopwatch forcedAgain;
    errors += CompileDatabase(app, "database/", true, false);
    double forcedAgainSeconds = forcedAgain.Seconds();

    std::string touched = workspace.recordPaths[size_t(count / 2)];
    SetLastWriteTime(touched, FileTimeFromUnix(std::time(nullptr) + 60, 0));
    bench::Stopwatch one;
    errors += CompileDatabase(app, "database/", false, false);
    double oneSeconds = one.Seconds();

    // What creating the build copies alone costs on this file system: new
    // files of the records' sizes in fresh folders (the first forced compile
    // must create every copy).
    bench::Stopwatch creation;
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
    double creationSeconds = creation.Seconds();

    uint64_t archiveSize = 0;
    GetFileSize(archivePath, archiveSize);
    std::printf("records: %d, archive: %.1f MB, errors: %d\n", count, archiveSize / 1e6, errors);
    std::printf("forced compile:      %7.3f s   baseline (read files + zlib level 5): %7.3f s   ratio %.2f (target 1.5)\n",
                forcedSeconds, baselineForcedSeconds, forcedSeconds / baselineForcedSeconds);
    std::printf("  of which creating %d new files takes on this file system: %.3f s\n", count, creationSeconds);
    std::printf("forced, copies exist:%7.3f s   ratio %.2f\n", forcedAgainSeconds, forcedAgainSeconds / baselineForcedSeconds);
    std::printf("no-op compile:       %7.3f s   baseline (stat files + copy archive): %7.3f s   ratio %.2f (target 3)\n",
                noopSeconds, baselineNoopSeconds, noopSeconds / baselineNoopSeconds);
    std::printf("one touched record:  %7.3f s   no-op compile:                        %7.3f s   ratio %.2f (target 1.2)\n",
                oneSeconds, noopSeconds, oneSeconds / noopSeconds);
    DeleteFolderTree(root);
    return errors == 0 ? 0 : 1;
}
