// Templates with their includes, loaded once per run of a tool that writes
// only records (Templatron, database sync, record check). Each record is
// bound to a fresh copy, so nothing one record leaves in a template reaches
// the next; the template files are read once instead of once per record.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

namespace mw {

class DbGroup;
class DbRecord;
class DbTemplate;
class IWorkspaceContext;

class RecordTemplateCache
{
public:
    RecordTemplateCache();
    ~RecordTemplateCache();

    // Gives dbTemplate the contents of the template the record names, with
    // its includes; false (logged as usual) when it cannot be loaded.
    bool Load(IWorkspaceContext& context, const DbRecord& record, DbTemplate& dbTemplate);

private:
    std::unordered_map<std::string, std::unique_ptr<DbGroup>> m_roots;
};

} // namespace mw
