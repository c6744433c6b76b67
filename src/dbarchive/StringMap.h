// The archive's string table: dense ids handed out in order of first use,
// looked up through a hash map. Strings are never removed or renumbered.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

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
    // A deque keeps every string where it is, so the map's views stay valid.
    std::deque<std::string> m_strings;
    std::unordered_map<std::string_view, uint32_t> m_ids;
};

} // namespace mw
