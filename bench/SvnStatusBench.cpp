// The file view's question in network mode: the status of every file of a
// folder of 1,000 files, asked in one go for the folder (what the view does)
// and row by row (list, then per row server status and local version),
// against a throwaway svnserve on loopback, next to one `svn status -u` of the
// same folder measured in the same run. Also the per-call costs that decide
// between the library and the command line: one uncached status, one lock
// and unlock, and one `svn info` / `svn --version` process.
//   bench_svn_status [FILES]   (default 1000)
#include "BenchSupport.h"
#include "network/SvnServer.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/sourcecontrol/SourceControlClient.h"
#include "platform/sourcecontrol/SubversionBackend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace mw;
using mw::test::RunCommand;
using mw::test::SvnServer;

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string SvnOptions(const std::string& configFolder)
{
    return std::string(" --non-interactive --no-auth-cache --username ") + SvnServer::kAlice + " --password " +
           SvnServer::kAlicePassword + " --config-dir \"" + configFolder + "\"";
}

bool Connect(SourceControlClient& client, const std::string& url, const std::string& folder, const char* user,
             const char* password, const std::string& configFolder)
{
    SubversionOptions options;
    options.password = password;
    options.configFolder = configFolder;
    client.SetNetworkBackendFactory(
        [options](const std::string&) { return std::make_unique<SubversionBackend>(options); });
    client.SetClientDirectory(folder);
    client.SetUserName(user);
    return client.Connect(url) && client.SyncPath(nullptr, false, nullptr) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    int fileCount = argc > 1 ? std::atoi(argv[1]) : 1000;
    std::string root = bench::MakeBenchFolder("svn_status");
    SvnServer server(root + "server/");
    if (!server.Started())
    {
        std::fprintf(stderr, "Couldn't start svnserve: %s\n", server.Error().c_str());
        return 1;
    }
    std::string config = root + "svn-config";

    // One commit of the whole folder, every file with svn:needs-lock.
    std::string import = root + "import/many/";
    EnsureFolders(import);
    for (int i = 0; i < fileCount; ++i)
        WriteFileAtomic(import + "record" + std::to_string(i) + ".dbr", "value," + std::to_string(i) + ",\n");
    std::string output;
    if (RunCommand("svn import -q -m seed" + SvnOptions(config) +
                       " --config-option config:miscellany:enable-auto-props=yes"
                       " --config-option config:auto-props:*=svn:needs-lock=* \"" +
                       root + "import\" " + server.Url() + "/database",
                   &output) != 0)
    {
        std::fprintf(stderr, "svn import failed: %s\n", output.c_str());
        return 1;
    }

    SourceControlClient alice;
    SourceControlClient bob;
    if (!Connect(alice, server.Url(), root + "alice/", SvnServer::kAlice, SvnServer::kAlicePassword, config) ||
        !Connect(bob, server.Url(), root + "bob/", SvnServer::kBob, SvnServer::kBobPassword, config))
    {
        std::fprintf(stderr, "Couldn't connect and check out\n");
        return 1;
    }
    // Some rows held by the other user, so that lock owners come back too.
    for (int i = 0; i < fileCount; i += 20)
        bob.CheckOutFile("database/many/record" + std::to_string(i) + ".dbr", true);

    // The file view: one question for the folder's rows.
    const int runs = 5;
    std::vector<double> folderSeconds;
    size_t folderRows = 0;
    for (int run = 0; run < runs; ++run)
    {
        SleepMs(1100); // the folder listing of the previous run has run out
        bench::Stopwatch watch;
        std::vector<FolderFileState> states;
        alice.GetFolderFileStates("database/many/", states);
        folderSeconds.push_back(watch.Seconds());
        folderRows = states.size();
    }

    // Row by row: the folder's files, then status and local version per row.
    std::vector<double> viewSeconds;
    std::vector<double> listSeconds;
    size_t rows = 0;
    unsigned held = 0;
    for (int run = 0; run < runs; ++run)
    {
        SleepMs(1100); // the folder listing of the previous run has run out
        bench::Stopwatch watch;
        std::vector<std::string> files;
        alice.GetFiles("database/many/", files, 1, false, "");
        listSeconds.push_back(watch.Seconds());
        held = 0;
        for (const std::string& file : files)
        {
            FileStatus status;
            alice.GetFileStatus("database/many/" + file, status);
            FileVersion local = alice.GetClientFileVersion("database/many/" + file);
            held += status.outToUser && local.version == status.serverVersion;
        }
        viewSeconds.push_back(watch.Seconds());
        rows = files.size();
    }

    std::string folder = root + "alice/database/many";
    std::vector<double> statusSeconds;
    for (int run = 0; run < runs; ++run)
    {
        bench::Stopwatch watch;
        RunCommand("svn status -u" + SvnOptions(config) + " \"" + folder + "\"", &output);
        statusSeconds.push_back(watch.Seconds());
    }

    // Per call: one status that the cache cannot answer (the library), one
    // lock and unlock (the library), one `svn info` and one bare `svn` start.
    const int calls = 20;
    std::vector<double> uncached;
    std::vector<double> lockPairs;
    std::vector<double> cliInfo;
    std::vector<double> cliStart;
    for (int i = 0; i < calls; ++i)
    {
        std::string path = "database/many/record" + std::to_string(1 + i) + ".dbr";
        FileStatus status;
        SleepMs(1); // keeps the folder listing from answering: each call asks the server
        {
            SourceControlClient& client = alice;
            bench::Stopwatch watch;
            client.CheckOutFile(path, true); // fresh status of the file, then the lock
            lockPairs.push_back(watch.Seconds());
        }
        {
            bench::Stopwatch watch;
            alice.RevertFile(path); // releases the lock
            lockPairs.back() += watch.Seconds();
        }
        {
            bench::Stopwatch watch;
            alice.GetFileStatus(path, status); // the revert made the cache forget this file
            uncached.push_back(watch.Seconds());
        }
        {
            bench::Stopwatch watch;
            RunCommand("svn info --xml" + SvnOptions(config) + " " + server.Url() + "/" + path, &output);
            cliInfo.push_back(watch.Seconds());
        }
        {
            bench::Stopwatch watch;
            RunCommand("svn --version --quiet", &output);
            cliStart.push_back(watch.Seconds());
        }
    }

    double folderView = Median(folderSeconds);
    double view = Median(viewSeconds);
    double status = Median(statusSeconds);
    std::printf("folder of %zu files (%u held by another user), loopback svnserve, median of %d runs\n", rows, held,
                runs);
    std::printf("  file view (one question for the folder, %zu rows):  %8.1f ms\n", folderRows, folderView * 1000);
    std::printf("  row by row (list + status + local version per row): %7.1f ms\n", view * 1000);
    std::printf("    of which the folder's listing (one server call): %8.1f ms\n", Median(listSeconds) * 1000);
    std::printf("  one `svn status -u` of the folder:                 %8.1f ms\n", status * 1000);
    std::printf("  ratio file view / svn status -u:                   %8.2f\n", folderView / status);
    std::printf("  ratio row by row / svn status -u:                  %8.2f\n", view / status);
    std::printf("per call, median of %d:\n", calls);
    std::printf("  library, status of one file (uncached):            %8.2f ms\n", Median(uncached) * 1000);
    std::printf("  library, check out (status + lock) + revert:       %8.2f ms\n", Median(lockPairs) * 1000);
    std::printf("  command line, `svn info --xml URL`:                %8.2f ms\n", Median(cliInfo) * 1000);
    std::printf("  command line, `svn --version --quiet`:             %8.2f ms\n", Median(cliStart) * 1000);
    server.Stop();
    DeleteFolderTree(root);
    return 0;
}
