// Template groups.
#include "DbGroup.h"

namespace mw {

std::unique_ptr<DbGroup> DbGroup::DeepCopy() const
{
    auto copy = std::make_unique<DbGroup>(name, type);
    copy->sourceFile = sourceFile;
    for (const auto& variable : variables)
        copy->variables.push_back(std::make_unique<DbVariable>(*variable));
    for (const auto& subgroup : subgroups)
        copy->subgroups.push_back(subgroup->DeepCopy());
    return copy;
}

DbGroup* DbGroup::FindGroup(const std::string& groupName)
{
    for (const auto& subgroup : subgroups)
    {
        if (subgroup->name == groupName)
            return subgroup.get();
        if (DbGroup* found = subgroup->FindGroup(groupName))
            return found;
    }
    return nullptr;
}

DbVariable* DbGroup::FindVariable(const std::string& variableName, DbGroup** holder)
{
    for (const auto& variable : variables)
        if (variable->name == variableName)
        {
            if (holder)
                *holder = this;
            return variable.get();
        }
    for (const auto& subgroup : subgroups)
        if (DbVariable* found = subgroup->FindVariable(variableName, holder))
            return found;
    return nullptr;
}

void DbGroup::AddVariable(std::unique_ptr<DbVariable> variable, int index)
{
    variable->sourceFile = sourceFile;
    DbVariable* existing = FindVariable(variable->name);
    if (existing && !variable->IsDirective())
    {
        existing->CopyFrom(*variable);
        return;
    }
    if (index < 0 || size_t(index) >= variables.size())
        variables.push_back(std::move(variable));
    else
        variables.insert(variables.begin() + index, std::move(variable));
}

void DbGroup::AppendCopy(const DbGroup& other)
{
    name = other.name;
    type = other.type;
    // Copy first: other may be this group or lie inside it.
    std::vector<std::unique_ptr<DbVariable>> newVariables;
    for (const auto& variable : other.variables)
        newVariables.push_back(std::make_unique<DbVariable>(*variable));
    std::vector<std::unique_ptr<DbGroup>> newGroups;
    for (const auto& subgroup : other.subgroups)
        newGroups.push_back(subgroup->DeepCopy());
    for (auto& variable : newVariables)
        variables.push_back(std::move(variable));
    for (auto& subgroup : newGroups)
        subgroups.push_back(std::move(subgroup));
}

void DbGroup::SetSourceFile(const std::string& path)
{
    sourceFile = path;
    for (const auto& variable : variables)
        variable->sourceFile = path;
    for (const auto& subgroup : subgroups)
        subgroup->SetSourceFile(path);
}

void DbGroup::CollectVariables(std::vector<DbVariable*>& list)
{
    for (const auto& variable : variables)
        list.push_back(variable.get());
    for (const auto& subgroup : subgroups)
        subgroup->CollectVariables(list);
}

void DbGroup::CollectGroups(std::vector<DbGroup*>& list)
{
    for (const auto& subgroup : subgroups)
    {
        list.push_back(subgroup.get());
        subgroup->CollectGroups(list);
    }
}

} // namespace mw
