// The string table.
#include "StringMap.h"

#include <cstring>
#include <functional>

namespace mw {
namespace {

constexpr size_t kBlockSize = 64 * 1024;
// A string this long or longer gets a block of its own, so a block's unused
// tail stays small.
constexpr size_t kOwnBlockLength = kBlockSize / 8;

} // namespace

StringMap::StringMap() = default;
StringMap::~StringMap() = default;

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
        if (entry.hash == hash)
        {
            const Stored& stored = m_byId[entry.idPlusOne - 1];
            if (stored.length == text.size() && (text.empty() || std::memcmp(stored.bytes, text.data(), text.size()) == 0))
                return slot;
        }
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
    m_byId.reserve(count);
}

void StringMap::Grow(size_t size)
{
    m_slots.assign(size, Slot());
    size_t mask = size - 1;
    for (uint32_t id = 0; id < m_byId.size(); ++id)
    {
        uint32_t hash = m_byId[id].hash;
        size_t slot = hash & mask;
        while (m_slots[slot].idPlusOne != 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = Slot{hash, id + 1};
    }
}

const char* StringMap::Keep(std::string_view text)
{
    if (text.empty())
        return nullptr;
    if (text.size() >= kOwnBlockLength)
    {
        // The current block's free tail stays in use for the next strings.
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::memcpy(m_blocks.back().get(), text.data(), text.size());
        return m_blocks.back().get();
    }
    if (text.size() > m_blockLeft)
    {
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
        m_blockFree = m_blocks.back().get();
        m_blockLeft = kBlockSize;
    }
    char* kept = m_blockFree;
    std::memcpy(kept, text.data(), text.size());
    m_blockFree += text.size();
    m_blockLeft -= text.size();
    return kept;
}

uint32_t StringMap::FindOrAdd(std::string_view text)
{
    // At most half full, so probes stay short.
    if ((m_byId.size() + 1) * 2 > m_slots.size())
        Grow(m_slots.empty() ? 64 : m_slots.size() * 2);
    uint32_t hash = HashOf(text);
    size_t slot = SlotOf(text, hash);
    if (m_slots[slot].idPlusOne != 0)
        return m_slots[slot].idPlusOne - 1;
    uint32_t id = uint32_t(m_byId.size());
    m_byId.push_back(Stored{Keep(text), uint32_t(text.size()), hash});
    m_slots[slot] = Slot{hash, id + 1};
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

std::optional<std::string_view> StringMap::GetString(int64_t id) const
{
    if (id < 0 || uint64_t(id) >= m_byId.size())
        return std::nullopt;
    const Stored& stored = m_byId[size_t(id)];
    return std::string_view(stored.bytes, stored.length);
}

} // namespace mw
