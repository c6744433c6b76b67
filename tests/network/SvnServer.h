// A throwaway Subversion server for tests and benchmarks: a fresh repository with two users
// (alice and bob), anonymous access off, hooks that refuse commits of
// needs-lock files without their lock, stealing locks and breaking another
// user's lock, served by
// svnserve on 127.0.0.1 on a free port until the object goes.
#pragma once

#include <string>

namespace mw::test {

class SvnServer
{
public:
    static constexpr const char* kAlice = "alice";
    static constexpr const char* kAlicePassword = "alice-secret";
    static constexpr const char* kBob = "bob";
    static constexpr const char* kBobPassword = "bob-secret";

    // folder: a fresh folder (ending in "/") for the repository and the server's files.
    explicit SvnServer(std::string folder);
    ~SvnServer();
    SvnServer(const SvnServer&) = delete;
    SvnServer& operator=(const SvnServer&) = delete;

    // False (with the reason in Error()) when the server could not be started.
    bool Started() const { return m_pid > 0; }
    const std::string& Error() const { return m_error; }
    // svn://127.0.0.1:PORT/repo
    std::string Url() const;
    int Port() const { return m_port; }
    // The repository folder (for file:// access and svnlook).
    std::string RepositoryFolder() const { return m_folder + "repo"; }

    // Freezes the server: it keeps its connections but answers nothing.
    void Pause();
    void Resume();
    // Ends the server; its connections close.
    void Stop();
    // Ends the server at once (SIGKILL), in the middle of whatever it does.
    void Kill();
    // Serves the same repository again on the same port after Stop or Kill.
    bool Restart();
    // The process id of the running server, 0 when none runs.
    long Pid() const { return m_pid; }

private:
    bool CreateRepository();
    // fixedPort 0: a free port of its own choice.
    bool Start(int fixedPort = 0);

    std::string m_folder;
    int m_port = 0;
    long m_pid = 0;
    bool m_paused = false;
    std::string m_error;
};

// Runs a command line to its end; its exit status, its output in output.
int RunCommand(const std::string& commandLine, std::string* output = nullptr);

} // namespace mw::test
