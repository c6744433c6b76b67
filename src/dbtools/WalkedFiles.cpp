// The files a build's walk found on disk.
#include "WalkedFiles.h"

namespace mw {

std::string WalkedFiles::Key(std::string_view relative)
{
    std::string key(relative);
    for (char& c : key)
    {
        if (c == '\\')
            c = '/';
        else if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return key;
}

void WalkedFiles::Add(std::string_view relative) { m_files.insert(Key(relative)); }

bool WalkedFiles::Contains(std::string_view relative) const { return m_files.count(Key(relative)) != 0; }

} // namespace mw
