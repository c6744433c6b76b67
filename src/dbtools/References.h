// Finding the records and templates that refer to a file, and rewriting
// references after records or templates were moved or renamed (their
// file-name histories hold their earlier paths).
#pragma once

#include <string>

namespace mw {

class IWorkspaceContext;

// path: relative to the working folder. The number of files that could not be loaded.
int FindReferences(IWorkspaceContext& context, const std::string& path);
bool FindReferencesInFile(IWorkspaceContext& context, const std::string& target, const std::string& filePath);
// selection: paths relative to the working folder, one per line.
int UpdateReferences(IWorkspaceContext& context, const std::string& selection);
bool UpdateRecordReferencesInFile(IWorkspaceContext& context, const std::string& selection, const std::string& filePath);
bool UpdateTemplateReferencesInFile(IWorkspaceContext& context, const std::string& selection,
                                    const std::string& filePath);

} // namespace mw
