// One template variable. The value field is not stored in the template: it
// holds the value of the record bound to the template.
#pragma once

#include <string>

namespace mw {

class DbVariable
{
public:
    DbVariable() = default;
    DbVariable(std::string name, std::string varClass, std::string type)
        : name(std::move(name)), varClass(std::move(varClass)), type(std::move(type))
    {
    }
    virtual ~DbVariable() = default;
    DbVariable(const DbVariable&) = default;
    DbVariable& operator=(const DbVariable&) = default;

    // Copies all seven fields.
    void CopyFrom(const DbVariable& other) { *this = other; }

    // "include" and "eqnVariable" variables are directives, not record values.
    bool IsDirective() const { return type == "include" || type == "eqnVariable"; }

    std::string name;
    std::string description;
    std::string varClass; // "variable", "array", "picklist" or "static"
    std::string type;
    std::string value;
    std::string defaultValue; // for "include": the include path
    std::string sourceFile;   // empty, or the include file it came from
};

} // namespace mw
