// Record-template binding.
#include "TemplateBinding.h"

#include "DbLog.h"
#include "DbRecord.h"
#include "DbTemplate.h"

#include <unordered_map>
#include <vector>

namespace mw {

void BindRecord(DbTemplate& dbTemplate, DbRecord& record, bool verbose, IToolContext* log)
{
    // Each name's first variable in FindVariable's order, found once for all
    // the record's values.
    std::vector<DbVariable*> variables;
    dbTemplate.Root().CollectVariables(variables);
    std::unordered_map<std::string, DbVariable*> byName;
    byName.reserve(variables.size());
    for (DbVariable* variable : variables)
        byName.emplace(variable->name, variable);
    std::vector<std::string> undeclared;
    for (const auto& [name, value] : record.Values())
    {
        auto found = byName.find(name);
        if (found != byName.end())
            found->second->value = value;
        else if (name != "templateFileName")
            undeclared.push_back(name);
    }
    for (const std::string& name : undeclared)
    {
        record.RemoveValue(name);
        record.FileState().SetModified(true);
        if (verbose)
            LogLine(log, "DbEditor: Deleting variable \"" + name + "\" from record \"" +
                             record.FileState().ShortName() + "\"");
    }
}

std::string FirstPicklistItem(const std::string& defaultValue)
{
    size_t semicolon = defaultValue.find(';');
    return semicolon == std::string::npos ? defaultValue : defaultValue.substr(0, semicolon);
}

namespace {

void ApplyGroup(DbGroup& group, DbRecord& record)
{
    for (const auto& variable : group.variables)
    {
        if (variable->IsDirective())
            continue;
        if (!variable->value.empty() && variable->varClass != "static")
        {
            record.SetValue(variable->name, variable->value);
            continue;
        }
        std::string fallback =
            variable->varClass == "picklist" ? FirstPicklistItem(variable->defaultValue) : variable->defaultValue;
        record.SetValue(variable->name, fallback);
        variable->value = fallback;
    }
    for (const auto& subgroup : group.subgroups)
        ApplyGroup(*subgroup, record);
}

} // namespace

void ApplyTemplate(DbTemplate& dbTemplate, DbRecord& record) { ApplyGroup(dbTemplate.Root(), record); }

} // namespace mw
