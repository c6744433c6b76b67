// The archive's string table: dense ids handed out in order of first use,
// looked up through a hash table. Strings are never removed or renumbered.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace mw {

class StringMap
{
public:
    StringMap();
    ~StringMap();
    StringMap(const StringMap&) = delete;
    StringMap& operator=(const StringMap&) = delete;

    uint32_t FindOrAdd(std::string_view text);
    std::optional<uint32_t> Find(std::string_view text) const;
    // None when the id is negative or not below the count. The view stays
    // valid as long as the map.
    std::optional<std::string_view> GetString(int64_t id) const;
    uint32_t Count() const { return uint32_t(m_byId.size()); }
    // Makes room for count strings in all, so adding that many grows nothing.
    void Reserve(uint32_t count);

private:
    // An archive holds tens of thousands of strings, most of them short:
    // their bytes are kept one after another in large blocks rather than
    // one allocation each, so loading and freeing a table are cheap and
    // neighbouring ids lie close together. Blocks never move.
    struct Stored
    {
        const char* bytes = nullptr;
        uint32_t length = 0;
        uint32_t hash = 0;
    };
    // Open addressing with linear probing. A slot holds its string's hash
    // and id + 1 (0 marks an empty slot), so a probe past another string
    // reads only the slot, and the bytes are compared only when the hashes
    // match.
    struct Slot
    {
        uint32_t hash = 0;
        uint32_t idPlusOne = 0;
    };

    static uint32_t HashOf(std::string_view text);
    // The slot that holds text, or the empty slot where it would go.
    size_t SlotOf(std::string_view text, uint32_t hash) const;
    void Grow(size_t slotCount);
    const char* Keep(std::string_view text);

    std::vector<Stored> m_byId;
    std::vector<Slot> m_slots;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_blockFree = nullptr; // the unused rest of the last block
    size_t m_blockLeft = 0;
};

} // namespace mw
