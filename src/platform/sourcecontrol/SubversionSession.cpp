// The Subversion client context: pools, credentials, callbacks, deadlines.
#include "SubversionSession.h"

#include "../Clock.h"
#include "../ManualResetEvent.h"
#include "SourceControlLog.h"

#include <apr_general.h>
#include <svn_auth.h>
#include <svn_config.h>
#include <svn_dirent_uri.h>
#include <svn_error.h>
#include <svn_path.h>
#include <svn_props.h>
#include <svn_string.h>

#include <mutex>

namespace mw {
namespace {

// After this long without an answer from an svn:// server, even a call on
// the kept connection first checks that the server accepts connections.
constexpr uint64_t kProbeAfterSilenceMs = 5000;

void InitializeLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { apr_initialize(); });
}

bool IsConnectionError(svn_error_t* err)
{
    for (svn_error_t* it = err; it; it = it->child)
    {
        apr_status_t code = it->apr_err;
        if (code == SVN_ERR_RA_CANNOT_CREATE_SESSION ||
            code == SVN_ERR_RA_NOT_AUTHORIZED || code == SVN_ERR_AUTHN_FAILED ||
            code == SVN_ERR_AUTHN_NO_PROVIDER || code == SVN_ERR_AUTHN_CREDS_UNAVAILABLE)
            return true;
        if (code >= SVN_ERR_RA_SVN_CATEGORY_START && code < SVN_ERR_RA_SVN_CATEGORY_START + SVN_ERR_CATEGORY_SIZE)
            return true;
        if (code >= SVN_ERR_RA_DAV_CATEGORY_START && code < SVN_ERR_RA_DAV_CATEGORY_START + SVN_ERR_CATEGORY_SIZE)
            return true;
        // Errors of the operating system (refused or reset connections, timeouts).
        if (code > 0 && code < APR_OS_START_USERERR)
            return true;
        if (code >= APR_OS_START_SYSERR)
            return true;
    }
    return false;
}

// Splits svn://host:port/... into host and port (3690 when not given).
bool SvnServer(const std::string& url, std::string& host, int& port)
{
    const std::string scheme = "svn://";
    if (url.compare(0, scheme.size(), scheme) != 0)
        return false;
    size_t start = scheme.size();
    size_t end = url.find('/', start);
    std::string authority = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
    size_t at = authority.rfind('@');
    if (at != std::string::npos)
        authority = authority.substr(at + 1);
    port = 3690;
    size_t colon = authority.rfind(':');
    if (colon != std::string::npos && authority.find(']') == std::string::npos)
    {
        port = std::atoi(authority.c_str() + colon + 1);
        authority = authority.substr(0, colon);
    }
    else if (colon != std::string::npos && colon > authority.find(']'))
    {
        port = std::atoi(authority.c_str() + colon + 1);
        authority = authority.substr(0, colon);
    }
    if (!authority.empty() && authority.front() == '[' && authority.back() == ']')
        authority = authority.substr(1, authority.size() - 2);
    host = authority;
    return !host.empty() && port > 0;
}

} // namespace

std::string SubversionErrorText(svn_error_t* err)
{
    std::string text;
    svn_error_t* purged = svn_error_purge_tracing(err);
    for (svn_error_t* it = purged; it; it = it->child)
    {
        char buffer[512];
        const char* message = svn_err_best_message(it, buffer, sizeof buffer);
        if (!message || !*message || text.find(message) != std::string::npos)
            continue;
        if (!text.empty())
            text += ": ";
        text += message;
    }
    return text;
}

SubversionSession::SubversionSession(SubversionOptions options) : m_options(std::move(options))
{
    InitializeLibrary();
    apr_pool_create(&m_rootPool, nullptr);
}

SubversionSession::~SubversionSession()
{
    m_deadline.Disarm();
    apr_pool_destroy(m_rootPool);
}

