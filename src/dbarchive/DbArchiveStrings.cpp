// The string-table adapter for the engine's record reader.
#include "DbArchiveStrings.h"

#include "DbArchive.h"

namespace mw {

bool DbArchiveStrings::GetString(uint32_t id, std::string& text) const
{
    std::optional<std::string_view> found = m_archive.Strings().GetString(id);
    if (!found)
        return false;
    text = *found;
    return true;
}

} // namespace mw
