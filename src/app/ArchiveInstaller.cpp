// Extraction of an installation archive with progress and cancel.
#include "ArchiveInstaller.h"

#include "platform/FileSystem.h"
#include "platform/ManualResetEvent.h"
#include "platform/PathRules.h"
#include "platform/engine/Archive.h"

namespace mw {

ArchiveInstaller::ArchiveInstaller() = default;

ArchiveInstaller::~ArchiveInstaller() { Close(); }

bool ArchiveInstaller::Open(const std::string& archivePath)
{
    Close();
    auto archive = std::make_unique<GAME::Archive>();
    if (!archive->Open(archivePath.c_str(), 1))
    {
        m_lastError = archive->LastError();
        return false;
    }
    m_archive = std::move(archive);
    m_totalBytes = 0;
    for (int i = 0; i < m_archive->GetNumFiles(); ++i)
        m_totalBytes += m_archive->GetFileEntry(i).size;
    return true;
}

int ArchiveInstaller::EntryCount() const { return m_archive ? m_archive->GetNumFiles() : 0; }

ArchiveInstaller::Result ArchiveInstaller::Extract(const std::string& destination, const ManualResetEvent& cancel,
                                                   const Progress& progress)
{
    m_failures.clear();
    m_written = 0;
    if (!m_archive)
        return Result::Failed;
    // Even a one-letter folder name gets its separator: the entries' names
    // are appended to it.
    std::string folder = destination;
    if (!folder.empty() && !IsSeparator(folder.back()))
        folder += '/';
    EnsureFolders(folder);
    uint64_t done = 0;
    for (int i = 0; i < m_archive->GetNumFiles(); ++i)
    {
        if (cancel.IsSet())
            return Result::Cancelled;
        GAME::FileEntry entry = m_archive->GetFileEntry(i);
        // The archive gives no name for an entry it would not extract safely:
        // it is left out and reported, so the install does not pass for complete.
        if (!entry.name)
        {
            m_failures.push_back(Format("entry %d: its name would leave the destination folder; skipped", i + 1));
            done += entry.size;
            continue;
        }
        std::string name = entry.name;
        if (m_skipped.count(name))
        {
            done += entry.size;
            continue;
        }
        if (progress)
            progress(name, done, m_totalBytes);
        // The extraction makes the entry's folders itself and replaces an
        // earlier file (read-only or not) by a rename, without following a
        // link anywhere below the destination.
        if (!m_archive->ExtractFileToDisk(i, folder.c_str()))
            m_failures.push_back(name + ": " + m_archive->LastError());
        else
            ++m_written;
        done += entry.size;
        if (progress)
            progress(std::string(), done, m_totalBytes);
    }
    return m_failures.empty() ? Result::Completed : Result::Failed;
}

void ArchiveInstaller::Close()
{
    if (m_archive)
        m_archive->Close(false);
    m_archive.reset();
    m_totalBytes = 0;
}

int ArchiveInstaller::Percent(uint64_t doneBytes, uint64_t totalBytes)
{
    if (totalBytes == 0)
        return 100;
    return int(doneBytes * 100 / totalBytes);
}

} // namespace mw
