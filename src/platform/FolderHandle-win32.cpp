// Open folders on Windows: the folder's path, checked once, with each name
// asked of the file system below it.
#include "FolderHandle.h"

#include "PathRules.h"

namespace mw {

bool FolderHandle::Open(const std::string& path)
{
    Close();
    if (!IsFolder(path))
        return false;
    m_path = WithTrailingSeparator(path);
    m_fd = 0;
    return true;
}

void FolderHandle::Close()
{
    m_fd = -1;
    m_path.clear();
}

bool FolderHandle::Stat(const std::string& name, FileInfo& info) const
{
    return m_fd >= 0 && GetFileInfo(m_path + name, info);
}

} // namespace mw
