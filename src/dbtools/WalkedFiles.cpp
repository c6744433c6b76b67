// The files a build's walk found on disk.
#include "WalkedFiles.h"

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

// FNV-1a over the key form of both parts in turn.
uint64_t KeyHash(std::string_view first, std::string_view second)
{
    uint64_t hash = 14695981039346656037ull;
    for (std::string_view part : {first, second})
        for (char c : part)
            hash = (hash ^ uint8_t(KeyChar(c))) * 1099511628211ull;
    return hash;
}

} // namespace

std::string WalkedFiles::Key(std::string_view relative)
{
    std::string key(relative);
    for (char& c : key)
        c = KeyChar(c);
    return key;
}

void WalkedFiles::Reserve(size_t count)
{
    size_t wanted = 16;
    while (wanted < 2 * (m_count + count))
        wanted *= 2;
    if (wanted > m_slots.size())
        Grow(wanted);
    // Walked paths are a few dozen bytes each.
    m_keys.reserve(m_keys.size() + count * 32);
}

void WalkedFiles::Grow(size_t slots)
{
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.assign(slots, Slot());
    size_t mask = slots - 1;
    for (const Slot& slot : old)
    {
        if (slot.length == kEmpty)
            continue;
        size_t at = size_t(slot.hash) & mask;
        while (m_slots[at].length != kEmpty)
            at = (at + 1) & mask;
        m_slots[at] = slot;
    }
}

size_t WalkedFiles::Find(std::string_view folder, std::string_view name, uint64_t hash) const
{
    size_t mask = m_slots.size() - 1;
    size_t length = folder.size() + name.size();
    for (size_t at = size_t(hash) & mask;; at = (at + 1) & mask)
    {
        const Slot& slot = m_slots[at];
        if (slot.length == kEmpty)
            return at;
        if (slot.hash != hash || slot.length != length)
            continue;
        const char* key = m_keys.data() + slot.offset;
        bool same = true;
        for (std::string_view part : {folder, name})
        {
            for (size_t i = 0; same && i < part.size(); ++i)
                same = KeyChar(part[i]) == key[i];
            key += part.size();
        }
        if (same)
            return at;
    }
}

bool WalkedFiles::Add(std::string_view relative)
{
    // Offsets and lengths are 32-bit: a walk never notes 4 GB of names.
    if (m_keys.size() + relative.size() >= kEmpty)
        return false;
    if (2 * (m_count + 1) > m_slots.size())
        Grow(m_slots.empty() ? 16 : m_slots.size() * 2);
    uint64_t hash = KeyHash(std::string_view(), relative);
    size_t at = Find(std::string_view(), relative, hash);
    if (m_slots[at].length != kEmpty)
        return false;
    m_slots[at] = Slot{hash, uint32_t(m_keys.size()), uint32_t(relative.size())};
    for (char c : relative)
        m_keys += KeyChar(c);
    ++m_count;
    return true;
}

bool WalkedFiles::Contains(std::string_view folder, std::string_view name) const
{
    if (m_count == 0)
        return false;
    return m_slots[Find(folder, name, KeyHash(folder, name))].length != kEmpty;
}

} // namespace mw
