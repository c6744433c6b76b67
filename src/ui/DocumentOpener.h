// Opening a file for the user: records and templates in the Database Editor,
// everything else (and records and templates while this build has no
// editor) in the desktop's default application.
#pragma once

#include <string>

namespace mw {

// fullPath: a file on disk. False when nothing could be started.
bool OpenDocument(const std::string& fullPath);

} // namespace mw
