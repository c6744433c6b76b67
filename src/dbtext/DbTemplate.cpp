// Reading, writing and include merging of templates.
#include "DbTemplate.h"

#include "DbLog.h"
#include "DbTextReader.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <functional>

#include <unordered_map>

namespace mw {

DbTemplate::DbTemplate() : DbDocument("Database Template Files (*.tpl)|*.tpl|"), m_root(std::make_unique<DbGroup>()) {}

DbTemplate::~DbTemplate() = default;

int DbTemplate::Clear()
{
    m_root = std::make_unique<DbGroup>("All Groups", "list");
    return 1;
}

DbRecord* DbTemplate::FindRecord(const std::string& shortName)
{
    for (const auto& record : m_boundRecords)
        if (record->FileState().ShortName() == shortName)
            return record.get();
    return nullptr;
}

void DbTemplate::AttachGroup(DbGroup& parent, std::unique_ptr<DbGroup> group)
{
    if (DbGroup* existing = parent.FindGroup(group->name))
        existing->AppendCopy(*group);
    else
        parent.subgroups.push_back(std::move(group));
}

int DbTemplate::Read(const char* bytes, size_t length)
{
    if (!Clear())
        return 0;
    SetKeywords({"{", "}", "=", "Variable", "Group", "class", "type", "description", "value", "defaultValue", "name"});
    DbTextReader reader(bytes, length, {}, true);
    int result = 1;
    while (!reader.AtEnd() && result == 1)
    {
        std::string token = reader.NextToken();
        if (token == "Group")
        {
            auto group = std::make_unique<DbGroup>();
            result = ReadGroupBlock(reader, *group);
            if (result != 1)
                break;
            if (group->name == "All Groups")
                m_root = std::move(group);
            else
                AttachGroup(*m_root, std::move(group));
        }
        else if (token == "fileNameHistoryEntry")
            ReadHistoryBlock(reader);
    }
    return result;
}

int DbTemplate::ReadBlock(DbTextReader& reader, const std::function<int(const std::string&)>& onKeyword)
{
    // The opening brace: any keyword is accepted.
    std::string token = reader.NextToken();
    int result = IsKeyword(token) ? 1 : 0;
    while (token != "}" && result == 1)
    {
        token = reader.NextToken();
        if (!IsKeyword(token))
            return 0;
        result = onKeyword(token);
    }
    return result;
}

int DbTemplate::ReadKeyValue(DbTextReader& reader, std::string& field)
{
    // The "=" must be a keyword; the value is the token after it.
    int result = IsKeyword(reader.NextToken()) ? 1 : 0;
    field = reader.NextToken();
    return result;
}

int DbTemplate::ReadGroupBlock(DbTextReader& reader, DbGroup& group)
{
    // The group's own variables by name (the first of a name, as
    // FindVariable finds it), so that each variable read is merged with an
    // earlier one of its name without a search through all of them.
    std::unordered_map<std::string, DbVariable*> ownVariables;
    auto addVariable = [&](std::unique_ptr<DbVariable> variable) {
        variable->sourceFile = group.sourceFile;
        auto own = ownVariables.find(variable->name);
        DbVariable* existing = own != ownVariables.end() ? own->second : nullptr;
        for (size_t i = 0; !existing && i < group.subgroups.size(); ++i)
            existing = group.subgroups[i]->FindVariable(variable->name);
        if (existing && !variable->IsDirective())
        {
            existing->CopyFrom(*variable);
            return;
        }
        ownVariables.emplace(variable->name, variable.get());
        group.variables.push_back(std::move(variable));
    };
    return ReadBlock(reader, [&](const std::string& key) {
        if (key == "name")
            return ReadKeyValue(reader, group.name);
        if (key == "type")
            return ReadKeyValue(reader, group.type);
        if (key == "Variable")
        {
            auto variable = std::make_unique<DbVariable>();
            int result = ReadVariableBlock(reader, *variable);
            if (result == 1)
                addVariable(std::move(variable));
            return result;
        }
        if (key == "Group")
        {
            auto subgroup = std::make_unique<DbGroup>();
            int result = ReadGroupBlock(reader, *subgroup);
            if (result == 1)
                AttachGroup(group, std::move(subgroup));
            return result;
        }
        return 1;
    });
}

int DbTemplate::ReadVariableBlock(DbTextReader& reader, DbVariable& variable)
{
    return ReadBlock(reader, [&](const std::string& key) {
        std::string* field = key == "name"           ? &variable.name
                             : key == "class"        ? &variable.varClass
                             : key == "type"         ? &variable.type
                             : key == "description"  ? &variable.description
                             : key == "value"        ? &variable.value
                             : key == "defaultValue" ? &variable.defaultValue
                                                     : nullptr;
        return field ? ReadKeyValue(reader, *field) : 1;
    });
}

void DbTemplate::ReadHistoryBlock(DbTextReader& reader)
{
    std::string token = reader.NextToken();
    while (!reader.AtEnd() && token != "}")
    {
        token = reader.NextToken();
        if (!IsKeyword(token))
            AddHistoryEntry(token);
    }
}

namespace {

void WriteVariableBlock(const DbVariable& variable, const std::string& indent, std::string& text)
{
    text += indent + "Variable\n";
    text += indent + "{\n";
    text += indent + "\tname = \"" + variable.name + "\"\n";
    text += indent + "\tclass = \"" + variable.varClass + "\"\n";
    text += indent + "\ttype = \"" + variable.type + "\"\n";
    text += indent + "\tdescription = \"" + variable.description + "\"\n";
    text += indent + "\tvalue = \"\"\n";
    text += indent + "\tdefaultValue = \"" + variable.defaultValue + "\"\n";
    text += indent + "}\n\n";
}

void WriteGroupBlock(const DbGroup& group, const std::string& indent, std::string& text)
{
    text += indent + "Group\n";
    text += indent + "{\n";
    text += indent + "\tname = \"" + group.name + "\"\n";
    text += indent + "\ttype = \"" + group.type + "\"\n\n";
    for (const auto& variable : group.variables)
        WriteVariableBlock(*variable, indent + "\t", text);
    for (const auto& subgroup : group.subgroups)
        WriteGroupBlock(*subgroup, indent + "\t", text);
    text += indent + "}\n\n";
}

} // namespace

int DbTemplate::Write(std::string& text) const
{
    if (!m_root)
        return 0;
    WriteGroupBlock(*m_root, "", text);
    if (!History().empty())
    {
        text += "fileNameHistoryEntry\n{\n";
        for (const std::string& entry : History())
            text += "\t\"" + entry + "\"\n";
        text += "}\n";
    }
    return 1;
}

std::string ResolveTemplatePath(const std::string& path, const std::string& workingDir)
{
    return workingDir + RemoveFirstNoCase(path, "%TEMPLATE_DIR%");
}

int DbTemplate::LoadIncludes(const std::string& workingDir, IToolContext* log)
{
    std::vector<std::string> chain;
    if (FileState().HasFile())
        chain.push_back(ResolvePath(FileState().Path()));
    return LoadIncludesChain(workingDir, log, chain);
}

namespace {

struct IncludeSite
{
    DbVariable* variable;
    DbGroup* group;
};

void CollectIncludes(DbGroup& group, std::vector<IncludeSite>& sites)
{
    for (const auto& variable : group.variables)
        if (variable->type == "include")
            sites.push_back(IncludeSite{variable.get(), &group});
    for (const auto& subgroup : group.subgroups)
        CollectIncludes(*subgroup, sites);
}

bool InChain(const std::vector<std::string>& chain, const std::string& path)
{
    for (const std::string& entry : chain)
        if (SamePathNoCase(entry, path))
            return true;
    return false;
}

} // namespace

int DbTemplate::LoadIncludesChain(const std::string& workingDir, IToolContext* log, std::vector<std::string>& chain)
{
    std::vector<IncludeSite> sites;
    CollectIncludes(*m_root, sites);
    m_leftOutGroupType = "system";
    int result = 1;
    for (const IncludeSite& site : sites)
    {
        std::string path = ResolveTemplatePath(site.variable->defaultValue, workingDir);
        std::string groupName = site.group->name;
        std::string resolved = ResolvePath(path);
        DbTemplate included;
        bool ok = !InChain(chain, resolved) && included.FileState().Open(path, true) == 1;
        if (ok)
        {
            chain.push_back(resolved);
            ok = included.LoadIncludesChain(workingDir, log, chain) == 1;
            chain.pop_back();
        }
        if (!ok)
        {
            LogLine(log, "Failed to Open Include File: \"" + path + "\" in group: \"" + groupName + "\"", true);
            result = 0;
            break;
        }
        MergeInclude(included, groupName, path);
    }
    m_leftOutGroupType.clear();
    return result;
}

void DbTemplate::MergeInclude(DbTemplate& included, const std::string& groupName, const std::string& includePath)
{
    DbGroup* target = groupName == m_root->name ? m_root.get() : m_root->FindGroup(groupName);
    if (!target)
        return;
    DbGroup* source = included.Root().name == "All Groups" ? &included.Root() : included.Root().FindGroup("All Groups");
    if (!source)
        return;
    for (const auto& variable : source->variables)
    {
        auto copy = std::make_unique<DbVariable>(*variable);
        copy->sourceFile = target->sourceFile;
        DbVariable* existing = target->FindVariable(copy->name);
        if (existing && !copy->IsDirective())
            existing->CopyFrom(*copy);
        else
            target->variables.push_back(std::move(copy));
    }
    for (const auto& subgroup : source->subgroups)
    {
        if (subgroup->type == m_leftOutGroupType)
            continue;
        std::unique_ptr<DbGroup> copy = subgroup->DeepCopy();
        copy->SetSourceFile(includePath);
        if (DbGroup* existing = target->FindGroup(copy->name))
            existing->AppendCopy(*copy);
        else
            target->subgroups.push_back(std::move(copy));
    }
}

} // namespace mw
