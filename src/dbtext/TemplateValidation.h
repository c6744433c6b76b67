// The checks names and values pass before the Database Editor accepts them,
// and the check of a template for names used more than once.
#pragma once

#include <string>

namespace mw {

class DbTemplate;
class DbVariable;
class IToolContext;
class IUserPrompt;

// The editor edits records (values) or one template (names, classes,
// types, defaults); some checks depend on it.
enum class EditorMode
{
    Record,
    Template,
};

// Variables anywhere in the tree plus groups below the root with that name.
int CountNameUses(DbTemplate& dbTemplate, const std::string& name);
// 1 when the variable's name and value may be accepted, else 0 after a
// "Format Error" message.
int ValidateVariable(DbTemplate& dbTemplate, const DbVariable& variable, EditorMode mode, IUserPrompt& prompt);
// 1 when a variable or group name occurs more than once; the details are
// logged and one message box tells where to look.
int CheckCollisions(DbTemplate& dbTemplate, IToolContext* log, IUserPrompt& prompt);
// The value checks of typing one value for selected variables: true with the
// text to store, or false after a message.
bool ValidateTypedValue(const DbVariable& variable, const std::string& text, IUserPrompt& prompt,
                        std::string& storedText);

} // namespace mw
