// The per-run template cache of the record tools.
#include "RecordTemplateCache.h"

#include "DatabaseOperation.h"
#include "context/IWorkspaceContext.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"

namespace mw {

RecordTemplateCache::RecordTemplateCache() = default;
RecordTemplateCache::~RecordTemplateCache() = default;

bool RecordTemplateCache::Load(IWorkspaceContext& context, const DbRecord& record, DbTemplate& dbTemplate)
{
    std::string path = ResolveTemplatePath(record.GetTemplateName(), context.GetWorkingDir());
    auto found = m_roots.find(path);
    if (found != m_roots.end())
    {
        dbTemplate.SetRoot(found->second->DeepCopy());
        return true;
    }
    if (!LoadRecordTemplate(context, record, dbTemplate))
        return false;
    m_roots.emplace(path, dbTemplate.Root().DeepCopy());
    return true;
}

} // namespace mw
