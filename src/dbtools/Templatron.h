// Templatron: brings every record of one template into line with it after
// the template was edited, checking each record out and in.
#pragma once

#include <string>

namespace mw {

class IWorkspaceContext;
class RecordTemplateCache;

// templatePath: the template as records name it (compared exactly).
// The number of records whose processing failed.
int Templatron(IWorkspaceContext& context, const std::string& templatePath);
// With a cache, the template files are read once per cache instead of per record.
bool TemplatronRecord(IWorkspaceContext& context, const std::string& templatePath, const std::string& recordPath,
                      RecordTemplateCache* cache = nullptr);

} // namespace mw
