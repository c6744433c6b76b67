// Finding the records and templates that refer to one file among a generated
// database: the plain search (every file read) next to the kept index (read
// once per run, then only files whose time or size changed), in one run.
//   bench_reference_index [RECORDS]   (default 50000)
#include "BenchSupport.h"
#include "QuietApp.h"
#include "WorkspaceGenerator.h"
#include "app/CModwrightApp.h"
#include "dbtools/MovedReferences.h"
#include "dbtools/ReferenceIndex.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace mw;

namespace {

std::vector<PathChange> RecordMoved(int folder, int record)
{
    std::string path = "database/records/folder" + std::to_string(folder) + "/record" + std::to_string(record) + ".dbr";
    return {PathChange{path, "database/moved/record.dbr", false}};
}

bool SameFiles(const std::vector<ReferringFile>& a, const std::vector<ReferringFile>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].path != b[i].path || a[i].references != b[i].references)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 50000;
    std::string root = bench::MakeBenchFolder("mwbench-refs");
    bench::Stopwatch generate;
    bench::GeneratedWorkspace workspace = bench::GenerateWorkspace(root, count);
    std::printf("generated %d records in %.2f s\n", count, generate.Seconds());

    bench::QuietApp quiet(root, workspace);
    CModwrightApp& app = quiet.app;

    // The plain search, twice: the second with the files in the page cache, as the index's first search finds them.
    std::vector<PathChange> first = RecordMoved(3, 7);
    bench::Stopwatch coldPlain;
    std::vector<ReferringFile> plain = FindReferringFiles(app, first);
    double coldPlainSeconds = coldPlain.Seconds();
    bench::Stopwatch warmPlain;
    plain = FindReferringFiles(app, first);
    double plainSeconds = warmPlain.Seconds();
    std::printf("plain search:               %.3f s (first %.3f s), %zu referring files\n", plainSeconds,
                coldPlainSeconds, plain.size());

    uint64_t memoryBefore = bench::CurrentMemoryBytes();
    ReferenceIndex index;
    bench::Stopwatch build;
    std::vector<ReferringFile> indexed = index.FindReferringFiles(app, first);
    double buildSeconds = build.Seconds();
    uint64_t memoryAfter = bench::CurrentMemoryBytes();
    std::printf("index, first search:        %.3f s, %zu files read, %zu referring files, %s plain\n", buildSeconds,
                index.FilesReadLastSearch(), indexed.size(), SameFiles(indexed, plain) ? "same as" : "DIFFERENT FROM");
    std::printf("index memory:               %.1f MB (resident growth)\n",
                double(memoryAfter > memoryBefore ? memoryAfter - memoryBefore : 0) / 1e6);

    // Later searches for other files, each checked against the plain search.
    std::vector<double> times;
    int mismatches = 0;
    for (int i = 0; i < 5; ++i)
    {
        std::vector<PathChange> changes = RecordMoved(10 + i * 17, 3 + i * 11);
        bench::Stopwatch search;
        std::vector<ReferringFile> found = index.FindReferringFiles(app, changes);
        times.push_back(search.Seconds());
        if (!SameFiles(found, FindReferringFiles(app, changes)))
            ++mismatches;
    }
    std::sort(times.begin(), times.end());
    std::printf("index, later searches:      median %.3f s, max %.3f s over %zu, %d differing from plain\n",
                times[times.size() / 2], times.back(), times.size(), mismatches);

    // A folder move: every path below a folder.
    std::vector<PathChange> folder{PathChange{"database/records/folder5/", "database/elsewhere/", true}};
    bench::Stopwatch folderSearch;
    std::vector<ReferringFile> inFolder = index.FindReferringFiles(app, folder);
    double folderSeconds = folderSearch.Seconds();
    std::printf("index, folder move search:  %.3f s, %zu referring files, %s plain\n", folderSeconds, inFolder.size(),
                SameFiles(inFolder, FindReferringFiles(app, folder)) ? "same as" : "DIFFERENT FROM");

    // Edits made outside the tool: 500 records rewritten with a later time are read again.
    for (size_t i = 0; i < 500 && i < workspace.recordPaths.size(); ++i)
    {
        const std::string& path = workspace.recordPaths[i * (workspace.recordPaths.size() / 500)];
        std::string text;
        ReadWholeFile(path, text);
        FileTime time;
        GetLastWriteTime(path, time);
        WriteTextFileAtomic(path, text + "benchEdit,records\\folder3\\record7.dbr,\n");
        SetLastWriteTime(path, FileTime{time.value + 10000000});
    }
    bench::Stopwatch afterEdits;
    std::vector<ReferringFile> edited = index.FindReferringFiles(app, first);
    double editedSeconds = afterEdits.Seconds();
    std::printf("index, after 500 outside edits: %.3f s, %zu files read, %zu referring files, %s plain\n",
                editedSeconds, index.FilesReadLastSearch(), edited.size(),
                SameFiles(edited, FindReferringFiles(app, first)) ? "same as" : "DIFFERENT FROM");
    DeleteFolderTree(root);
    return 0;
}
