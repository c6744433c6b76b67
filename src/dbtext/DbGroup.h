// A named group of template variables and subgroups.
#pragma once

#include "DbVariable.h"

#include <memory>
#include <string>
#include <vector>

namespace mw {

class DbGroup
{
public:
    DbGroup() = default;
    DbGroup(std::string name, std::string type) : name(std::move(name)), type(std::move(type)) {}
    virtual ~DbGroup() = default;
    DbGroup(const DbGroup&) = delete;
    DbGroup& operator=(const DbGroup&) = delete;

    std::unique_ptr<DbGroup> DeepCopy() const;

    // Depth-first over the subgroups, each before its own subgroups; the
    // group itself is not compared.
    DbGroup* FindGroup(const std::string& groupName);
    // This group's variables, then each subgroup's, recursively; the holder
    // of the match is stored in holder when given.
    DbVariable* FindVariable(const std::string& variableName, DbGroup** holder = nullptr);
    // Takes the group's source file; replaces the fields of a variable of the
    // same name in the subtree (unless an include or equation variable), or
    // inserts at index (appends for -1 or an index out of range).
    void AddVariable(std::unique_ptr<DbVariable> variable, int index = -1);
    // Takes the other group's name and type and appends copies of its members.
    void AppendCopy(const DbGroup& other);
    void SetSourceFile(const std::string& path);
    void CollectVariables(std::vector<DbVariable*>& list);
    void CollectGroups(std::vector<DbGroup*>& list);

    std::string name;
    std::string type; // "list" or "system"
    std::string sourceFile;
    std::vector<std::unique_ptr<DbVariable>> variables;
    std::vector<std::unique_ptr<DbGroup>> subgroups;
};

} // namespace mw
