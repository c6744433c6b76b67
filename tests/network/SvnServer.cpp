// The throwaway svnserve of the network tests.
#include "SvnServer.h"

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/ProcessRunner.h"
#include "platform/sourcecontrol/NetworkDeadline.h"

#include <random>

namespace mw::test {
namespace {

const char* const kServerConfig = "[general]\n"
                                  "anon-access = none\n"
                                  "auth-access = write\n"
                                  "password-db = passwd\n"
                                  "realm = modwright-test\n";



struct CollectOutput : IProcessOutput
{
    void OnOutput(const std::string& chunk, bool) override { text += chunk; }
    std::string text;
};

} // namespace

int RunCommand(const std::string& commandLine, std::string* output)
{
    CollectOutput collected;
    ProcessOutcome outcome;
    if (!ProcessRunner(std::string()).Run(commandLine, nullptr, collected, outcome))
        return -1;
    if (output)
        *output = collected.text;
    return int(outcome.exitCode);
}

SvnServer::SvnServer(std::string folder) : m_folder(std::move(folder))
{
    EnsureFolders(m_folder);
    if (CreateRepository())
        Start();
}

SvnServer::~SvnServer() { Stop(); }

std::string SvnServer::Url() const { return "svn://127.0.0.1:" + std::to_string(m_port) + "/repo"; }

bool SvnServer::CreateRepository()
{
    std::string repository = RepositoryFolder();
    std::string output;
    if (RunCommand("svnadmin create \"" + repository + "\"", &output) != 0)
    {
        m_error = "svnadmin create failed: " + output;
        return false;
    }
    bool written = WriteFileAtomic(repository + "/conf/svnserve.conf", kServerConfig) &&
                   WriteFileAtomic(repository + "/conf/passwd", std::string("[users]\n") + kAlice + " = " +
                                                                  kAlicePassword + "\n" + kBob + " = " +
                                                                  kBobPassword + "\n") &&
                   CopyFileKeepTime(std::string(MW_SVN_HOOKS_DIR) + "/pre-lock", repository + "/hooks/pre-lock") &&
                   CopyFileKeepTime(std::string(MW_SVN_HOOKS_DIR) + "/pre-commit", repository + "/hooks/pre-commit") &&
                   CopyFileKeepTime(std::string(MW_SVN_HOOKS_DIR) + "/pre-unlock", repository + "/hooks/pre-unlock");
    std::string hooks = "\"" + repository + "/hooks/pre-lock\" \"" + repository + "/hooks/pre-commit\" \"" +
                        repository + "/hooks/pre-unlock\"";
    if (!written || RunCommand("chmod +x " + hooks) != 0)
    {
        m_error = "Couldn't set up the repository's configuration and hooks";
        return false;
    }
    return true;
}

bool SvnServer::Start(int fixedPort)
{
    std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> ports(20000, 60000);
    std::string pidFile = m_folder + "svnserve.pid";
    RemoveFile(pidFile);
    // svnserve ends at once with an error when the port is taken: try another.
    for (int attempt = 0; attempt < 20; ++attempt)
    {
        int port = fixedPort ? fixedPort : ports(random);
        std::string output;
        int status = RunCommand("svnserve -d -T --listen-host 127.0.0.1 --listen-port " + std::to_string(port) +
                                    " -r \"" + m_folder + "\" --pid-file \"" + pidFile + "\"",
                                &output);
        if (status != 0)
        {
            m_error = "svnserve failed: " + output;
            continue;
        }
        for (int wait = 0; wait < 200; ++wait)
        {
            std::string pid;
            std::string reason;
            if (ReadWholeFile(pidFile, pid) && !pid.empty() && pid.back() == '\n' &&
                NetworkDeadline::Probe("127.0.0.1", port, 1000, reason))
            {
                m_port = port;
                m_pid = std::stol(pid);
                m_error.clear();
                return true;
            }
            SleepMs(10);
        }
        m_error = "svnserve did not start listening on port " + std::to_string(port);
    }
    return false;
}

void SvnServer::Pause()
{
    if (m_pid > 0 && RunCommand("kill -STOP " + std::to_string(m_pid)) == 0)
        m_paused = true;
}

void SvnServer::Resume()
{
    if (m_pid > 0 && m_paused && RunCommand("kill -CONT " + std::to_string(m_pid)) == 0)
        m_paused = false;
}

void SvnServer::Kill()
{
    if (m_pid <= 0)
        return;
    RunCommand("kill -KILL " + std::to_string(m_pid));
    m_paused = false;
    std::string reason;
    for (int wait = 0; wait < 200 && NetworkDeadline::Probe("127.0.0.1", m_port, 200, reason); ++wait)
        SleepMs(10);
    m_pid = 0;
}

bool SvnServer::Restart()
{
    // The port may stay taken for a moment after the old server ended.
    for (int attempt = 0; attempt < 50; ++attempt)
    {
        if (Start(m_port))
            return true;
        SleepMs(100);
    }
    return false;
}

void SvnServer::Stop()
{
    if (m_pid <= 0)
        return;
    Resume();
    RunCommand("kill " + std::to_string(m_pid));
    // Wait until the port is closed, so that calls after Stop() see no server.
    std::string reason;
    for (int wait = 0; wait < 200 && NetworkDeadline::Probe("127.0.0.1", m_port, 200, reason); ++wait)
        SleepMs(10);
    m_pid = 0;
}

} // namespace mw::test