bool SubversionSession::Open(const std::string& url, const std::string& userName, std::string& reason)
{
    if (!svn_path_is_url(url.c_str()))
    {
        reason = "\"" + url + "\" is not a repository URL (svn://, svn+ssh://, http://, https:// or file:// and the "
                 "repository's path)";
        return false;
    }
    apr_pool_t* scratch = nullptr;
    apr_pool_create(&scratch, m_rootPool);
    m_url = svn_uri_canonicalize(url.c_str(), scratch);
    apr_pool_destroy(scratch);
    m_userName = userName;
    m_host.clear();
    m_port = 0;
    if (SvnServer(m_url, m_host, m_port))
        m_deadline.SetServer(m_host, m_port);
    m_lastAnswerMs = 0;
    return MakeContext(reason);
}

const char* SubversionSession::UrlOf(const std::string& path, apr_pool_t* pool) const
{
    if (path.empty())
        return apr_pstrdup(pool, m_url.c_str());
    return svn_path_url_add_component2(m_url.c_str(), path.c_str(), pool);
}

svn_ra_session_t* SubversionSession::Connection(svn_error_t** err, apr_pool_t* scratch)
{
    *err = SVN_NO_ERROR;
    if (m_connection)
        return m_connection;
    svn_ra_session_t* connection = nullptr;
    *err = svn_client_open_ra_session2(&connection, m_url.c_str(), nullptr, m_context, m_sessionPool, scratch);
    const char* root = nullptr;
    if (!*err)
        *err = svn_ra_get_repos_root2(connection, &root, scratch);
    if (*err)
        return nullptr;
    const char* below = svn_uri_skip_ancestor(root, m_url.c_str(), scratch);
    m_repositoryPath = std::string("/") + (below ? below : "");
    m_connection = connection;
    return m_connection;
}

void SubversionSession::SetUserName(const std::string& userName)
{
    m_userName = userName;
    Reset();
}

void SubversionSession::Reset()
{
    std::string reason;
    if (m_context)
        MakeContext(reason);
}

bool SubversionSession::MakeContext(std::string& reason)
{
    m_resetPending = false;
    if (m_sessionPool)
        apr_pool_destroy(m_sessionPool);
    m_context = nullptr;
    m_connection = nullptr;
    apr_pool_create(&m_sessionPool, m_rootPool);

    const char* configFolder = m_options.configFolder.empty() ? nullptr : m_options.configFolder.c_str();
    apr_hash_t* config = nullptr;
    svn_error_t* err = svn_config_get_config(&config, configFolder, m_sessionPool);
    if (!err)
        err = svn_client_create_context2(&m_context, config, m_sessionPool);
    if (err)
    {
        reason = SubversionErrorText(err);
        svn_error_clear(err);
        m_context = nullptr;
        return false;
    }

    // Credentials: the configured user with the given password, or what
    // Subversion's own store holds for this user. Never asks and never stores.
    apr_array_header_t* providers = apr_array_make(m_sessionPool, 2, sizeof(svn_auth_provider_object_t*));
    svn_auth_provider_object_t* provider = nullptr;
    svn_auth_get_simple_provider2(&provider, nullptr, nullptr, m_sessionPool);
    APR_ARRAY_PUSH(providers, svn_auth_provider_object_t*) = provider;
    svn_auth_get_username_provider(&provider, m_sessionPool);
    APR_ARRAY_PUSH(providers, svn_auth_provider_object_t*) = provider;
    svn_auth_baton_t* auth = nullptr;
    svn_auth_open(&auth, providers, m_sessionPool);
    svn_auth_set_parameter(auth, SVN_AUTH_PARAM_NON_INTERACTIVE, "");
    svn_auth_set_parameter(auth, SVN_AUTH_PARAM_NO_AUTH_CACHE, "");
    svn_auth_set_parameter(auth, SVN_AUTH_PARAM_DONT_STORE_PASSWORDS, "");
    if (configFolder)
        svn_auth_set_parameter(auth, SVN_AUTH_PARAM_CONFIG_DIR, apr_pstrdup(m_sessionPool, configFolder));
    if (!m_userName.empty())
        svn_auth_set_parameter(auth, SVN_AUTH_PARAM_DEFAULT_USERNAME, apr_pstrdup(m_sessionPool, m_userName.c_str()));
    if (!m_options.password.empty())
        svn_auth_set_parameter(auth, SVN_AUTH_PARAM_DEFAULT_PASSWORD,
                               apr_pstrdup(m_sessionPool, m_options.password.c_str()));
    m_context->auth_baton = auth;

    m_context->cancel_func = &SubversionSession::OnCancel;
    m_context->cancel_baton = this;
    m_context->notify_func2 = &SubversionSession::OnNotify;
    m_context->notify_baton2 = this;
    m_context->progress_func = &SubversionSession::OnProgress;
    m_context->progress_baton = this;
    m_context->log_msg_func3 = &SubversionSession::OnLogMessage;
    m_context->log_msg_baton3 = this;
    return true;
}

