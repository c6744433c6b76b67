// A name index over a template's variables that finds, for each name, the
// same variable as DbGroup::FindVariable on the root, without walking the
// tree, together with what compiling a value of it needs: its type code and
// whether it is an array.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace mw {

class DbGroup;
class DbVariable;

class TemplateVariableIndex
{
public:
    struct Entry
    {
        const DbVariable* variable = nullptr;
        uint32_t typeCode = 4;
        bool isArray = false;
        uint32_t position = 0; // 0 to Count() - 1, for tables kept beside the index
    };

    explicit TemplateVariableIndex(DbGroup& root);
    const DbVariable* Find(const std::string& name) const;
    // Null when the template has no variable of that name.
    const Entry* FindEntry(std::string_view name) const;
    uint32_t Count() const { return uint32_t(m_variables.size()); }

private:
    void Add(DbGroup& group);

    std::unordered_map<std::string_view, Entry> m_variables;
};

} // namespace mw
