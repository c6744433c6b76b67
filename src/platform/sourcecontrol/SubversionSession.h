// The connection of the Subversion backend to libsvn_client: memory pools,
// the client context with credentials, deadlines and cancelling, the
// messages the library reports, and its errors turned into text.
#pragma once

#include "NetworkDeadline.h"
#include "SubversionOptions.h"

#include <apr_pools.h>
#include <svn_client.h>
#include <svn_ra.h>

#include <string>
#include <vector>

namespace mw {

class ManualResetEvent;
class SourceControlLog;

// One item of a call that failed on its own, as the library reports it.
struct ItemFailure
{
    int code = 0; // the library's error number
    std::string text;
};

class SubversionSession
{
public:
    explicit SubversionSession(SubversionOptions options);
    ~SubversionSession();
    SubversionSession(const SubversionSession&) = delete;
    SubversionSession& operator=(const SubversionSession&) = delete;

    // Prepares a client context for the repository at url as userName (no
    // server contact yet). False with a reason when url is no repository URL.
    bool Open(const std::string& url, const std::string& userName, std::string& reason);
    bool IsOpen() const { return m_context != nullptr; }
    const std::string& Url() const { return m_url; }
    const SubversionOptions& Options() const { return m_options; }

    // What a call talks to.
    enum class Reach
    {
        NewConnection,  // opens a connection of its own (locks, commits, updates)
        KeptConnection, // uses Connection() only
        LocalOnly,      // the working copy alone
    };

    // One call: while it lasts the deadline is armed and cancel (may be null)
    // is watched; its scratch pool is cleared at the end. Opening a
    // connection to an svn:// server has no timeout of its own, so a call
    // that opens one, or that needs the server when it did not answer
    // lately, first probes the server with the connect timeout.
    class Call
    {
    public:
        Call(SubversionSession& session, Reach reach, const ManualResetEvent* cancel = nullptr);
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

        apr_pool_t* Pool() const { return m_pool; }
        // False when the server could not be reached at all; Check() then
        // gives the reason.
        bool Reachable() const { return m_reachable; }
        // Takes err: true when it is null; otherwise remembers its text (and
        // drops the connection when the server failed) and returns false.
        bool Check(svn_error_t* err);
        // The text of the last failure (of Check or of a lock notification).
        const std::string& Error() const { return m_error; }
        // True when the last failure came from the server's connection.
        bool ConnectionFailed() const { return m_connectionFailed; }
        // Items the library reported as failed (locks, unlocks) during this call.
        const std::vector<ItemFailure>& ItemFailures() const { return m_session.m_itemFailures; }
        // Files the library left in conflict during this call.
        int Conflicts() const { return m_session.m_conflicts; }
        // The revision of the last commit of this call, or -1.
        long CommittedRevision() const { return m_session.m_committedRevision; }

    private:
        SubversionSession& m_session;
        apr_pool_t* m_pool = nullptr;
        bool m_outermost = true;
        bool m_reachable = true;
        bool m_connectionFailed = false;
        std::string m_error;
    };

    svn_client_ctx_t* Context() const { return m_context; }
    // A connection to the repository URL kept open between calls, for the
    // quick questions (status, listings); null with err set when it fails.
    svn_ra_session_t* Connection(svn_error_t** err, apr_pool_t* scratch);
    bool HasConnection() const { return m_connection != nullptr; }
    // The repository's own path of the repository URL ("/" or "/sub/folder"),
    // which lock paths start with. Valid once Connection() succeeded.
    const std::string& RepositoryPath() const { return m_repositoryPath; }
    // The URL of path (relative to the repository URL, "/"-separated).
    const char* UrlOf(const std::string& path, apr_pool_t* pool) const;
    apr_pool_t* SessionPool() const { return m_sessionPool; }

    void SetLog(SourceControlLog* log) { m_log = log; }
    void Log(const std::string& text, bool error) const;
    // Logged file names are shown relative to this folder (the working copy).
    void SetDisplayRoot(const std::string& folder) { m_displayRoot = folder; }
    // Names of files the library touches are logged while this is set.
    void SetLogFileActions(bool on) { m_logFileActions = on; }

    // The commit message of the next commit.
    void SetCommitMessage(const std::string& message) { m_commitMessage = message; }

    // Later calls authenticate as userName.
    void SetUserName(const std::string& userName);
    // Drops the client context (its cached connections) and makes a new one.
    void Reset();

    // The commit callback to hand to svn_client_* calls that commit.
    static svn_error_t* OnCommitted(const svn_commit_info_t* info, void* baton, apr_pool_t* pool);

private:
    bool MakeContext(std::string& reason);
    static svn_error_t* OnCancel(void* baton);
    static void OnNotify(void* baton, const svn_wc_notify_t* notify, apr_pool_t* pool);
    static void OnProgress(apr_off_t progress, apr_off_t total, void* baton, apr_pool_t* pool);
    static svn_error_t* OnLogMessage(const char** message, const char** tmpFile, const apr_array_header_t* items,
                                     void* baton, apr_pool_t* pool);

    SubversionOptions m_options;
    std::string m_url;
    std::string m_userName;
    std::string m_host;
    int m_port = 0;
    apr_pool_t* m_rootPool = nullptr;
    apr_pool_t* m_sessionPool = nullptr;
    svn_client_ctx_t* m_context = nullptr;
    svn_ra_session_t* m_connection = nullptr;
    std::string m_repositoryPath;
    NetworkDeadline m_deadline;
    uint64_t m_lastAnswerMs = 0;
    const ManualResetEvent* m_cancel = nullptr;
    SourceControlLog* m_log = nullptr;
    bool m_logFileActions = false;
    std::string m_displayRoot;
    std::string m_commitMessage;
    std::vector<ItemFailure> m_itemFailures;
    long m_committedRevision = -1;
    int m_conflicts = 0;
    int m_activeCalls = 0;
    // A connection failed: the context is made anew when the last call ends.
    bool m_resetPending = false;
};

// The text of an error chain, without the library's tracing entries.
std::string SubversionErrorText(svn_error_t* err);

} // namespace mw