void SubversionSession::Log(const std::string& text, bool error) const
{
    if (m_log)
        m_log->Log(text, true, error);
}

svn_error_t* SubversionSession::OnCancel(void* baton)
{
    auto* session = static_cast<SubversionSession*>(baton);
    if (session->m_deadline.Expired())
        return svn_error_create(SVN_ERR_CANCELLED, nullptr, "The server did not answer in time");
    if (session->m_cancel && session->m_cancel->IsSet())
        return svn_error_create(SVN_ERR_CANCELLED, nullptr, "Cancelled by user");
    return SVN_NO_ERROR;
}

void SubversionSession::OnProgress(apr_off_t, apr_off_t, void* baton, apr_pool_t*)
{
    static_cast<SubversionSession*>(baton)->m_deadline.Touch();
}

void SubversionSession::OnNotify(void* baton, const svn_wc_notify_t* notify, apr_pool_t*)
{
    auto* session = static_cast<SubversionSession*>(baton);
    session->m_deadline.Touch();
    std::string shown = notify->path ? notify->path : (notify->url ? notify->url : "");
    const std::string& root = session->m_displayRoot;
    if (!root.empty() && shown.size() > root.size() && shown.compare(0, root.size(), root) == 0 &&
        shown[root.size()] == '/')
        shown = shown.substr(root.size() + 1);
    const std::string& path = shown;
    switch (notify->action)
    {
    case svn_wc_notify_failed_lock:
    case svn_wc_notify_failed_unlock:
    {
        ItemFailure failure;
        failure.code = notify->err ? int(notify->err->apr_err) : 0;
        failure.text = notify->err ? SubversionErrorText(notify->err) : path;
        session->m_itemFailures.push_back(failure);
        break;
    }
    case svn_wc_notify_update_add:
        if (session->m_logFileActions)
            session->Log("Added " + path, false);
        break;
    case svn_wc_notify_update_update:
        if (session->m_logFileActions && (notify->content_state == svn_wc_notify_state_changed ||
                                          notify->content_state == svn_wc_notify_state_merged))
            session->Log("Updated " + path, false);
        if (notify->content_state == svn_wc_notify_state_conflicted ||
            notify->prop_state == svn_wc_notify_state_conflicted)
        {
            ++session->m_conflicts;
            session->Log("Conflict in " + path, true);
        }
        break;
    case svn_wc_notify_update_delete:
        if (session->m_logFileActions)
            session->Log("Deleted " + path, false);
        break;
    case svn_wc_notify_tree_conflict:
        ++session->m_conflicts;
        session->Log("Conflict in " + path, true);
        break;
    case svn_wc_notify_skip_conflicted:
        // An earlier sync's conflict that nobody resolved: still a conflict.
        ++session->m_conflicts;
        session->Log("Conflict in " + path + " remains: merge it and resolve it", true);
        break;
    case svn_wc_notify_skip:
    case svn_wc_notify_update_skip_obstruction:
    case svn_wc_notify_update_skip_working_only:
    case svn_wc_notify_update_skip_access_denied:
        session->Log("Skipped " + path, true);
        break;
    case svn_wc_notify_failed_revert:
        session->Log("Couldn't revert " + path, true);
        break;
    default:
        break;
    }
}

