// The files a build's walk found on disk.
#include "WalkedFiles.h"

#include <cstdint>

namespace mw {
namespace {

char KeyChar(char c)
{
    if (c == '\\')
        return '/';
    if (c >= 'A' && c <= 'Z')
        return char(c - 'A' + 'a');
    return c;
}

} // namespace

std::string WalkedFiles::Key(std::string_view relative)
{
    std::string key(relative);
    for (char& c : key)
        c = KeyChar(c);
    return key;
}

size_t WalkedFiles::KeyHash::operator()(const Split& name) const
{
    // FNV-1a over the key form of both parts in turn.
    uint64_t hash = 14695981039346656037ull;
    for (std::string_view part : {name.first, name.second})
        for (char c : part)
            hash = (hash ^ uint8_t(KeyChar(c))) * 1099511628211ull;
    return size_t(hash);
}

bool WalkedFiles::KeyEqual::operator()(const Split& a, const std::string& b) const
{
    if (a.first.size() + a.second.size() != b.size())
        return false;
    size_t at = 0;
    for (std::string_view part : {a.first, a.second})
        for (char c : part)
            if (KeyChar(c) != b[at++])
                return false;
    return true;
}

void WalkedFiles::Add(std::string_view relative) { m_files.insert(Key(relative)); }

bool WalkedFiles::Contains(std::string_view folder, std::string_view name) const
{
    return m_files.find(Split{folder, name}) != m_files.end();
}

} // namespace mw
