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
#include <map>
#include <memory>
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

    // As the record tools do now: each template read once, a fresh copy bound per record.
    std::map<std::string, std::unique_ptr<DbGroup>> roots;
    int boundCached = 0;
    bench::Stopwatch bindCached;
    for (const std::string& path : workspace.recordPaths)
    {
        DbRecord record;
        if (!record.FileState().Open(path, true))
            continue;
        std::string templatePath = ResolveTemplatePath(record.GetTemplateName(), workspace.workingDir);
        DbTemplate dbTemplate;
        auto found = roots.find(templatePath);
        if (found != roots.end())
            dbTemplate.SetRoot(found->second->DeepCopy());
        else if (dbTemplate.FileState().Open(templatePath, true) && dbTemplate.LoadIncludes(workspace.workingDir, nullptr))
            roots.emplace(templatePath, dbTemplate.Root().DeepCopy());
        else
            continue;
        BindRecord(dbTemplate, record, false, nullptr);
        ApplyTemplate(dbTemplate, record);
        ++boundCached;
    }
    double bindCachedSeconds = bindCached.Seconds();

    std::printf("read only:          %7.3f s  %9.0f records/s  (%.1f MB, %.0f bytes/record)\n", readSeconds,
                count / readSeconds, bytes / 1e6, double(bytes) / count);
    std::printf("read + parse:       %7.3f s  %9.0f records/s  (%.1fx read; %zu values)\n", parseSeconds,
                count / parseSeconds, parseSeconds / readSeconds, values);
    std::printf("read + parse + bind:%7.3f s  %9.0f records/s  (%.1fx read; template and includes read per record)\n",
                bindSeconds, count / bindSeconds, bindSeconds / readSeconds);
    std::printf("read + parse + bind:%7.3f s  %9.0f records/s  (%.1fx read; each template read once, copied per record)\n",
                bindCachedSeconds, count / bindCachedSeconds, bindCachedSeconds / readSeconds);
    if (bound != count)
        std::printf("warning: %d of %d records bound\n", bound, count);
    DeleteFolderTree(root);
    return bound == count && boundCached == count ? 0 : 1;
}