svn_error_t* SubversionSession::OnLogMessage(const char** message, const char** tmpFile, const apr_array_header_t*,
                                             void* baton, apr_pool_t* pool)
{
    auto* session = static_cast<SubversionSession*>(baton);
    *message = apr_pstrdup(pool, session->m_commitMessage.c_str());
    *tmpFile = nullptr;
    return SVN_NO_ERROR;
}

svn_error_t* SubversionSession::OnCommitted(const svn_commit_info_t* info, void* baton, apr_pool_t*)
{
    static_cast<SubversionSession*>(baton)->m_committedRevision = info->revision;
    return SVN_NO_ERROR;
}

SubversionSession::Call::Call(SubversionSession& session, Reach reach, const ManualResetEvent* cancel)
    : m_session(session)
{
    // Not below the session pool: a failed connection replaces that pool mid-call.
    apr_pool_create(&m_pool, session.m_rootPool);
    // A call made while another one runs (a status asked on the way) leaves
    // the outer call's cancel event, deadline and reports alone.
    m_outermost = session.m_activeCalls++ == 0;
    if (m_outermost)
    {
        session.m_cancel = cancel;
        session.m_itemFailures.clear();
        session.m_committedRevision = -1;
        session.m_conflicts = 0;
    }
    if (!session.m_context)
    {
        m_reachable = false;
        m_error = "Not connected to a repository";
        return;
    }
    bool probe = reach == Reach::NewConnection || !session.m_connection ||
                 TickCountMs() - session.m_lastAnswerMs > kProbeAfterSilenceMs;
    if (!session.m_host.empty() && reach != Reach::LocalOnly && probe)
    {
        std::string reason;
        if (!NetworkDeadline::Probe(session.m_host, session.m_port, session.m_options.connectTimeoutMs, reason, true))
        {
            m_reachable = false;
            m_connectionFailed = true;
            m_error = "Can't reach the server " + session.m_host + ":" + std::to_string(session.m_port) + " (" +
                      reason + ")";
            return;
        }
    }
    if (m_outermost)
        session.m_deadline.Arm(session.m_options.deadlineMs);
    else
        session.m_deadline.Touch();
}

SubversionSession::Call::~Call()
{
    // The call's pool first: what the library left in it (an unfinished
    // editor, a working-copy lock) is cleaned up through the client context,
    // which must still exist then.
    apr_pool_destroy(m_pool);
    if (--m_session.m_activeCalls == 0)
    {
        m_session.m_deadline.Disarm();
        m_session.m_cancel = nullptr;
        if (m_session.m_resetPending)
            m_session.Reset();
    }
}

bool SubversionSession::Call::Check(svn_error_t* err)
{
    if (!m_reachable)
        return false;
    if (!err)
    {
        m_session.m_lastAnswerMs = TickCountMs();
        return true;
    }
    bool timedOut = m_session.m_deadline.Expired();
    m_error = SubversionErrorText(err);
    if (timedOut)
        m_error = "The server did not answer within " + std::to_string(m_session.m_options.deadlineMs / 1000) +
                  " s: " + m_error;
    m_connectionFailed = timedOut || IsConnectionError(err);
    if (!m_connectionFailed)
        m_session.m_lastAnswerMs = TickCountMs();
    svn_error_clear(err);
    if (m_connectionFailed)
    {
        // A broken connection may sit in the context's cache: start afresh,
        // once no call of this session still works with the context.
        m_session.m_lastAnswerMs = 0;
        if (m_outermost)
            m_session.m_deadline.Disarm();
        m_session.m_resetPending = true;
        m_session.m_connection = nullptr;
    }
    return false;
}

} // namespace mw
