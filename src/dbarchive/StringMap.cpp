// The string table.
#include "StringMap.h"

namespace mw {

uint32_t StringMap::FindOrAdd(std::string_view text)
{
    auto it = m_ids.find(text);
    if (it != m_ids.end())
        return it->second;
    uint32_t id = uint32_t(m_strings.size());
    m_strings.emplace_back(text);
    m_ids.emplace(std::string_view(m_strings.back()), id);
    return id;
}

std::optional<uint32_t> StringMap::Find(std::string_view text) const
{
    auto it = m_ids.find(text);
    if (it == m_ids.end())
        return std::nullopt;
    return it->second;
}

const std::string* StringMap::GetString(int64_t id) const
{
    if (id < 0 || uint64_t(id) >= m_strings.size())
        return nullptr;
    return &m_strings[size_t(id)];
}

} // namespace mw
