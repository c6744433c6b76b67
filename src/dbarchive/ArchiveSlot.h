// The application's open-archive slot: opening an archive into it, and
// closing it with or without saving. Both log what they do.
#pragma once

#include <string>

namespace mw {

class IWorkspaceContext;

// A missing file gives an empty archive, which the next save writes anew.
void OpenDbArchive(IWorkspaceContext& context, const std::string& path);
// Saving writes the whole file through a temporary file, so a failed save
// leaves the previous archive as it was.
void CloseDbArchive(IWorkspaceContext& context, const std::string& path, bool save);

} // namespace mw
