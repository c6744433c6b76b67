// The values of a record that are worth a warning though they compile: a
// value that does not read as its variable's type, and a file value whose
// file is found in none of the mod's trees. The editor marks such cells and
// the record check reports them; the compiled bytes stay as they are.
#pragma once

#include <string>
#include <vector>

namespace mw {

class DbRecord;
class DbTemplate;
class IWorkspaceContext;

// The folders a file value is looked up in, each ending in '/': the mod's
// (or, without a mod, the working folder's) database, assets and source
// trees, the working folder's own database and assets trees, and the built
// resources of the build folder.
std::vector<std::string> FileValueRoots(IWorkspaceContext& context);

// Why a value of a variable deserves a warning, or empty when it does not:
// "does not read as int" or "names a file that does not exist". Empty
// values pass; file values are looked up below each root ('\' and '/' alike,
// letter case as the file system rules give).
std::string ValueWarning(const std::string& varClass, const std::string& type, const std::string& value,
                         const std::vector<std::string>& fileRoots);

struct RecordValueWarning
{
    std::string variable;
    std::string value;
    std::string reason;
};

// Every value of the record that the template declares and that deserves a
// warning, in the record's order of names.
std::vector<RecordValueWarning> FindRecordValueWarnings(DbTemplate& dbTemplate, const DbRecord& record,
                                                        const std::vector<std::string>& fileRoots);

} // namespace mw
