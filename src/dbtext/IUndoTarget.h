// What an undo action works on: the Database Editor's current template and
// open records, and the views that show the change once it is applied.
#pragma once

#include <string>

namespace mw {

class DbRecord;
class DbTemplate;

class IUndoTarget
{
public:
    virtual DbTemplate& EditedTemplate() = 0;
    // The open record with that short name, or null.
    virtual DbRecord* FindOpenRecord(const std::string& shortName) = 0;
    // An action changed the group of that name (empty: the structure of the
    // tree); row is the variable row to show selected, or -1.
    virtual void ShowChange(const std::string& groupName, int row) = 0;

protected:
    ~IUndoTarget() = default;
};

} // namespace mw
