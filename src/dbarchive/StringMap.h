// The archive's string table: dense ids handed out in order of first use,
// looked up through a hash table. Strings are never removed or renumbered.
#pragma once

#include <cstdint>
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

private:
    static uint32_t HashOf(std::string_view text);
    // The slot that holds text, or the empty slot where it would go.
    size_t SlotOf(std::string_view text, uint32_t hash) const;
    void Grow();

    std::vector<std::string> m_strings; // by id
    std::vector<uint32_t> m_hashes;     // by id
    // Open addressing with linear probing: each slot packs a string's hash
    // (high half) and its id + 1 (low half); 0 marks an empty slot. The hash
    // in the slot spares most comparisons a visit to the string itself.
    std::vector<uint64_t> m_slots;
};

} // namespace mw
