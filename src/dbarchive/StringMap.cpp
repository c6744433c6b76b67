// The string table.
#include "StringMap.h"

#include <cstring>
#include <functional>

namespace mw {

uint32_t StringMap::HashOf(std::string_view text)
{
    uint64_t hash = std::hash<std::string_view>{}(text);
    return uint32_t(hash ^ (hash >> 32));
}

size_t StringMap::SlotOf(std::string_view text, uint32_t hash) const
{
    size_t mask = m_slots.size() - 1;
    size_t slot = hash & mask;
    for (;;)
    {
        const Slot& entry = m_slots[slot];
        if (entry.idPlusOne == 0)
            return slot;
        if (entry.length == text.size() && (text.empty() || std::memcmp(entry.bytes, text.data(), text.size()) == 0))
            return slot;
        slot = (slot + 1) & mask;
    }
}

void StringMap::Reserve(uint32_t count)
{
    size_t size = m_slots.empty() ? 64 : m_slots.size();
    while ((size_t(count) + 1) * 2 > size)
        size *= 2;
    if (size != m_slots.size())
        Grow(size);
    m_hashes.reserve(count);
}

void StringMap::Grow(size_t size)
{
    m_slots.assign(size, Slot());
    size_t mask = size - 1;
    for (uint32_t id = 0; id < m_strings.size(); ++id)
    {
        size_t slot = m_hashes[id] & mask;
        while (m_slots[slot].idPlusOne != 0)
            slot = (slot + 1) & mask;
        const std::string& text = m_strings[id];
        m_slots[slot] = Slot{text.data(), uint32_t(text.size()), id + 1};
    }
}

uint32_t StringMap::FindOrAdd(std::string_view text)
{
    // At most half full, so probes stay short.
    if ((m_strings.size() + 1) * 2 > m_slots.size())
        Grow(m_slots.empty() ? 64 : m_slots.size() * 2);
    uint32_t hash = HashOf(text);
    size_t slot = SlotOf(text, hash);
    if (m_slots[slot].idPlusOne != 0)
        return m_slots[slot].idPlusOne - 1;
    uint32_t id = uint32_t(m_strings.size());
    const std::string& stored = m_strings.emplace_back(text);
    m_hashes.push_back(hash);
    m_slots[slot] = Slot{stored.data(), uint32_t(stored.size()), id + 1};
    return id;
}

std::optional<uint32_t> StringMap::Find(std::string_view text) const
{
    if (m_slots.empty())
        return std::nullopt;
    size_t slot = SlotOf(text, HashOf(text));
    if (m_slots[slot].idPlusOne == 0)
        return std::nullopt;
    return m_slots[slot].idPlusOne - 1;
}

const std::string* StringMap::GetString(int64_t id) const
{
    if (id < 0 || uint64_t(id) >= m_strings.size())
        return nullptr;
    return &m_strings[size_t(id)];
}

} // namespace mw
