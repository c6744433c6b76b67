// The per-compile template cache.
#include "TemplateCache.h"

#include "dbarchive/RecordCompiler.h"
#include "dbarchive/TemplateVariableIndex.h"
#include "dbtext/DbTemplate.h"
#include "platform/PathRules.h"

namespace mw {

LoadedTemplate::~LoadedTemplate() = default;
TemplateCache::TemplateCache() = default;
TemplateCache::~TemplateCache() = default;

LoadedTemplate* TemplateCache::Load(const std::string& path, const std::string& workingDir, IToolContext* log)
{
    auto found = m_templates.find(path);
    if (found != m_templates.end())
        return found->second.get();
    auto loaded = std::make_unique<LoadedTemplate>();
    loaded->dbTemplate = std::make_unique<DbTemplate>();
    if (loaded->dbTemplate->FileState().Open(path, true) != 1 || loaded->dbTemplate->LoadIncludes(workingDir, log) != 1)
        return nullptr;
    loaded->index = std::make_unique<TemplateVariableIndex>(loaded->dbTemplate->Root());
    loaded->nameIds.assign(loaded->index->Count(), kUnknownId);
    loaded->fileName = loaded->dbTemplate->FileState().ShortName();
    return m_templates.emplace(path, std::move(loaded)).first->second.get();
}

} // namespace mw
