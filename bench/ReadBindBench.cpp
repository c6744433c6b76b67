// Reads and binds every record of a generated database, next to the time to
// merely read the same files, measured in the same run.
//   bench_read_bind [RECORDS]   (default 50000)
#include "BenchSupport.h"
#include "WorkspaceGenerator.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "dbtext/TemplateBinding.h"
#include "platform/FileSystem.h"

#include <cstdio>
#include <cstdlib>

using namespace mw;

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 50000;
    std::string root = bench::MakeBenchFolder("mwbench-read");
    bench::Stopwatch generate;
    bench::GeneratedWorkspace workspace = bench::GenerateWorkspace(root, count);
    std::printf("generated %d records in %.2f s\n", count, generate.Seconds());

    size_t bytes = 0;
    bench::Stopwatch readOnly;
    for (const std::string& path : workspace.recordPaths)
    {
        std::string content;
        ReadWholeFile(path, content);
        bytes += content.size();
    }
    double readSeconds = readOnly.Seconds();

    size_t values = 0;
    bench::Stopwatch parse;
    for (const std::string& path : workspace.recordPaths)
    {
        DbRecord record;
        record.FileState().Open(path, true);
        values += record.Values().size();
    }
    double parseSeconds = parse.Seconds();

    int bound = 0;
    bench::Stopwatch bind;
    for (const std::string& path : workspace.recordPaths)
    {
        DbRecord record;
        if (!record.FileState().Open(path, true))
            continue;
        DbTemplate dbTemplate;
        if (!dbTemplate.FileState().Open(ResolveTemplatePath(record.GetTemplateName(), workspace.workingDir), true) ||
            !dbTemplate.LoadIncludes(workspace.workingDir, nullptr))
            continue;
        BindRecord(dbTemplate, record, false, nullptr);
        ApplyTemplate(dbTemplate, record);
        ++bound;
    }
    double bindSeconds = bind.Seconds();

    std::printf("read only:          %7.3f s  %9.0f records/s  (%.1f MB, %.0f bytes/record)\n", readSeconds,
                count / readSeconds, bytes / 1e6, double(bytes) / count);
    std::printf("read + parse:       %7.3f s  %9.0f records/s  (%.1fx read; %zu values)\n", parseSeconds,
                count / parseSeconds, parseSeconds / readSeconds, values);
    std::printf("read + parse + bind:%7.3f s  %9.0f records/s  (%.1fx read; template and includes read per record)\n",
                bindSeconds, count / bindSeconds, bindSeconds / readSeconds);
    if (bound != count)
        std::printf("warning: %d of %d records bound\n", bound, count);
    DeleteFolderTree(root);
    return bound == count ? 0 : 1;
}
