// The name lookup that follows the main table's order.
#include "RecordNameCursor.h"

#include "DbArchive.h"

namespace mw {

std::optional<uint32_t> RecordNameCursor::Find(std::string_view name)
{
    const std::vector<RecordEntry>& entries = m_archive.Entries();
    if (m_next < entries.size())
    {
        uint32_t id = entries[m_next].nameId;
        // The strings hold each text once, so a match is the id Find gives.
        if (std::optional<std::string_view> text = m_archive.Strings().GetString(id); text && *text == name)
        {
            ++m_next;
            return id;
        }
    }
    std::optional<uint32_t> id = m_archive.Strings().Find(name);
    // Out of order (a record saved anew goes last): go on from its entry.
    if (id)
        if (std::optional<size_t> place = m_archive.EntryPlace(*id))
            m_next = *place + 1;
    return id;
}

} // namespace mw
