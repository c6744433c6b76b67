// Templates loaded with their includes, kept for the length of one database
// compile (and so one archive) so that records of one template do not read
// and parse it again.
// A fresh cache per compile means edits made between compiles are seen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace mw {

class DbTemplate;
class IToolContext;
class TemplateVariableIndex;

struct LoadedTemplate
{
    std::unique_ptr<DbTemplate> dbTemplate;
    std::unique_ptr<TemplateVariableIndex> index;
    std::string fileName; // without folders: what a record's template name must end in
    // The string ids of the index's variable names in the archive of the
    // compile that loaded the template (see WriteBinary).
    std::vector<uint32_t> nameIds;
    ~LoadedTemplate();
};

class TemplateCache
{
public:
    TemplateCache();
    ~TemplateCache();

    // Opens the template quietly and loads its includes, or returns the one
    // loaded before; null when it cannot be loaded (not remembered, so the
    // failure is logged for every record that names it).
    LoadedTemplate* Load(const std::string& path, const std::string& workingDir, IToolContext* log);

private:
    std::unordered_map<std::string, std::unique_ptr<LoadedTemplate>> m_templates;
};

} // namespace mw
