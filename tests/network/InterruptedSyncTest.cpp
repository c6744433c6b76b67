// Syncs whose server is killed or frozen midway, during a first checkout of
// 2,000 files and during an update: an error, no crash, and the next sync
// (once the server is back) leaves the working copy as the server has it.
#include "NetworkFixture.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SubversionBackend.h"

#include <algorithm>
#include <functional>

namespace mw::test {
namespace {

constexpr int kFileCount = 2000;
constexpr int kFolderCount = 20;

// Calls action once, when the sync has logged its at-th added file.
class InterruptingLog : public RecordingLog
{
public:
    InterruptingLog(int at, std::function<void()> action) : m_at(at), m_action(std::move(action)) {}

    void Log(const std::string& text, bool line, bool error) override
    {
        RecordingLog::Log(text, line, error);
        if (text.rfind("Added ", 0) == 0 && ++m_added == m_at && m_action)
            m_action();
    }

private:
    int m_at;
    int m_added = 0;
    std::function<void()> m_action;
};

std::string FileName(int i) { return Format("f%02d/record%04d.dbr", i % kFolderCount, i); }
std::string FileText(int i) { return Format("value,%d,\r\n", i); }

class InterruptedSyncTest : public NetworkFixture
{
protected:
    std::string SvnOptions() const
    {
        return std::string(" --non-interactive --no-auth-cache --username ") + SvnServer::kAlice + " --password " +
               SvnServer::kAlicePassword + " --config-dir \"" + temp / "svn-config" + "\"";
    }

    // One commit of kFileCount files below folder, with svn:needs-lock, made
    // by the plain client straight in the repository (the quickest way).
    void ImportFiles(const std::string& folder)
    {
        std::string seed = temp / ("seed-" + folder + "/");
        for (int i = 0; i < kFileCount; ++i)
            WriteFile(seed + FileName(i), FileText(i));
        std::string output;
        ASSERT_EQ(RunCommand("svn import -q -m seed --non-interactive --config-dir \"" + temp / "svn-config" + "\"" +
                                 " --config-option config:miscellany:enable-auto-props=yes"
                                 " --config-option config:auto-props:*=svn:needs-lock=* \"" +
                                 seed + "\" file://" + server.RepositoryFolder() + "/" + folder,
                             &output),
                  0)
            << output;
    }

    // A client of alice's for a working folder, connected but not synced.
    void ConnectFresh(SourceControlClient& client, RecordingLog& log, const std::string& folder, unsigned deadlineMs)
    {
        SubversionOptions options = Options(SvnServer::kAlicePassword);
        options.deadlineMs = deadlineMs;
        options.connectTimeoutMs = std::min(options.connectTimeoutMs, deadlineMs);
        client.SetNetworkBackendFactory(
            [options](const std::string&) { return std::make_unique<SubversionBackend>(options); });
        client.SetClientDirectory(folder);
        client.SetLog(&log);
        client.SetUserName(SvnServer::kAlice);
        ASSERT_TRUE(client.Connect(server.Url())) << log.Errors();
    }

    // The working copy holds every file of folder with its text, has no local
    // change, lock or unfinished work, and is at the server's latest revision.
    void ExpectComplete(const std::string& workingCopy, const std::string& folder)
    {
        for (int i = 0; i < kFileCount; ++i)
        {
            std::string path = workingCopy + folder + "/" + FileName(i);
            ASSERT_TRUE(IsFile(path)) << path;
            ASSERT_EQ(ReadFile(path), FileText(i)) << path;
        }
        std::string output;
        ASSERT_EQ(RunCommand("svn status -u" + SvnOptions() + " \"" + workingCopy + "\"", &output), 0) << output;
        // Only the line "Status against revision: N": nothing missing, changed,
        // locked or out of date.
        EXPECT_EQ(output.find('\n'), output.size() - 1) << output;
        EXPECT_EQ(output.rfind("Status against revision:", 0), 0u) << output;
    }
};

TEST_F(InterruptedSyncTest, AServerKilledDuringTheFirstCheckoutFailsTheSyncAndTheNextOneCompletes)
{
    ImportFiles("data");
    SourceControlClient client;
    InterruptingLog log(300, [this] { server.Kill(); });
    ConnectFresh(client, log, temp / "fresh/", 5000);

    EXPECT_NE(client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_TRUE(log.HasError("Sync failed")) << log.Errors();

    ASSERT_TRUE(server.Restart()) << server.Error();
    EXPECT_EQ(client.SyncPath(nullptr, false, nullptr), 0) << log.Errors();
    ExpectComplete(temp / "fresh/", "data");
}

TEST_F(InterruptedSyncTest, AServerFrozenDuringTheFirstCheckoutRunsOutOfTimeAndTheNextSyncCompletes)
{
    ImportFiles("data");
    SourceControlClient client;
    InterruptingLog log(300, [this] { server.Pause(); });
    ConnectFresh(client, log, temp / "fresh/", 1000);

    EXPECT_NE(client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_TRUE(log.HasError("did not answer")) << log.Errors();
    // Frozen, the server still takes connections: the next call learns
    // from its silence, within the connect timeout, that it does not answer.
    FileStatus status;
    EXPECT_NE(client.GetFileStatus("data/" + FileName(0), status), 0);
    EXPECT_TRUE(log.HasError("accepts connections but did not answer")) << log.Errors();

    server.Resume();
    EXPECT_EQ(client.SyncPath(nullptr, false, nullptr), 0) << log.Errors();
    ExpectComplete(temp / "fresh/", "data");
}

TEST_F(InterruptedSyncTest, AServerKilledOrFrozenDuringAnUpdateFailsItAndTheNextSyncCompletes)
{
    // Killed: alice's working copy was synced before the files came.
    ImportFiles("data");
    InterruptingLog killing(500, [this] { server.Kill(); });
    alice.client.SetLog(&killing);
    EXPECT_NE(alice.client.SyncPath(nullptr, false, nullptr), 0);
    ASSERT_TRUE(server.Restart()) << server.Error();
    EXPECT_EQ(alice.client.SyncPath(nullptr, false, nullptr), 0) << killing.Errors();
    ExpectComplete(alice.folder, "data");

    // Frozen: bob's working copy, with a short deadline.
    ImportFiles("more");
    SourceControlClient client;
    InterruptingLog freezing(500, [this] { server.Pause(); });
    ConnectFresh(client, freezing, bob.folder, 1000);
    EXPECT_NE(client.SyncPath(nullptr, false, nullptr), 0);
    EXPECT_TRUE(freezing.HasError("did not answer")) << freezing.Errors();
    server.Resume();
    EXPECT_EQ(client.SyncPath(nullptr, false, nullptr), 0) << freezing.Errors();
    ExpectComplete(bob.folder, "data");
    ExpectComplete(bob.folder, "more");
}

} // namespace
} // namespace mw::test
