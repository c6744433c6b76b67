// A name index over a template's variables that finds, for each name, the
// same variable as DbGroup::FindVariable on the root, without walking the tree.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace mw {

class DbGroup;
class DbVariable;

class TemplateVariableIndex
{
public:
    explicit TemplateVariableIndex(DbGroup& root);
    const DbVariable* Find(const std::string& name) const;

private:
    void Add(DbGroup& group);

    std::unordered_map<std::string_view, const DbVariable*> m_variables;
};

} // namespace mw
