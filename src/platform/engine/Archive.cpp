// Resource archive reader: maps the archive and reads its entries in place.
#include "Archive.h"

#include "ExtractBelowFolder.h"
#include "MemoryMappedFile.h"
#include "ResourceArchiveFile.h"

#include "../PathRules.h"

namespace GAME {

struct Archive::Impl
{
    MemoryMappedFile file;
    ResourceArchiveFile archive;
    bool open = false;
    mutable std::string lastError;
};

Archive::Archive() : m_impl(std::make_unique<Impl>()) {}

Archive::~Archive() = default;

bool Archive::Open(const char* path, int mode)
{
    Close(false);
    if (!path || mode != 1)
    {
        m_impl->lastError = "archives open for reading only";
        return false;
    }
    auto fresh = std::make_unique<Impl>();
    if (!fresh->file.Open(path))
    {
        m_impl->lastError = "cannot open file";
        return false;
    }
    const void* view = fresh->file.MapView(0, fresh->file.GetLength());
    if (!view)
    {
        m_impl->lastError = "cannot map file";
        return false;
    }
    std::string error;
    if (!fresh->archive.Parse(std::string_view(static_cast<const char*>(view), fresh->file.GetLength()), error))
    {
        m_impl->lastError = error;
        return false;
    }
    fresh->open = true;
    m_impl = std::move(fresh);
    return true;
}

int Archive::GetNumFiles() const { return m_impl->open ? int(m_impl->archive.Entries().size()) : 0; }

FileEntry Archive::GetFileEntry(int index) const
{
    FileEntry result;
    if (index < 0 || index >= GetNumFiles())
        return result;
    const ResourceArchiveEntry& entry = m_impl->archive.Entries()[size_t(index)];
    if (ResourceArchiveFile::IsSafeName(entry.name))
        result.name = entry.name.c_str();
    result.size = entry.size;
    return result;
}

int Archive::FindMatchingFilesEnd(std::vector<int>& indexes, const char* ending) const
{
    int count = 0;
    std::string_view wanted = ending ? ending : "";
    for (int i = 0; i < GetNumFiles(); ++i)
    {
        FileEntry entry = GetFileEntry(i);
        if (!entry.name)
            continue;
        std::string_view name = entry.name;
        if (name.size() >= wanted.size() && mw::EqualsNoCase(name.substr(name.size() - wanted.size()), wanted))
        {
            indexes.push_back(i);
            ++count;
        }
    }
    return count;
}

bool Archive::ExtractFileToDisk(int index, const char* folder) const
{
    if (index < 0 || index >= GetNumFiles() || !folder)
    {
        m_impl->lastError = "no such entry";
        return false;
    }
    const ResourceArchiveEntry& entry = m_impl->archive.Entries()[size_t(index)];
    if (!ResourceArchiveFile::IsSafeName(entry.name))
    {
        m_impl->lastError = "entry name would leave the destination folder";
        return false;
    }
    std::string bytes;
    if (!ResourceArchiveFile::Inflate(entry, bytes, m_impl->lastError))
        return false;
    return WriteFileBelowFolder(folder, entry.name, bytes, entry.time, m_impl->lastError);
}

const std::string& Archive::LastError() const { return m_impl->lastError; }

void Archive::Close(bool)
{
    std::string lastError = std::move(m_impl->lastError);
    m_impl = std::make_unique<Impl>();
    m_impl->lastError = std::move(lastError);
}

} // namespace GAME
