// Template editing rules.
#include "TemplateEditing.h"

#include "DbTemplate.h"
#include "TemplateValidation.h"
#include "context/IUserPrompt.h"
#include "platform/PathRules.h"

namespace mw {

const std::vector<std::string>& VariableClassChoices()
{
    static const std::vector<std::string> choices = {"variable", "array", "picklist", "static"};
    return choices;
}

const std::vector<std::string>& VariableTypeChoices()
{
    static const std::vector<std::string> choices = {
        "int",      "real",     "string",   "bool",     "include",      "file_dbr",    "file_anm", "file_msh",
        "file_tex", "file_txt", "file_wav,mp3", "file_qst", "file_ssh", "eqnVariable", "equation"};
    return choices;
}

bool IsFileType(const std::string& type)
{
    return type == "file" || type.starts_with("file_");
}

DbGroup* FindGroupByName(DbTemplate& dbTemplate, const std::string& groupName)
{
    DbGroup& root = dbTemplate.Root();
    if (root.name == groupName)
        return &root;
    return root.FindGroup(groupName);
}

DbGroup* FindParentGroup(DbGroup& root, const DbGroup& child, int* index)
{
    for (size_t i = 0; i < root.subgroups.size(); ++i)
    {
        if (root.subgroups[i].get() == &child)
        {
            if (index)
                *index = int(i);
            return &root;
        }
        if (DbGroup* found = FindParentGroup(*root.subgroups[i], child, index))
            return found;
    }
    return nullptr;
}

bool EnsureHeader(DbTemplate& dbTemplate)
{
    bool changed = false;
    DbGroup* header = FindGroupByName(dbTemplate, "Header");
    if (!header)
    {
        dbTemplate.Root().subgroups.push_back(std::make_unique<DbGroup>("Header", "system"));
        header = dbTemplate.Root().subgroups.back().get();
        changed = true;
    }
    struct Required
    {
        const char* name;
        const char* varClass;
    };
    for (const Required& required : {Required{"ActorName", "variable"}, Required{"Class", "static"},
                                     Required{"FileDescription", "variable"}})
    {
        if (dbTemplate.Root().FindVariable(required.name))
            continue;
        header->AddVariable(std::make_unique<DbVariable>(required.name, required.varClass, "string"));
        changed = true;
    }
    if (changed)
        dbTemplate.FileState().SetModified(true);
    return changed;
}

std::string NewEntryName(DbTemplate& dbTemplate)
{
    std::string name = "newEntry";
    for (int number = 0; dbTemplate.Root().FindVariable(name) && number <= 9999; ++number)
        name = Format("newEntry%d", number);
    return name;
}

bool CheckVariableDialog(DbTemplate* dbTemplate, const DbVariable& edited, const std::string& currentName,
                         IUserPrompt& prompt)
{
    if (edited.name.empty() || edited.type.empty())
    {
        prompt.Show("Type and Name values are required.  Please select both to proceed.", "", PromptButtons::Ok,
                    PromptIcon::Error);
        return false;
    }
    if (!dbTemplate)
    {
        prompt.Show("Internal Error: EditDialog invoked with a NULL Template pointer", "", PromptButtons::Ok,
                    PromptIcon::Error);
        return true;
    }
    std::string reason;
    const std::string& name = edited.name;
    if (name == "All Groups" || name == "fileNameHistoryEntry" || (name == "Include File" && edited.type != "include"))
        reason = "\"" + name + "\" is a reserved identifier.  Please choose a different name.";
    else if (name != currentName && CountNameUses(*dbTemplate, name) > 0)
        reason = "\"" + name + "\" already exists in this template as a group or variable name.  Please choose a "
                 "different name.";
    if (reason.empty())
        return true;
    prompt.Show("Constraint check failure: " + reason, "", PromptButtons::Ok, PromptIcon::Error);
    return false;
}

bool HasNoQuote(const DbVariable& variable)
{
    for (const std::string* field :
         {&variable.name, &variable.description, &variable.varClass, &variable.type, &variable.defaultValue})
        if (field->find('"') != std::string::npos)
            return false;
    return true;
}

} // namespace mw
