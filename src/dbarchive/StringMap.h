// The archive's string table: dense ids handed out in order of first use,
// looked up through a hash table. Strings are never removed or renumbered.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

class StringMap
{
public:
    uint32_t FindOrAdd(std::string_view text);
    std::optional<uint32_t> Find(std::string_view text) const;
    // None when the id is negative or not below the count.
    const std::string* GetString(int64_t id) const;
    uint32_t Count() const { return uint32_t(m_strings.size()); }
    // Makes room for count strings in all, so adding that many grows nothing.
    void Reserve(uint32_t count);

private:
    // Open addressing with linear probing. A slot holds where its string's
    // bytes are, its length and its id + 1 (0 marks an empty slot), so a
    // lookup reads the slot and, when the length matches, the bytes, and
    // nothing else. The bytes stay where they are: a deque never moves its
    // elements when it grows.
    struct Slot
    {
        const char* bytes = nullptr;
        uint32_t length = 0;
        uint32_t idPlusOne = 0;
    };

    static uint32_t HashOf(std::string_view text);
    // The slot that holds text, or the empty slot where it would go.
    size_t SlotOf(std::string_view text, uint32_t hash) const;
    void Grow(size_t slotCount);

    std::deque<std::string> m_strings; // by id
    std::vector<uint32_t> m_hashes;    // by id, for growing
    std::vector<Slot> m_slots;
};

} // namespace mw
