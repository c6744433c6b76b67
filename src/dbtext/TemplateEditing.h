// Rules of editing a template's structure: the required "Header" group, the
// names of new variables, finding groups by name, the choice lists and the
// checks of the variable dialog.
#pragma once

#include <string>
#include <vector>

namespace mw {

class DbGroup;
class DbTemplate;
class DbVariable;
class IUserPrompt;

// The choice lists of a variable's class and type, in the order shown.
const std::vector<std::string>& VariableClassChoices();
const std::vector<std::string>& VariableTypeChoices();

// True for "file" and for types beginning with "file_".
bool IsFileType(const std::string& type);

// The root when the name equals the root's name, else FindGroup from the root.
DbGroup* FindGroupByName(DbTemplate& dbTemplate, const std::string& groupName);
// The group that holds child among its subgroups and child's index there;
// null for the root or a group not in the tree.
DbGroup* FindParentGroup(DbGroup& root, const DbGroup& child, int* index = nullptr);

// Adds the "Header" group (type "system") and its variables "ActorName",
// "Class" and "FileDescription" where they are missing, marking the template
// modified; true when anything was added.
bool EnsureHeader(DbTemplate& dbTemplate);

// "newEntry", else the first of "newEntry0" ... "newEntry9999" that no
// variable of the template uses ("newEntry9999" is taken untested).
std::string NewEntryName(DbTemplate& dbTemplate);

// The variable dialog's check on OK: name and type filled in, then the
// constraint check against the template (null: the internal-error message,
// and the edit passes). currentName is the variable's name before the edit.
// False after a message: the dialog stays open.
bool CheckVariableDialog(DbTemplate* dbTemplate, const DbVariable& edited, const std::string& currentName,
                         IUserPrompt& prompt);

// A '"' in a template field would end the field early when the file is read
// back; true when the variable's fields are free of it.
bool HasNoQuote(const DbVariable& variable);

} // namespace mw
