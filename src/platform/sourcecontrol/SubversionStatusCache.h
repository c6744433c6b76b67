// What the server and the working copy know of the entries of one folder,
// asked in one go per folder and kept for a short while, so that a view that
// asks for the status of every row of a folder costs one server call.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace mw {

class SubversionSession;

// One file or folder, by its path relative to the working copy's root.
struct SubversionEntry
{
    bool onServer = false;
    bool serverIsFolder = false;
    long serverRevision = 0;   // the last revision that changed it on the server
    std::string lockOwner;     // who holds its lock, empty when nobody does
    bool inWorkingCopy = false;
    bool workingIsFolder = false;
    bool scheduledAdd = false;   // added locally, not committed yet
    bool holdsLockToken = false; // this working copy holds its lock
    long workingRevision = 0;    // the last revision that changed the working copy's base
    bool locallyModified = false; // the local text differs from the base
    bool conflicted = false;      // a sync left it in conflict
};

class SubversionStatusCache
{
public:
    // workingCopyRoot: the working copy's absolute folder without a trailing "/".
    SubversionStatusCache(SubversionSession& session, std::string workingCopyRoot)
        : m_session(session), m_root(std::move(workingCopyRoot))
    {
    }

    // The entry of path (relative, "/"-separated, no trailing "/"). False with
    // the reason when the server could not be asked.
    bool Entry(const std::string& path, SubversionEntry& entry, std::string& error);
    // The entry of path when a fresh folder listing holds it; no server call.
    bool CachedEntry(const std::string& path, SubversionEntry& entry) const;
    // The entries directly below folder ("" for the root), keyed by their
    // relative paths; false with the reason when the server could not be asked.
    bool Children(const std::string& folder, std::map<std::string, SubversionEntry>& children, std::string& error);

    // The checksum of the server's text of path at revision.
    bool ServerChecksum(const std::string& path, long revision, unsigned& checksum, std::string& error);

    // Forgets what is known of path (after this client changed it).
    void Forget(const std::string& path);
    void Clear();

private:
    struct Folder
    {
        uint64_t takenMs = 0;
        std::map<std::string, SubversionEntry> entries; // the folder itself and its children
    };

    // Asks the server and the working copy about target and, when
    // withChildren, its children.
    bool Query(const std::string& target, bool withChildren, std::map<std::string, SubversionEntry>& entries,
               std::string& error);
    // Query as one walk of the working copy that the server completes
    // (Subversion's status with out-of-date information). Sets
    // walkCannotAnswer when the walk failed for want of a working copy of
    // target rather than for want of the server.
    bool Walk(const std::string& target, bool withChildren, std::map<std::string, SubversionEntry>& entries,
              std::string& error, bool& walkCannotAnswer);
    // Query for a target the working copy lacks: the server's listing, its
    // locks and the working copy asked one after the other.
    bool ListSeparately(const std::string& target, bool withChildren, std::map<std::string, SubversionEntry>& entries,
                        std::string& error);
    const Folder* FreshFolder(const std::string& folder, std::string& error);

    SubversionSession& m_session;
    std::string m_root;
    std::map<std::string, Folder> m_folders;
    std::set<std::string> m_forgotten;
    std::map<std::pair<std::string, long>, unsigned> m_serverChecksums;
};

// The first 32 bits of the SHA-1 of bytes: the checksum source control reports.
unsigned ContentChecksum(const std::string& bytes);

} // namespace mw
