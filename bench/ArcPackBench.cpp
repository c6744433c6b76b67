// ArcPack on generated resource folders of growing size: packing a folder,
// an update that finds nothing to do, and replacing one file (what every
// asset build does), each next to the cost of merely starting a program.
#include "BenchSupport.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/ProcessRunner.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

class DiscardOutput : public mw::IProcessOutput
{
public:
    void OnOutput(const std::string&, bool) override {}
};

// Wall seconds of one run; negative when the program failed.
double TimeRun(const mw::ProcessRunner& runner, const std::string& commandLine)
{
    DiscardOutput output;
    mw::ProcessOutcome outcome;
    mw::bench::Stopwatch watch;
    bool started = runner.Run(commandLine, nullptr, output, outcome);
    double seconds = watch.Seconds();
    return started && outcome.exitCode == 0 ? seconds : -1.0;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
    const std::string tools = std::string(MW_TOOLS_BIN_DIR) + "/";
    const mw::ProcessRunner runner(tools);
    const std::string root = mw::bench::MakeBenchFolder("mwarcpack");
    constexpr int kRepeats = 9;

    std::vector<double> starts;
    for (int i = 0; i < kRepeats; ++i)
        starts.push_back(TimeRun(runner, "\"" + tools + "TestTool\" --exit 0"));
    std::printf("start of a program that does nothing: %.2f ms (median of %d)\n", Median(starts) * 1000, kRepeats);
    std::printf("%8s %10s %12s %12s %12s\n", "entries", "archive", "pack all", "no-op update", "replace one");

    for (int entries : {100, 1000, 10000})
    {
        const std::string folder = root + "res" + std::to_string(entries) + "/creatures";
        // Small compiled outputs, partly compressible, in 100 sub-folders.
        for (int i = 0; i < entries; ++i)
        {
            std::string bytes(300, char('a' + i % 26));
            for (size_t b = 0; b < 100; ++b)
                bytes[b] = char((i * 131 + int(b) * 7) & 0xFF);
            std::string path = folder + "/m" + std::to_string(i % 100) + "/file" + std::to_string(i) + ".tex";
            mw::EnsureFolders(mw::ParentPath(path) + "/");
            mw::WriteFileAtomic(path, bytes);
        }
        const std::string archive = "\"" + folder + ".arc\"";
        double pack = TimeRun(runner, "ArcPack " + archive + " -add . \"" + folder + "\" 6");
        std::vector<double> updates, replaces;
        for (int i = 0; i < kRepeats; ++i)
        {
            updates.push_back(TimeRun(runner, "ArcPack " + archive + " -update . \"" + folder + "\" 6"));
            replaces.push_back(TimeRun(runner, "ArcPack " + archive + " -replace \"./m7/file7.tex\" \"" + folder + "\" 6"));
        }
        uint64_t size = 0;
        mw::GetFileSize(folder + ".arc", size);
        std::printf("%8d %9.2fM %10.1f ms %9.2f ms %9.2f ms\n", entries, double(size) / 1e6, pack * 1000,
                    Median(updates) * 1000, Median(replaces) * 1000);
    }
    mw::DeleteFolderTree(root);
    return 0;
}
