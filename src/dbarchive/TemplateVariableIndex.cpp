// The variable name index.
#include "TemplateVariableIndex.h"

#include "RecordCompiler.h"
#include "dbtext/DbGroup.h"

namespace mw {

TemplateVariableIndex::TemplateVariableIndex(DbGroup& root) { Add(root); }

void TemplateVariableIndex::Add(DbGroup& group)
{
    // The same order as FindVariable: a group's own variables, then its
    // subgroups; the first of a name wins.
    for (const auto& variable : group.variables)
        m_variables.emplace(variable->name, Entry{variable.get(), TypeCodeOf(variable->type),
                                                  variable->varClass == "array", uint32_t(m_variables.size())});
    for (const auto& subgroup : group.subgroups)
        Add(*subgroup);
}

const DbVariable* TemplateVariableIndex::Find(const std::string& name) const
{
    const Entry* entry = FindEntry(name);
    return entry ? entry->variable : nullptr;
}

const TemplateVariableIndex::Entry* TemplateVariableIndex::FindEntry(std::string_view name) const
{
    auto it = m_variables.find(name);
    return it == m_variables.end() ? nullptr : &it->second;
}

} // namespace mw
