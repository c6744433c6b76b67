// Name and value validation.
#include "TemplateValidation.h"

#include "DbLog.h"
#include "DbTemplate.h"
#include "ValueTypeCheck.h"
#include "context/IUserPrompt.h"
#include "platform/PathRules.h"

#include <vector>

namespace mw {
namespace {

void FormatError(IUserPrompt& prompt, const std::string& text)
{
    prompt.Show(text, "Format Error", PromptButtons::Ok, PromptIcon::Error);
}

std::string ReservedMessage(const std::string& name)
{
    return "\"" + name + "\" is a reserved identifier.  Please choose a different name.";
}

} // namespace

int CountNameUses(DbTemplate& dbTemplate, const std::string& name)
{
    std::vector<DbVariable*> variables;
    dbTemplate.Root().CollectVariables(variables);
    std::vector<DbGroup*> groups;
    dbTemplate.Root().CollectGroups(groups);
    int count = 0;
    for (const DbVariable* variable : variables)
        count += variable->name == name ? 1 : 0;
    for (const DbGroup* group : groups)
        count += group->name == name ? 1 : 0;
    return count;
}

int ValidateVariable(DbTemplate& dbTemplate, const DbVariable& variable, EditorMode mode, IUserPrompt& prompt)
{
    const std::string& name = variable.name;
    const std::string& value = mode == EditorMode::Record ? variable.value : variable.defaultValue;
    if (name == "All Groups" || name == "fileNameHistoryEntry" || (name == "Include File" && variable.type != "include") ||
        (name == "Object Variable" && variable.type != "eqnVariable"))
    {
        FormatError(prompt, ReservedMessage(name));
        return 0;
    }
    if (mode == EditorMode::Template && !variable.IsDirective())
    {
        if (CountNameUses(dbTemplate, name) > 1)
        {
            FormatError(prompt, "\"" + name +
                                    "\" already exists in this template as a group or variable name.  Please "
                                    "choose a different name.");
            return 0;
        }
        if (name.find(' ') != std::string::npos)
        {
            FormatError(prompt, "The variable name \"" + name +
                                    "\" contains the illegal character \" \".  Please choose a different name.");
            return 0;
        }
    }
    if (value.find(',') != std::string::npos)
    {
        FormatError(prompt, "The value for variable \"" + name +
                                "\" contains the illegal character \",\".  Please choose a different name.\nThe "
                                "Array delimiter is \";\" not \",\"");
        return 0;
    }
    return 1;
}

namespace {

const std::string kCurrentFile = "Currently Edited File";

// Logs a report for every item (not skipped) whose name occurs more than once
// among all items, itself included; true when anything was reported.
template <class Item, class Skip>
bool ReportDuplicateNames(const std::vector<Item*>& items, Skip skip, const char* heading, const char* label,
                          IToolContext* log)
{
    bool reported = false;
    for (const Item* item : items)
    {
        if (skip(*item))
            continue;
        int count = 0;
        for (const Item* other : items)
            count += other->name == item->name ? 1 : 0;
        if (count <= 1)
            continue;
        reported = true;
        LogLine(log, heading, true);
        const std::string& file = item->sourceFile.empty() ? kCurrentFile : item->sourceFile;
        LogLine(log, Format("    %s: \"%s\"", label, item->name.c_str()), true);
        LogLine(log, Format("    In file: \"%s\"", file.c_str()), true);
        LogLine(log, "", true);
    }
    return reported;
}

} // namespace

int CheckCollisions(DbTemplate& dbTemplate, IToolContext* log, IUserPrompt& prompt)
{
    std::vector<DbVariable*> variables;
    dbTemplate.Root().CollectVariables(variables);
    std::vector<DbGroup*> groups;
    dbTemplate.Root().CollectGroups(groups);
    bool variablesReported =
        ReportDuplicateNames(variables, [](const DbVariable& variable) { return variable.IsDirective(); },
                             "Error: Variable was found in the template more than once", "Variable", log);
    bool groupsReported = ReportDuplicateNames(groups, [](const DbGroup&) { return false; },
                                               "Error: group was found in the template more than once", "Group", log);
    bool reported = variablesReported || groupsReported;
    if (reported)
        prompt.Show("Group or Variable name collisions found.  Detailed error logging can be found in MWEdit.log", "",
                    PromptButtons::Ok, PromptIcon::Error);
    return reported ? 1 : 0;
}

bool ValidateTypedValue(const DbVariable& variable, const std::string& text, IUserPrompt& prompt,
                        std::string& storedText)
{
    if (variable.type == "bool")
    {
        if (text != "0" && text != "1")
        {
            prompt.Show("Variables of type BOOL must be set to 0 (false) or 1 (true)", "", PromptButtons::Ok,
                        PromptIcon::Error);
            return false;
        }
    }
    else if (variable.varClass == "picklist")
    {
        bool found = false;
        if (!variable.defaultValue.empty())
            for (const std::string& item : SplitText(variable.defaultValue, ';'))
                found = found || item == text;
        if (!found)
        {
            prompt.Show("Pick list value must be one of: " + variable.defaultValue, "", PromptButtons::Ok,
                        PromptIcon::Error);
            return false;
        }
    }
    storedText = text;
    if (variable.type == "int")
    {
        size_t dot = storedText.find('.');
        if (dot != std::string::npos)
            storedText.resize(dot);
        if (storedText.empty())
            storedText.push_back('0');
    }
    if (variable.type == "int" || variable.type == "real")
    {
        ValueTypeFault fault = CheckValueType(variable.varClass, variable.type, storedText);
        if (fault != ValueTypeFault::None)
        {
            prompt.Show(ValueTypeFaultText(fault), "", PromptButtons::Ok, PromptIcon::Error);
            return false;
        }
    }
    return true;
}

} // namespace mw
