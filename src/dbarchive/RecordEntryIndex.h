// Where each record's entry stands in the archive's table, by name id. Name
// ids are dense (the string table hands them out in order), so the index
// is a plain array: loading, looking up and freeing cost no allocation per
// record. An id far beyond what the archive could hold (a damaged table) is
// kept aside instead of growing the array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace mw {

class RecordEntryIndex
{
public:
    static constexpr size_t kNone = SIZE_MAX;

    // Ids below limit go into the array.
    void Reset(size_t limit)
    {
        m_places.clear();
        m_far.clear();
        m_limit = limit;
    }
    void Set(uint32_t nameId, size_t place)
    {
        if (nameId >= m_limit)
        {
            m_far[nameId] = place;
            return;
        }
        if (nameId >= m_places.size())
            m_places.resize(size_t(nameId) + 1, kNone);
        m_places[nameId] = place;
    }
    size_t Find(uint32_t nameId) const
    {
        if (nameId < m_places.size())
            return m_places[nameId];
        auto far = m_far.find(nameId);
        return far == m_far.end() ? kNone : far->second;
    }

private:
    std::vector<size_t> m_places;
    std::unordered_map<uint32_t, size_t> m_far;
    size_t m_limit = 0;
};

} // namespace mw
