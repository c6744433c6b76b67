// The source-control facade.
#include "SourceControlClient.h"

#include "../PathRules.h"
#include "LocalSourceControlBackend.h"

namespace mw {

SourceControlClient::SourceControlClient() : m_backend(std::make_unique<LocalSourceControlBackend>()) {}

SourceControlClient::~SourceControlClient() = default;

void SourceControlClient::SetBackend(std::unique_ptr<ISourceControlBackend> backend)
{
    m_backend = std::move(backend);
    m_backend->SetClientDirectory(m_clientDirectory);
    m_backend->SetUserName(m_userName);
    m_backend->SetLog(m_log);
}

bool SourceControlClient::Connect(const std::string& database)
{
    if (!m_networkFactory)
        return false;
    std::unique_ptr<ISourceControlBackend> backend = m_networkFactory(database);
    if (!backend)
        return false;
    backend->SetClientDirectory(m_clientDirectory);
    backend->SetUserName(m_userName);
    backend->SetLog(m_log);
    if (!backend->Connect(database))
        return false;
    m_backend = std::move(backend);
    return true;
}

void SourceControlClient::Disconnect() { m_backend->Disconnect(); }

void SourceControlClient::SetUserName(const std::string& userName)
{
    m_userName = userName;
    m_backend->SetUserName(userName);
}

void SourceControlClient::SetClientDirectory(const std::string& folder)
{
    m_clientDirectory = folder;
    m_backend->SetClientDirectory(folder);
}

void SourceControlClient::SetLog(SourceControlLog* log)
{
    m_log = log;
    m_backend->SetLog(log);
}

int SourceControlClient::PingServer() { return m_backend->PingServer(); }
void SourceControlClient::GetUserState(std::string& state) { m_backend->GetUserState(state); }

int SourceControlClient::GetFileStatus(const std::string& path, FileStatus& status)
{
    return m_backend->GetFileStatus(ToForwardSlashes(path), status);
}
int SourceControlClient::CheckOutFile(const std::string& path, bool lock)
{
    return m_backend->CheckOutFile(ToForwardSlashes(path), lock);
}
bool SourceControlClient::CheckInFile(const std::string& path) { return CheckInFile(path, std::string()); }
bool SourceControlClient::CheckInFile(const std::string& path, const std::string& message)
{
    return m_backend->CheckInFile(ToForwardSlashes(path), message);
}
bool SourceControlClient::RevertFile(const std::string& path) { return m_backend->RevertFile(ToForwardSlashes(path)); }
bool SourceControlClient::AddFile(const std::string& path) { return m_backend->AddFile(ToForwardSlashes(path)); }
int SourceControlClient::AddFolder(const std::string& folder, const ManualResetEvent* cancel)
{
    return m_backend->AddFolder(ToForwardSlashes(folder), cancel);
}
bool SourceControlClient::ResolveFile(const std::string& path) { return m_backend->ResolveFile(ToForwardSlashes(path)); }
void SourceControlClient::GetConflictedFiles(const std::string& folder, std::vector<std::string>& list)
{
    m_backend->GetConflictedFiles(ToForwardSlashes(folder), list);
}
int SourceControlClient::DeleteFileA(const std::string& path) { return m_backend->DeleteFile(ToForwardSlashes(path)); }
int SourceControlClient::DeleteDirectory(const std::string& path)
{
    return m_backend->DeleteDirectory(ToForwardSlashes(path));
}
int SourceControlClient::RenameFile(const std::string& oldPath, const std::string& newPath)
{
    return m_backend->RenameFile(ToForwardSlashes(oldPath), ToForwardSlashes(newPath));
}
bool SourceControlClient::CreateDirectoryA(const std::string& path)
{
    return m_backend->CreateDirectory(ToForwardSlashes(path));
}
bool SourceControlClient::CreateAllDirectories(const std::string& path)
{
    return m_backend->CreateAllDirectories(ToForwardSlashes(path));
}
bool SourceControlClient::IsFileWriteable(const std::string& path)
{
    return m_backend->IsFileWriteable(ToForwardSlashes(path));
}
bool SourceControlClient::IsRelativeFileUpToDate(const std::string& path)
{
    return m_backend->IsRelativeFileUpToDate(ToForwardSlashes(path));
}
FileVersion SourceControlClient::GetClientFileVersion(const std::string& path)
{
    return m_backend->GetClientFileVersion(ToForwardSlashes(path));
}
int SourceControlClient::SyncPath(const std::string* path, bool force, const ManualResetEvent* cancel)
{
    if (!path)
        return m_backend->SyncPath(nullptr, force, cancel);
    std::string forward = ToForwardSlashes(*path);
    return m_backend->SyncPath(&forward, force, cancel);
}

void SourceControlClient::GetFolders(const std::string& path, std::vector<std::string>& list)
{
    m_backend->GetFolders(ToForwardSlashes(path), list);
}
void SourceControlClient::GetFoldersFast(const std::string& path, std::vector<std::string>& list)
{
    m_backend->GetFolders(ToForwardSlashes(path), list);
}
void SourceControlClient::GetFiles(const std::string& path, std::vector<std::string>& list, int mode,
                                   bool onlyCheckedOut, const std::string& userName)
{
    m_backend->GetFiles(ToForwardSlashes(path), list, mode, onlyCheckedOut, userName);
}
void SourceControlClient::GetFolderFileStates(const std::string& folder, std::vector<FolderFileState>& states)
{
    m_backend->GetFolderFileStates(ToForwardSlashes(folder), states);
}
void SourceControlClient::GetFilesUnderDirectory(const std::string& path, std::vector<std::string>& list)
{
    m_backend->GetFilesUnderDirectory(ToForwardSlashes(path), list);
}

} // namespace mw
