// Binding a record to its template: undeclared values are dropped, declared
// variables get the record's value or their default.
#pragma once

#include <string>

namespace mw {

class DbRecord;
class DbTemplate;
class IToolContext;

// Copies the record's values into the template's variables and removes the
// values the template does not declare ("templateFileName" stays).
void BindRecord(DbTemplate& dbTemplate, DbRecord& record, bool verbose, IToolContext* log);
// Writes every declared variable's value, or its default, into the record.
void ApplyTemplate(DbTemplate& dbTemplate, DbRecord& record);
// The first item of a picklist's defaultValue (the text before the first ';').
std::string FirstPicklistItem(const std::string& defaultValue);

} // namespace mw
